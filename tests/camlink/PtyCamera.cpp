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
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "openpty failed: " << strerror(errno);
        return;
    }
    slavePath_ = name;
    termios raw {};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyCamera::~PtyCamera()
{
    if (master_ >= 0)
        close(master_);
    if (slave_ >= 0)
        close(slave_);
}

bool PtyCamera::Send(const std::string& bytes)
{
    return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string PtyCamera::Receive(size_t count, int timeoutMs)
{
    std::string received;
    const int64_t deadline = NowMs() + timeoutMs;
    while (received.size() < count) {
        char chunk[256];
        const ssize_t got = read(master_, chunk, std::min(sizeof chunk, count - received.size()));
        if (got > 0) {
            received.append(chunk, static_cast<size_t>(got));
            continue;
        }
        const int64_t left = deadline - NowMs();
        if (left <= 0)
            break;
        pollfd watch {master_, POLLIN, 0};
        poll(&watch, 1, static_cast<int>(left));
    }
    return received;
}

speed_t PtyCamera::Speed() const
{
    termios settings {};
    tcgetattr(slave_, &settings);
    return cfgetospeed(&settings);
}
