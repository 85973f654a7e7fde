#pragma once

#include <string>

#include "files/GammaFileReader.h"

// Gamma data files: the header "GammaData (R G B)" and then one line per
// entry, "red,green,blue", every line ending in CR LF.
class GammaFile {
public:
    static constexpr const char* kHeader = "GammaData (R G B)";

    static std::string Format(const GammaTables& tables);
    // Written whole or not at all; false when the file could not be written.
    static bool Write(const std::string& path, const GammaTables& tables);
    // False when the file cannot be read; the tables then stay as they were.
    static bool Read(const std::string& path, GammaTables& tables);
};
