#include "TestLine.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

TestLine::TestLine(const std::string& devicePath)
{
    m_fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_fd >= 0)
        SetSpeed(B115200);
}

TestLine::~TestLine()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool TestLine::SetSpeed(speed_t speed)
{
    termios settings{};
    if (::tcgetattr(m_fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, speed);
    return ::tcsetattr(m_fd, TCSANOW, &settings) == 0;
}

bool TestLine::Write(const std::string& bytes)
{
    return ::write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string TestLine::ReadUntil(const std::string& ending, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string text;
    while (text.size() < ending.size() || text.compare(text.size() - ending.size(), ending.size(), ending) != 0) {
        pollfd port = {m_fd, POLLIN, 0};
        if (::poll(&port, 1, RemainingMs(deadline)) <= 0)
            break;
        char buffer[256];
        ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        text.append(buffer, static_cast<size_t>(got));
    }
    return text;
}

bool TestLine::WaitForHangUp(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd port = {m_fd, POLLIN, 0};
        if (::poll(&port, 1, RemainingMs(deadline)) <= 0)
            return false;
        char buffer[256];
        ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
            return true;
    }
}
