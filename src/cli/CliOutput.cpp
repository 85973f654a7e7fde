#include "cli/CliOutput.h"

#include <sys/stat.h>

#include <iostream>

#include "cli/KavroCli.h"
#include "cli/StandardOutput.h"
#include "files/SafeFile.h"

int CliOutput::Check(const std::string& path)
{
    if (path == kStandardOutput)
        return KavroCli::ExitOk;
    const std::string problem = SafeFile::CheckWritable(path);
    // What the path leads to, however: a link into /proc may name a pipe or a terminal.
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        std::cerr << "kavro-cli: " << (problem.empty() ? path + ": not a regular file" : problem)
                  << "; give a file, or - for standard output" << std::endl;
        return KavroCli::ExitUsage;
    }
    if (problem.empty())
        return KavroCli::ExitOk;
    std::cerr << "kavro-cli: " << problem << "; nothing read" << std::endl;
    return KavroCli::ExitFailed;
}

bool CliOutput::Write(const std::string& path, const std::string& content)
{
    if (path == kStandardOutput)
        return StandardOutput::Print(content);
    std::string why;
    if (SafeFile::WriteAll(path, content, &why))
        return true;
    std::cerr << "kavro-cli: " << why << "; nothing written" << std::endl;
    return false;
}
