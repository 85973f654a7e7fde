#pragma once

#include <cstdint>
#include <string>

// Lenient number readers for texts that come from the camera, files and the
// profile. They never fail: no digits give 0, and values outside 32 bits are
// clamped instead of wrapping.
namespace NumberText {

// Leading white space, an optional sign and decimal digits; stops at the first other character.
int32_t Decimal(const std::string& text);
// Hexadecimal digits (after a prefix the caller removed); wraps to 32 bits like a register.
int32_t Hex(const std::string& text);
// "0x" hexadecimal, a leading 0 octal, otherwise decimal.
int32_t AutoBase(const std::string& text);
double Floating(const std::string& text);

// Whole texts in the camera's number forms, nothing before or after.
bool IsDecimal(const std::string& text);    // an optional sign and decimal digits
bool IsHex(const std::string& text);        // hexadecimal digits (after a prefix the caller removed)
bool IsFloating(const std::string& text);   // an optional sign, digits and at most one point

}  // namespace NumberText
