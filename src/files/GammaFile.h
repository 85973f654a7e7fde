#pragma once

#include <string>

#include "files/GammaFileReader.h"

// Gamma data files: the header "GammaData (R G B)" and then one line per
// entry, "red,green,blue", every line ending in CR LF.
class GammaFile {
public:
    static constexpr const char* kHeader = "GammaData (R G B)";

    static std::string Format(const GammaTables& tables);
    // Written whole or not at all; false when the file could not be written,
    // `why` then saying so ("PATH: why").
    static bool Write(const std::string& path, const GammaTables& tables, std::string* why = nullptr);
    // Reads the input (a file, a pipe, "-" for standard input) into the
    // tables: the number of data lines it held (0: nothing usable, the tables
    // as they were), or -1 when it cannot be read, `why` then saying so.
    static int Read(const std::string& path, GammaTables& tables, std::string* why = nullptr);
};
