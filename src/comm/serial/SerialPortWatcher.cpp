// The watcher thread of SerialPort: moves received bytes into the ring.
#include "comm/serial/SerialPort.h"

#include "comm/serial/SystemError.h"

#include <cerrno>
#include <poll.h>

namespace {
constexpr std::chrono::milliseconds kWatcherLockWait{100};
}  // namespace

// Waits on the wake-up event and, while the line is up and the ring has room,
// on the port. A full ring leaves further bytes queued in the driver until
// Read makes room; a line that hung up is not watched again, so neither case
// can turn the wait into a busy loop.
void SerialPort::SerialPortWatcher()
{
    bool lineUp = true;
    while (!m_stop.load()) {
        const bool watchPort = lineUp && !PauseInputWhileFull();
        pollfd fds[] = {{m_wake.Fd(), POLLIN, 0}, {watchPort ? m_line->Fd() : -1, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            ReportSystemError(m_device, "wait for input", errno);
            return;
        }
        if (fds[0].revents & POLLIN)
            m_wake.Clear();
        if (fds[1].revents != 0 && !(lineUp = HandlePortEvents(fds[1].revents))) {
            m_hungUp.store(true);
            NotifyData();   // no byte will come: a wait for one ends now
        }
    }
}

// Decided under m_flowMutex so that a Read emptying a full ring either is
// seen here or sees the pause and wakes us.
bool SerialPort::PauseInputWhileFull()
{
    std::lock_guard<std::mutex> hold(m_flowMutex);
    m_inputPaused = m_rxRing.Full();
    return m_inputPaused;
}

// False when the line is gone.
bool SerialPort::HandlePortEvents(short events)
{
    if (events & POLLIN)
        return Drain();
    // Only a stop signal closes the device under the watcher, as the process
    // ends: nothing to report.
    if (events & POLLNVAL)
        return false;
    m_lineFault.store(true);
    ReportSerialProblem(m_device, "the line hung up");
    return false;
}

// Takes what the driver holds, never more than the ring has room for.
// False when the line is gone.
bool SerialPort::Drain()
{
    const int room = m_rxRing.Free();
    if (room == 0)
        return true;  // a read of 0 bytes would look like a hang-up
    uint8_t chunk[RxRing::kCapacity];
    PortDevice::Reception reception;
    {
        // A short wait, so that a Close is never kept waiting long; the bytes
        // stay in the driver and the next round takes them.
        LockHold hold(*m_portLock, kWatcherLockWait);
        if (!hold.owns_lock())
            return true;
        reception = m_line->Receive(chunk, room);
    }
    switch (reception.status) {
    case PortDevice::Reception::Status::Data:
        if (reception.count > 0) {
            m_rxRing.Push(chunk, reception.count);
            NotifyData();
        }
        return true;
    case PortDevice::Reception::Status::HungUp:
        m_lineFault.store(true);
        ReportSerialProblem(m_device, "the line hung up");
        return false;
    default:
        m_lineFault.store(true);
        ReportSystemError(m_device, "read", reception.error);
        return false;
    }
}

void SerialPort::NotifyData()
{
    // Taking the mutex once orders this arrival after a waiter's check:
    // a WaitForData between its check and its sleep cannot miss the notify.
    { std::lock_guard<std::mutex> hold(m_dataMutex); }
    m_dataArrived.notify_all();
}
