#include "comm/serial/SerialPort.h"

#include "comm/serial/PortAccessHint.h"
#include "comm/serial/PortConfig.h"
#include "comm/serial/SystemError.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kHighestComNumber = 16;
// How often a byte held back in the driver is looked at again, at the longest.
constexpr std::chrono::microseconds kOutputPoll{1000};

// One byte's time on the wire: a start bit, eight data bits and a stop bit.
std::chrono::microseconds ByteTimeAt(int baud)
{
    constexpr int kShortestUs = 20;
    return std::chrono::microseconds(std::max(kShortestUs, 10000000 / std::max(baud, 1)));
}

// The device of the latest Open, for a stop signal's handler; -1 when closed.
std::atomic<int> gClaimedFd{-1};

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
bool ClaimDevice(int fd, const std::string& device)
{
    int locked;
    while ((locked = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (locked != 0) {
        ReportSerialProblem(device, errno == EWOULDBLOCK ? "in use by another program"
                                                          : std::strerror(errno));
        return false;
    }
    if (ioctl(fd, TIOCEXCL) != 0) {
        ReportSystemError(device, "claim exclusive use", errno);
        return false;
    }
    return true;
}

bool ConfigureDevice(int fd, const std::string& device, const PortConfig& config)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        ReportSystemError(device, "read line settings", errno);
        return false;
    }
    if (!config.Apply(&tio)) {
        ReportSerialProblem(device, "unsupported speed, byte size or stop bits");
        return false;
    }
    // Bytes left from an earlier session would pass for a reply.
    tcflush(fd, TCIOFLUSH);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        ReportSystemError(device, "set line settings", errno);
        return false;
    }
    return true;
}

int OpenDevice(const std::string& device, const PortConfig& config)
{
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        ReportSystemError(device, "open", errno);
        PortAccessHint::Report(device);
        return -1;
    }
    if (!isatty(fd)) {
        ReportSerialProblem(device, "not a serial device");
        close(fd);
        return -1;
    }
    if (!ClaimDevice(fd, device)) {
        close(fd);
        return -1;
    }
    if (!ConfigureDevice(fd, device, config)) {
        ReleaseDevice(fd);
        return -1;
    }
    RaiseDtr(fd);
    gClaimedFd.store(fd);
    return fd;
}

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

}  // namespace

SerialPort::SerialPort() = default;

SerialPort::~SerialPort()
{
    Close();
}

void SerialPort::SetDeviceResolver(DeviceResolver resolver)
{
    m_resolver = std::move(resolver);
}

void SerialPort::SetLockWaitNotice(LockWaitNotice notice)
{
    m_lockWaitNotice = std::move(notice);
}

void SerialPort::ReleaseForSignal()
{
    const int fd = gClaimedFd.exchange(-1);
    if (fd < 0)
        return;
    ioctl(fd, TIOCNXCL);
    close(fd);
}

int SerialPort::ComNumber(const std::string& portName)
{
    if (portName.size() <= 3 || portName.compare(0, 3, "COM") != 0)
        return 0;
    // An optional sign and decimal digits, nothing else.
    const char* first = portName.data() + 3;
    const char* last = portName.data() + portName.size();
    const bool plus = *first == '+';
    if (plus && (++first == last || *first == '-'))
        return 0;
    int number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (end != last || error == std::errc::invalid_argument)
        return 0;
    return error == std::errc() && number >= 1 && number <= kHighestComNumber ? number : -1;
}

std::string SerialPort::ResolveDevice(const std::string& portName) const
{
    const int number = ComNumber(portName);
    if (number <= 0)
        return portName;
    const std::string resolved = m_resolver ? m_resolver(number) : std::string();
    return resolved.empty() ? "/dev/ttyS" + std::to_string(number - 1) : resolved;
}

// ---- Opening and closing ----------------------------------------------------

int SerialPort::Open(const std::string& portName, int baud, int byteSize, int stopBitsCode,
                     int xonXoff, int parityCheck)
{
    Close();  // a second Open must not leak the first device and its watcher
    if (!m_wake.IsValid())
        return 0;
    const std::string device = ResolveDevice(portName);
    const int fd = OpenDevice(device, PortConfig(baud, byteSize, stopBitsCode, xonXoff, parityCheck));
    if (fd < 0)
        return 0;
    m_fd = fd;
    m_device = device;
    m_byteTime = ByteTimeAt(baud);
    m_writeFailureReported = false;
    m_lineFault.store(false);
    if (!StartWatcher()) {
        ReleaseDevice(m_fd);
        m_fd = -1;
        return 0;
    }
    SetOpen(true);
    return 1;
}

int SerialPort::Close()
{
    SetOpen(false);
    StopWatcher();
    if (m_fd >= 0) {
        ReleaseDevice(m_fd);
        m_fd = -1;
    }
    return 1;
}

bool SerialPort::IsOpen() const
{
    return m_open.load();
}

bool SerialPort::HasLineFault() const
{
    return m_lineFault.load();
}

bool SerialPort::StartWatcher()
{
    m_rxRing.Reset();
    m_inputPaused = false;
    m_stop.store(false);
    m_hungUp.store(false);
    m_wake.Clear();
    try {
        m_watcher = std::thread(&SerialPort::SerialPortWatcher, this);
    } catch (const std::system_error& error) {
        ReportSerialProblem(m_device, std::string("start watcher: ") + error.what());
        return false;
    }
    return true;
}

