#pragma once

#include <chrono>

// Milliseconds on a clock that never jumps: every time limit is measured on it.
inline long long SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
