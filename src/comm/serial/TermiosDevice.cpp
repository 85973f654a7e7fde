#include "comm/serial/TermiosDevice.h"

#include "comm/serial/PortConfig.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The device of the latest Open, for a stop signal's handler; -1 when closed.
std::atomic<int> gClaimedFd{-1};

std::string Failure(const char* action, int error)
{
    return std::string(action) + ": " + std::strerror(error);
}

// Leaves the device shareable again: exclusive mode outlives our descriptor
// while anyone else holds the terminal open.
void ReleaseDevice(int fd)
{
    int claimed = fd;
    gClaimedFd.compare_exchange_strong(claimed, -1);
    ioctl(fd, TIOCNXCL);
    close(fd);
}

// Refused by devices without modem lines, such as a pseudo-terminal.
void RaiseDtr(int fd)
{
    const int dtr = TIOCM_DTR;
    ioctl(fd, TIOCMBIS, &dtr);
}

// The flock keeps out other programs that lock the device the same way;
// TIOCEXCL keeps out every further open() but root's.
bool ClaimDevice(int fd, std::string* problem)
{
    int locked;
    while ((locked = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (locked != 0) {
        *problem = errno == EWOULDBLOCK ? "in use by another program" : std::strerror(errno);
        return false;
    }
    if (ioctl(fd, TIOCEXCL) != 0) {
        *problem = Failure("claim exclusive use", errno);
        return false;
    }
    return true;
}

bool ConfigureDevice(int fd, const PortConfig& config, std::string* problem)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        *problem = Failure("read line settings", errno);
        return false;
    }
    if (!config.Apply(&tio)) {
        *problem = "unsupported speed, byte size or stop bits";
        return false;
    }
    // Bytes left from an earlier session would pass for a reply.
    tcflush(fd, TCIOFLUSH);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        *problem = Failure("set line settings", errno);
        return false;
    }
    return true;
}

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

}  // namespace

std::unique_ptr<PortDevice> TermiosDevice::Open(const std::string& path, const PortConfig& config,
                                                std::string* problem)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *problem = Failure("open", errno);
        return nullptr;
    }
    if (!isatty(fd)) {
        *problem = "not a serial device";
        close(fd);
        return nullptr;
    }
    if (!ClaimDevice(fd, problem)) {
        close(fd);
        return nullptr;
    }
    if (!ConfigureDevice(fd, config, problem)) {
        ReleaseDevice(fd);
        return nullptr;
    }
    RaiseDtr(fd);
    gClaimedFd.store(fd);
    return std::unique_ptr<PortDevice>(new TermiosDevice(fd, RealPath(path)));
}

void TermiosDevice::ReleaseForSignal()
{
    const int fd = gClaimedFd.exchange(-1);
    if (fd < 0)
        return;
    ioctl(fd, TIOCNXCL);
    close(fd);
}

TermiosDevice::TermiosDevice(int fd, std::string realPath)
    : m_fd(fd), m_realPath(std::move(realPath))
{
}

TermiosDevice::~TermiosDevice()
{
    ReleaseDevice(m_fd);
}

void TermiosDevice::QueueByte(uint8_t byte)
{
    m_output += static_cast<char>(byte);
}

PortDevice::Progress TermiosDevice::Flush(int* error)
{
    while (!m_output.empty()) {
        const ssize_t written = write(m_fd, m_output.data(), m_output.size());
        if (written > 0) {
            m_output.erase(0, static_cast<size_t>(written));
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && errno == EAGAIN) {
            return Progress::Again;
        } else {
            *error = written < 0 ? errno : EIO;
            m_output.clear();
            return Progress::Failed;
        }
    }
    return Progress::Done;
}

bool TermiosDevice::OutputQueued() const
{
    int queued = 0;
    return ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued > 0;
}

// tcdrain would wait without limit for output that flow control holds back,
// so the caller waits for the queue to empty first; this then waits only for
// the last character on the wire.
int TermiosDevice::FinishOutput()
{
    while (tcdrain(m_fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

PortDevice::Reception TermiosDevice::Receive(uint8_t* data, int room)
{
    ssize_t got;
    while ((got = read(m_fd, data, static_cast<size_t>(room))) < 0 && errno == EINTR) {
    }
    Reception reception;
    if (got > 0)
        reception.count = static_cast<int>(got);
    else if (got == 0)
        reception.status = Reception::Status::HungUp;
    else if (errno != EAGAIN)
        reception = {Reception::Status::Failed, 0, errno};
    return reception;
}
