#pragma once

#include <array>
#include <string>
#include <vector>

namespace camsim {

// What the camera keeps across power-off: its four setting areas, which
// area is current, the identity texts and the three look-up tables.
struct CameraMemory {
    static constexpr int kAreaCount = 4;   // 0 Factory, 1..3 User1..User3
    static constexpr int kLutSize = 512;
    static constexpr char kLutChannels[] = "RGB";

    std::array<std::vector<int>, kAreaCount> areas;  // indexed like the register table; Setting rows count
    int currentArea = 0;
    std::vector<std::string> texts;                  // indexed like the register table; text rows count
    std::array<std::vector<int>, 3> luts;            // red, green, blue
};

}  // namespace camsim
