#pragma once

#include <string>

class CRsCmd;

// kavro-cli's look-up table commands, on the same table and file code as the
// editors: "read-luts FILE.csv" reads the camera's three tables and writes
// them as a gamma data file; "send-luts FILE.csv" reads a gamma data file and
// sends red, green and blue. Results are KavroCli's exit codes.
class LutCommands {
public:
    static int ReadLuts(CRsCmd& engine, const std::string& path);
    static int SendLuts(CRsCmd& engine, const std::string& path);
};
