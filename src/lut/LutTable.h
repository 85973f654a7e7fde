#pragma once

#include <array>
#include <cstdint>

// One channel's look-up table as the camera holds it: entry k is the output
// (0..8191) for input level 16 x k.
constexpr int kLutEntries = 512;
constexpr int kLutMaxValue = 8191;
constexpr int kLutLevelStep = 16;

using LutTable = std::array<int32_t, kLutEntries>;

// Values from outside (file, camera) above the range are kept at the top.
inline int32_t ClampLutTop(long long value)
{
    return value > kLutMaxValue ? kLutMaxValue : static_cast<int32_t>(value);
}
