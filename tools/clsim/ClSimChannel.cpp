#include "ClSimChannel.h"

#include "ClSimStatus.h"
#include "comm/camlink/ClSerialApi.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace clsim {

namespace {

struct SpeedOfBit {
    uint32_t bit;
    speed_t speed;
};
const SpeedOfBit kSpeeds[] = {
    {ClBaud9600, B9600},       {ClBaud19200, B19200},   {ClBaud38400, B38400},
    {ClBaud57600, B57600},     {ClBaud115200, B115200}, {ClBaud230400, B230400},
    {ClBaud460800, B460800},   {ClBaud921600, B921600},
};

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool ConfigureRaw(int fd)
{
    termios settings {};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS | CSIZE);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    // VMIN 1: with nothing waiting a non-blocking read fails with EAGAIN,
    // while VMIN 0 would return 0 and look like end of file.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

}  // namespace

std::unique_ptr<ClSimChannel> ClSimChannel::Open(const std::string& device)
{
    if (device.empty())
        return nullptr;
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (!ConfigureRaw(fd)) {
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<ClSimChannel>(new ClSimChannel(fd));
}

ClSimChannel::ClSimChannel(int fd) : m_fd(fd)
{
}

ClSimChannel::~ClSimChannel()
{
    close(m_fd);
}

int32_t ClSimChannel::Read(char* buffer, uint32_t& size, uint32_t timeoutMs)
{
    const uint32_t wanted = size;
    const int64_t deadline = NowMs() + timeoutMs;
    uint32_t got = 0;
    int32_t status = StatusOk;
    while (got < wanted) {
        const ssize_t count = read(m_fd, buffer + got, wanted - got);
        if (count > 0) {
            got += static_cast<uint32_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        // End of file, or EIO from a pty whose other side is gone: no point waiting.
        if (count == 0 || errno != EAGAIN) {
            status = StatusIoError;
            break;
        }
        status = WaitFor(POLLIN, deadline);
        if (status != StatusOk)
            break;
    }
    size = got;
    return got > 0 ? StatusOk : status;
}

int32_t ClSimChannel::Write(const char* buffer, uint32_t& size, uint32_t timeoutMs)
{
    const int64_t deadline = NowMs() + timeoutMs;
    uint32_t sent = 0;
    int32_t status = StatusOk;
    while (sent < size) {
        const ssize_t count = write(m_fd, buffer + sent, size - sent);
        if (count > 0) {
            sent += static_cast<uint32_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN) {
            status = StatusIoError;
            break;
        }
        status = WaitFor(POLLOUT, deadline);
        if (status != StatusOk)
            break;
    }
    size = sent;
    return status;
}

bool ClSimChannel::SetSpeed(uint32_t baudBit)
{
    for (const SpeedOfBit& entry : kSpeeds) {
        if (entry.bit != baudBit)
            continue;
        termios settings {};
        return tcgetattr(m_fd, &settings) == 0 && cfsetispeed(&settings, entry.speed) == 0 &&
               cfsetospeed(&settings, entry.speed) == 0 &&
               tcsetattr(m_fd, TCSANOW, &settings) == 0;
    }
    return false;
}

int32_t ClSimChannel::BytesAvailable(uint32_t& count) const
{
    int waiting = 0;
    if (ioctl(m_fd, FIONREAD, &waiting) != 0)
        return StatusIoError;
    count = static_cast<uint32_t>(waiting);
    return StatusOk;
}

bool ClSimChannel::Flush()
{
    return tcflush(m_fd, TCIOFLUSH) == 0;
}

int32_t ClSimChannel::WaitFor(short events, int64_t deadlineMs) const
{
    for (;;) {
        const int64_t left = deadlineMs - NowMs();
        if (left <= 0)
            return StatusTimeout;
        pollfd watch {m_fd, events, 0};
        const int ready = poll(&watch, 1, static_cast<int>(left));
        if (ready > 0)
            return (watch.revents & events) != 0 ? StatusOk : StatusIoError;   // hung up
        if (ready < 0 && errno != EINTR)
            return StatusIoError;
    }
}

}  // namespace clsim
