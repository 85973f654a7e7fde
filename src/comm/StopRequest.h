#pragma once

#include <atomic>

// Requests that end the command in progress. A stop signal's request ends
// the tool: a signal handler raises it (one lock-free flag, safe there). The
// operator's Cancel ends only the operation in progress: the progress window
// raises it and the end of the operation clears it. While either is raised
// every wait of the command engine ends at once and nothing more is sent.
class StopRequest {
public:
    static void Raise() noexcept { s_raised.store(true, std::memory_order_relaxed); }
    static bool Raised() noexcept { return s_raised.load(std::memory_order_relaxed); }
    static void Clear() noexcept { s_raised.store(false, std::memory_order_relaxed); }

    static void RaiseCancel() noexcept { s_cancelled.store(true, std::memory_order_relaxed); }
    static bool CancelRaised() noexcept { return s_cancelled.load(std::memory_order_relaxed); }
    static void ClearCancel() noexcept { s_cancelled.store(false, std::memory_order_relaxed); }

    // A stop or a Cancel.
    static bool Stopping() noexcept { return Raised() || CancelRaised(); }

private:
    static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets the flag");
    static std::atomic<bool> s_raised;
    static std::atomic<bool> s_cancelled;
};
