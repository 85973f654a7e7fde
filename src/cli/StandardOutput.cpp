#include "cli/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

int StandardOutput::s_error = 0;

bool StandardOutput::Print(const std::string& text)
{
    if (s_error != 0)
        return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0)
        return true;
    s_error = errno != 0 ? errno : EIO;
    return false;
}

bool StandardOutput::Delivered()
{
    if (s_error == 0)
        Print("");
    if (s_error == 0)
        return true;
    std::cerr << "kavro-cli: standard output: " << std::strerror(s_error) << std::endl;
    return false;
}
