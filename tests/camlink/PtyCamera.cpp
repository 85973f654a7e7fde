#include "PtyCamera.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

PtyCamera::PtyCamera()
{
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "openpty failed: " << strerror(errno);
        return;
    }
    m_slavePath = name;
    termios raw {};
    tcgetattr(m_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PtyCamera::~PtyCamera()
{
    if (m_master >= 0)
        close(m_master);
    if (m_slave >= 0)
        close(m_slave);
}

bool PtyCamera::Send(const std::string& bytes)
{
    return write(m_master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string PtyCamera::Receive(size_t count, int timeoutMs)
{
    std::string received;
    const int64_t deadline = NowMs() + timeoutMs;
    while (received.size() < count) {
        char chunk[256];
        const ssize_t got = read(m_master, chunk, std::min(sizeof chunk, count - received.size()));
        if (got > 0) {
            received.append(chunk, static_cast<size_t>(got));
            continue;
        }
        const int64_t left = deadline - NowMs();
        if (left <= 0)
            break;
        pollfd watch {m_master, POLLIN, 0};
        poll(&watch, 1, static_cast<int>(left));
    }
    return received;
}

speed_t PtyCamera::Speed() const
{
    termios settings {};
    tcgetattr(m_slave, &settings);
    return cfgetospeed(&settings);
}
