#pragma once

#include <cstdio>
#include <cstring>
#include <string>

// One line on stderr per failure; callers report each failure once, never
// from inside a retry loop.
inline void ReportSerialProblem(const std::string& subject, const std::string& problem)
{
    std::fprintf(stderr, "kavro serial: %s: %s\n", subject.c_str(), problem.c_str());
}

inline void ReportSystemError(const std::string& subject, const char* action, int error)
{
    ReportSerialProblem(subject, std::string(action) + ": " + std::strerror(error));
}
