#pragma once

#include <string>

#include "camsim/VirtualCamera.h"

namespace camsim {

// The command line of kavro-camsim.
struct CamsimOptions {
    std::string linkPath;
    std::string statePath;
    int baud = 0;          // 0: answer at any line speed
    int wireBaud = 0;      // 0: bytes cross at once
    int thinkMs = 0;       // between a command's end and its reply
    Faults faults;
    bool help = false;
    std::string error;     // not empty when the command line was refused

    static CamsimOptions Parse(int argc, const char* const* argv);
    static std::string Usage();
};

}  // namespace camsim
