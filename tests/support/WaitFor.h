#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <thread>

// Polls a condition in small steps until it holds or the deadline passes.
inline bool WaitFor(const std::function<bool()>& condition, int deadlineMs = 3000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// The processor time the whole process spends while `work` runs: a thread
// that spins while the test sleeps or waits shows here.
inline std::chrono::milliseconds CpuTimeOf(const std::function<void()>& work)
{
    const auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
    };
    const auto before = now();
    work();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now() - before);
}
