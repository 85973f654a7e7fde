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
double Floating(const std::string& text);
// The nearest value an int holds.
int ClampToInt(long long value);

// The forms a whole number may take. Tool: an optional sign and decimal
// digits, or "&H" and hexadecimal digits up to a 32-bit register's bit
// pattern ("&HFFFFFFFF" is -1). Reply, for the answers of free queries: those,
// and after an optional sign "0x" hexadecimal or octal after a leading 0.
enum class WholeForms { Tool, Reply };
enum class WholeRead { Ok, NotWhole, TooLarge };
// The one reader of whole numbers from files, the command line, typed text
// and free replies: Ok when the whole text is one number in those forms that
// fits 32 bits, and then `out` holds it; otherwise `out` is unchanged, and
// TooLarge says that the text is such a number beyond 32 bits.
WholeRead ReadWhole(const std::string& text, int32_t& out, WholeForms forms = WholeForms::Tool);
// ReadWhole gave Ok.
bool IsWhole(const std::string& text, int32_t& out, WholeForms forms = WholeForms::Tool);

// Whole texts in the camera's number forms, nothing before or after.
bool IsDecimal(const std::string& text);    // an optional sign and decimal digits
bool IsHex(const std::string& text);        // hexadecimal digits (after a prefix the caller removed)
bool IsFloating(const std::string& text);   // an optional sign, digits and at most one point

}  // namespace NumberText
