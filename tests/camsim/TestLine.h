#pragma once

#include <string>
#include <termios.h>

// The tool's end of a pseudo-terminal: opened, set raw, read with deadlines.
class TestLine {
public:
    explicit TestLine(const std::string& devicePath);
    ~TestLine();
    TestLine(const TestLine&) = delete;
    TestLine& operator=(const TestLine&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    bool SetSpeed(speed_t speed);
    bool Write(const std::string& bytes);
    // Everything read until the bytes end with `ending`, or the deadline passes.
    std::string ReadUntil(const std::string& ending, int timeoutMs = 3000);
    // True when reading ends (end of file or an error) before the deadline.
    bool WaitForHangUp(int timeoutMs = 3000);

private:
    int m_fd = -1;
};
