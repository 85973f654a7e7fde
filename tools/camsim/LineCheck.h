#pragma once

#include <cstdint>
#include <string>

namespace camsim {

// The two check characters of the register-base form: a shift register fed
// byte by byte, written as two lower-case hex digits.
uint8_t CrcStep(uint8_t r, uint8_t b);
std::string CrcText(const std::string& bytes);

}  // namespace camsim
