#pragma once

#include <time.h>

#include <chrono>

// Clocks of the benchmarks: the wall clock for what an operator waits, and
// this thread's processor time, which on a loaded machine tells what one
// computation costs.
inline double WallSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

inline double ThreadCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}
