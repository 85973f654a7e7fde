#pragma once

// A wake-up the watcher thread can poll() beside the port: any thread may
// Signal it; it stays readable until the watcher Clears it (level-triggered,
// so a Signal sent before the watcher starts waiting is never lost).
class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    bool IsValid() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }

    void Signal();
    void Clear();

private:
    int m_fd = -1;  // eventfd, non-blocking
};
