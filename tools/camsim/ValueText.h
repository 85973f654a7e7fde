#pragma once

#include <string>

namespace camsim {

// Reads an integer value as the camera accepts it: decimal with an optional
// sign, or "&H" followed by up to eight hex digits. The whole text must be
// the number; values outside 32 bits are refused.
bool ParseValue(const std::string& text, int& value);

std::string UpperCase(std::string text);
std::string WithoutSpaces(const std::string& text);

}  // namespace camsim
