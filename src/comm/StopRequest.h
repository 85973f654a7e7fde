#pragma once

#include <atomic>

// A stop signal's request to end the tool. A signal handler raises it (it is
// one lock-free flag, safe there); while it is raised every wait of the
// command engine ends at once and nothing more is sent.
class StopRequest {
public:
    static void Raise() noexcept { s_raised.store(true, std::memory_order_relaxed); }
    static bool Raised() noexcept { return s_raised.load(std::memory_order_relaxed); }
    static void Clear() noexcept { s_raised.store(false, std::memory_order_relaxed); }

private:
    static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets the flag");
    static std::atomic<bool> s_raised;
};
