#pragma once

#include <chrono>
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
