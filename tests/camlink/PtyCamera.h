#pragma once

#include <string>
#include <termios.h>

// The camera's end of a real pseudo-terminal. The stand-in library opens the
// slave as its serial device; the test reads and writes the master.
class PtyCamera {
public:
    PtyCamera();   // fails the current test when no pty can be had
    ~PtyCamera();
    PtyCamera(const PtyCamera&) = delete;
    PtyCamera& operator=(const PtyCamera&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    bool Send(const std::string& bytes);
    // Collects up to `count` bytes, waiting at most `timeoutMs` for them.
    std::string Receive(size_t count, int timeoutMs);
    // The line speed the library last set on the slave.
    speed_t Speed() const;

private:
    int m_master = -1;
    int m_slave = -1;   // held open so the master never reads a hang-up
    std::string m_slavePath;
};
