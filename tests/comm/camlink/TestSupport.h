#pragma once

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;

// Folders of the stand-in libraries, given by the build.
inline const std::string kClSimDir = KAVRO_CLSIM_DIR;
inline const std::string kGrabberDir = kClSimDir + "/grabbers";
inline const std::string kBrokenGrabberDir = kClSimDir + "/broken-grabbers";
inline const std::string kBrokenDir = kClSimDir + "/broken";

// The stand-in libraries read their setup at each call, so a test sets it just before.
inline void SetClSim(const std::string& setup)
{
    setenv("KAVRO_CLSIM", setup.c_str(), 1);
}

// True while a library of that file name is mapped into this process.
inline bool IsLibraryMapped(const std::string& fileName)
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.size() > fileName.size() &&
            line.compare(line.size() - fileName.size() - 1, std::string::npos, "/" + fileName) == 0)
            return true;
    }
    return false;
}
