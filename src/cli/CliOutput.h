#pragma once

#include <string>

// Where read-settings and read-luts put what they read: a regular file,
// replaced whole, or standard output for "-". Judged before the port opens,
// so that a long read never ends at an output that cannot take it.
class CliOutput {
public:
    static constexpr const char* kStandardOutput = "-";

    // KavroCli's exit code, having said why when it is not 0: 2 when the path
    // names something that is not a regular file (a device, a FIFO, a folder,
    // a link to one), 1 when it cannot be written.
    static int Check(const std::string& path);
    // The whole content; false, having said why, when the file could not be
    // written (standard output says why when the run ends).
    static bool Write(const std::string& path, const std::string& content);
};