void SerialPort::StopWatcher()
{
    m_stop.store(true);
    m_wake.Signal();
    if (m_watcher.joinable())
        m_watcher.join();
}

// Under m_dataMutex so that a WaitForData cannot miss a Close.
void SerialPort::SetOpen(bool open)
{
    {
        std::lock_guard<std::mutex> hold(m_dataMutex);
        m_open.store(open);
    }
    m_dataArrived.notify_all();
}

// ---- Writing ------------------------------------------------------------------

int SerialPort::Write(const uint8_t* bytes, int count)
{
    if (!IsOpen() || count < 0 || (count > 0 && bytes == nullptr))
        return 0;
    LockHold hold(m_portLock, std::defer_lock);
    if (!TakePortLock(hold))
        return 0;
    for (int i = 0; i < count; ++i) {
        if (!WriteByte(bytes[i], hold))
            return 0;
    }
    m_writeFailureReported = false;
    return 1;
}

// Another copy of the tool writing to its own port holds the lock for a few
// milliseconds; one that keeps it longer fails this write like a busy port.
bool SerialPort::TakePortLock(LockHold& hold)
{
    if (hold.try_lock())
        return true;
    if (m_lockWaitNotice)
        m_lockWaitNotice(true);
    const bool taken = hold.try_lock_for(kStallLimit);
    if (m_lockWaitNotice)
        m_lockWaitNotice(false);
    if (!taken) {
        m_lineFault.store(true);
        if (!m_writeFailureReported)
            ReportSerialProblem(m_device, "in use by another program (the port lock stayed held)");
        m_writeFailureReported = true;
    }
    return taken;
}

// A line that holds a byte back must not keep every other port waiting, so
// the lock is let go for the wait and taken again before the next byte.
bool SerialPort::WaitUnlocked(LockHold& hold, const std::function<bool()>& wait)
{
    hold.unlock();
    return wait() && TakePortLock(hold);
}

// The byte must leave within kStallLimit, or the line counts as stuck.
bool SerialPort::WriteByte(uint8_t byte, LockHold& hold)
{
    const Deadline deadline = std::chrono::steady_clock::now() + kStallLimit;
    for (;;) {
        const ssize_t written = write(m_fd, &byte, 1);
        if (written == 1)
            return DrainOutput(hold, deadline);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN) {
            if (!WaitUnlocked(hold, [&] { return WaitWritable(deadline); }))
                return false;
            continue;
        }
        return WriteFailed("write", written < 0 ? errno : EIO);
    }
}

// Each byte has left the driver before the next is written. tcdrain would
// wait without limit for output that flow control holds back, so the queue
// is watched until it is empty first; tcdrain then waits only for the last
// character on the wire.
bool SerialPort::DrainOutput(LockHold& hold, Deadline deadline)
{
    int queued = 0;
    if (ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued > 0
        && !WaitUnlocked(hold, [&] { return WaitOutputLeft(deadline); }))
        return false;
    while (tcdrain(m_fd) != 0) {
        if (errno != EINTR)
            return WriteFailed("wait for output to leave", errno);
    }
    return true;
}

// A byte normally leaves within its time on the wire, so the queue is looked
// at again after that; a line that holds bytes back is looked at less and
// less often, up to kOutputPoll.
bool SerialPort::WaitOutputLeft(Deadline deadline)
{
    std::chrono::microseconds step = m_byteTime;
    int queued = 0;
    while (ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return WriteFailed("wait for output to leave", ETIMEDOUT);
        std::this_thread::sleep_for(step);
        step = std::min(step * 2, kOutputPoll);
    }
    return true;
}

bool SerialPort::WaitWritable(Deadline deadline)
{
    for (;;) {
        const int timeoutMs = MillisecondsUntil(deadline);
        if (timeoutMs == 0)
            return WriteFailed("write", ETIMEDOUT);
        pollfd port{m_fd, POLLOUT, 0};
        const int ready = poll(&port, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return WriteFailed("wait to write", errno);
        if (port.revents & POLLOUT)
            return true;
        if (port.revents != 0)
            return WriteFailed("write", EIO);
    }
}

bool SerialPort::WriteFailed(const char* action, int error)
{
    m_lineFault.store(true);
    if (!m_writeFailureReported)
        ReportSystemError(m_device, action, error);
    m_writeFailureReported = true;
    return false;
}

// ---- Reading ------------------------------------------------------------------

int SerialPort::Available() const
{
    return m_rxRing.Available();
}

// No port lock: the ring needs none, and the watcher may hold the lock.
int SerialPort::Read(uint8_t* destination, int maximum)
{
    if (destination == nullptr)
        return 0;
    const int taken = m_rxRing.Pop(destination, maximum);
    if (taken > 0)
        ResumeInput();
    return taken;
}

bool SerialPort::WaitForData(int timeoutMs)
{
    std::unique_lock<std::mutex> hold(m_dataMutex);
    m_dataArrived.wait_for(hold, std::chrono::milliseconds(std::max(timeoutMs, 0)),
                           [this] { return Available() > 0 || !m_open.load() || m_hungUp.load(); });
    return Available() > 0;
}

// The watcher stopped reading the port while the ring was full; the bytes
// just taken made room, so it may go on.
void SerialPort::ResumeInput()
{
    std::lock_guard<std::mutex> hold(m_flowMutex);
    if (m_inputPaused) {
        m_inputPaused = false;
        m_wake.Signal();
    }
}
