#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/TempFolder.h"

// Runs a shell command line and collects its exit code and both outputs.
struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline ProcessResult RunProcess(const std::string& commandLine)
{
    TempFolder folder;
    const std::string errFile = folder.File("stderr");
    ProcessResult result;
    FILE* pipe = popen((commandLine + " 2>'" + errFile + "'").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = FileText(errFile);
    return result;
}
