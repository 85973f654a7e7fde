#include "comm/serial/SerialPort.h"

#include "comm/serial/NetworkDevice.h"
#include "comm/serial/NetworkPortName.h"
#include "comm/serial/PortAccessHint.h"
#include "comm/serial/PortConfig.h"
#include "comm/serial/SignalHold.h"
#include "comm/serial/SystemError.h"
#include "comm/serial/TermiosDevice.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <poll.h>
#include <system_error>

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
    TermiosDevice::ReleaseForSignal();
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
    m_openProblem.clear();
    if (!m_wake.IsValid())
        return 0;
    const std::string device = ResolveDevice(portName);
    m_line = OpenDevice(device, baud, byteSize, stopBitsCode, xonXoff, parityCheck);
    if (!m_line)
        return 0;
    m_device = device;
    m_byteTime = ByteTimeAt(baud);
    m_portLock = std::make_unique<PortLock>(PortLock::NameFor(m_line->LockKey()));
    m_writeFailureReported = false;
    m_lineFault.store(false);
    if (!StartWatcher()) {
        m_line.reset();
        m_portLock.reset();
        return 0;
    }
    SetOpen(true);
    return 1;
}

// A name that begins like a network port is one, or is refused: it never
// falls through to a device path.
std::unique_ptr<PortDevice> SerialPort::OpenDevice(const std::string& device, int baud, int byteSize,
                                                   int stopBitsCode, int xonXoff, int parityCheck)
{
    const PortConfig config(baud, byteSize, stopBitsCode, xonXoff, parityCheck);
    std::string problem;
    std::unique_ptr<PortDevice> line;
    if (!NetworkPortName::HasPrefix(device)) {
        line = TermiosDevice::Open(device, config, &problem);
        if (!line) {
            OpenFailed(device, problem);
            PortAccessHint::Report(device);
        }
        return line;
    }
    NetworkPortName name;
    if (NetworkPortName::Parse(device, &name, &problem))
        line = NetworkDevice::Open(name, config, &problem);
    if (!line)
        OpenFailed(device, problem);
    return line;
}

void SerialPort::OpenFailed(const std::string& device, const std::string& problem)
{
    m_openProblem = device + ": " + problem;
    ReportSerialProblem(device, problem);
}

int SerialPort::Close()
{
    SetOpen(false);
    StopWatcher();
    m_line.reset();
    m_portLock.reset();
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
        const SignalHold forGood;   // the watcher inherits it
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

int SerialPort::Write(const uint8_t* bytes, int count, Pace pace)
{
    if (!IsOpen() || count < 0 || (count > 0 && bytes == nullptr))
        return 0;
    LockHold hold(*m_portLock, std::defer_lock);
    if (!TakePortLock(hold))
        return 0;
    for (int i = 0; i < count; ++i) {
        m_line->QueueByte(bytes[i]);
        if (pace == Pace::ByteByByte && !WriteQueued(hold, 1))
            return 0;
    }
    if (pace == Pace::AllAtOnce && count > 0 && !WriteQueued(hold, count))
        return 0;
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

// The queued bytes must leave within their time on the wire and kStallLimit
// more, or the line counts as stuck.
bool SerialPort::WriteQueued(LockHold& hold, int queued)
{
    const Deadline deadline = std::chrono::steady_clock::now() + kStallLimit + m_byteTime * queued;
    for (;;) {
        int error = 0;
        switch (m_line->Flush(&error)) {
        case PortDevice::Progress::Done:
            return DrainOutput(hold, deadline);
        case PortDevice::Progress::Again:
            if (!WaitUnlocked(hold, [&] { return WaitWritable(deadline); }))
                return false;
            break;
        default:
            return WriteFailed("write", error);
        }
    }
}

// Each byte has left the driver before the next is written. The driver's
// queue is watched until it is empty first, with the lock let go, since flow
// control may hold it back; the device then waits only for the last
// character on the wire.
bool SerialPort::DrainOutput(LockHold& hold, Deadline deadline)
{
    if (m_line->OutputQueued() && !WaitUnlocked(hold, [&] { return WaitOutputLeft(deadline); }))
        return false;
    const int error = m_line->FinishOutput();
    return error == 0 || WriteFailed("wait for output to leave", error);
}

// A byte normally leaves within its time on the wire, so the queue is looked
// at again after that; a line that holds bytes back is looked at less and
// less often, up to kOutputPoll.
bool SerialPort::WaitOutputLeft(Deadline deadline)
{
    std::chrono::microseconds step = m_byteTime;
    while (m_line->OutputQueued()) {
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
        pollfd port{m_line->Fd(), POLLOUT, 0};
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
