#pragma once

#include <string>

#include "files/GammaFileReader.h"

class CliCommandLine;
class CRsCmd;

// kavro-cli's look-up table commands, on the same table and file code as the
// editors: "read-luts FILE.csv" reads the camera's three tables and writes
// them as a gamma data file; "send-luts FILE.csv" sends red, green and blue
// from a gamma data file read before the port opened. Results are
// KavroCli's exit codes.
class LutCommands {
public:
    LutCommands(CRsCmd& engine, const CliCommandLine& options) : m_engine(engine), m_options(options) {}

    int ReadLuts();
    int SendLuts(const GammaTables& tables);

    // The tables of the gamma data file: entries the file does not reach are
    // those of the straight line, as in an editor that was never changed.
    // False, having said why, when it cannot be read or holds no number.
    static bool ReadGammaFile(const std::string& path, GammaTables& tables);

private:
    CRsCmd& m_engine;
    const CliCommandLine& m_options;
};
