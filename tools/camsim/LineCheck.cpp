#include "camsim/LineCheck.h"

#include <cstdio>

namespace camsim {

uint8_t CrcStep(uint8_t r, uint8_t b)
{
    // The XOR comes before the shift, so this is no textbook CRC-8.
    uint32_t w = static_cast<uint32_t>((b ^ r) & 0xFF) << 8;
    for (int bit = 0; bit < 8; ++bit) {
        if (w & 0x8000)
            w ^= 0x3868;
        w = (w << 1) & 0xFFFF;
    }
    return static_cast<uint8_t>(w >> 8);
}

std::string CrcText(const std::string& bytes)
{
    uint8_t r = 0;
    for (char c : bytes)
        r = CrcStep(r, static_cast<uint8_t>(c));
    char text[3];
    std::snprintf(text, sizeof text, "%02x", r);
    return text;
}

}  // namespace camsim
