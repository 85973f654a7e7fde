#pragma once

#include "comm/serial/PortDevice.h"
#include "comm/serial/PortLock.h"
#include "comm/serial/RxRing.h"
#include "comm/serial/WakeEvent.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// The PC serial port: opens a serial device of this machine, or a serial port
// on another machine ("tcp:HOST:PORT", "rfc2217:HOST:PORT"), writes bytes one
// at a time (or a line at once) under the port's lock, and runs a watcher
// thread that moves every received byte into a 1024-byte ring from which the
// engine reads.
// One instance per process, created by the application object.
// The port lock is keyed by the device, so that two ports never wait for each
// other; it is held per command and let go whenever the line holds a byte
// back; bytes that cannot leave within their wire time and 2 s more fail the
// write.
class SerialPort {
public:
    // Turns "COMn" (n = 1..16) into a device path. The application installs
    // one that reads the profile value "COMn"; without one, COMn is /dev/ttyS<n-1>.
    using DeviceResolver = std::function<std::string(int comNumber)>;
    // Told true when a write starts waiting for the port lock, false when the
    // wait ends; the window shows the wait cursor meanwhile.
    using LockWaitNotice = std::function<void(bool waiting)>;

    // A write that makes no progress for this long fails; so does a wait for
    // the port lock that lasts this long (another program holds the port).
    static constexpr std::chrono::milliseconds kStallLimit{2000};

    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    void SetDeviceResolver(DeviceResolver resolver);
    void SetLockWaitNotice(LockWaitNotice notice);
    // "COMn" followed by a whole number names a port: n for COM1..COM16, -1
    // for a port that does not exist (COM0, COM17, COM-1); 0 for anything else.
    static int ComNumber(const std::string& portName);
    // "COM3" -> resolved device; anything but COM1..COM16 is taken as a device
    // path or a network port name.
    std::string ResolveDevice(const std::string& portName) const;

    // 1 on success, 0 on failure (the port stays closed).
    int Open(const std::string& portName, int baud, int byteSize, int stopBitsCode,
             int xonXoff, int parityCheck);
    int Close();                                  // always 1
    // How a write's bytes leave: each one after the one before has left the
    // driver (the tool's long-standing pace, which gives the camera a pause
    // between bytes), or all at once, back to back at the line's own speed.
    enum class Pace { ByteByByte, AllAtOnce };
    // 1 when every byte left, else 0.
    int Write(const uint8_t* bytes, int count, Pace pace = Pace::ByteByByte);
    int Available() const;                        // unread bytes in the ring
    int Read(uint8_t* destination, int maximum);  // maximum <= 0: every unread byte
    bool IsOpen() const;
    // The other end hung up since the port was opened: no byte will come again.
    bool HungUp() const { return m_hungUp.load(); }
    // True once the line hung up, a read failed or a write failed or timed
    // out since the last Open.
    bool HasLineFault() const;
    // Why the last Open failed, naming the port ("" after a success).
    const std::string& OpenProblem() const { return m_openProblem; }

    // For a stop signal's handler: gives up exclusive use of the device of the
    // latest Open and closes it, with async-signal-safe calls only. The
    // process must end right afterwards.
    static void ReleaseForSignal();

    // Blocks until the ring holds a byte, the port closes, the line hangs up
    // or timeoutMs passes, without burning the processor. True when a byte is waiting.
    bool WaitForData(int timeoutMs);

private:
    using Deadline = std::chrono::steady_clock::time_point;
    using LockHold = std::unique_lock<PortLock>;

    // Opening and closing
    std::unique_ptr<PortDevice> OpenDevice(const std::string& device, int baud, int byteSize,
                                           int stopBitsCode, int xonXoff, int parityCheck);
    void OpenFailed(const std::string& device, const std::string& problem);
    bool StartWatcher();
    void StopWatcher();
    void SetOpen(bool open);

    // Writing (under the port lock, let go while the line holds a byte back)
    bool TakePortLock(LockHold& hold);
    bool WaitUnlocked(LockHold& hold, const std::function<bool()>& wait);
    bool WriteQueued(LockHold& hold, int queued);
    bool WaitWritable(Deadline deadline);
    bool DrainOutput(LockHold& hold, Deadline deadline);
    bool WaitOutputLeft(Deadline deadline);
    bool WriteFailed(const char* action, int error);

    // Watcher thread
    void SerialPortWatcher();
    bool PauseInputWhileFull();
    bool HandlePortEvents(short events);
    bool Drain();
    void NotifyData();

    // Reader side
    void ResumeInput();

    // Device
    DeviceResolver m_resolver;
    std::string m_device;                // path or network name of the open port, for messages
    std::unique_ptr<PortDevice> m_line;  // changed only while no watcher runs
    std::chrono::microseconds m_byteTime{1000};   // a byte's time on the wire at the open speed
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_lineFault{false};
    bool m_writeFailureReported = false; // one message per run of failed writes
    std::string m_openProblem;
    LockWaitNotice m_lockWaitNotice;

    // Port lock, made for each device it opens
    std::unique_ptr<PortLock> m_portLock; // Protects m_line's I/O: writes against the watcher's
                                          // reads, in this and every other copy of the tool

    // Watcher thread
    std::thread m_watcher;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_hungUp{false};   // set by the watcher when the line is gone
    WakeEvent m_wake;                    // Close and Read wake the watcher through it

    // Receive ring
    RxRing m_rxRing;
    std::mutex m_flowMutex;              // Protects m_inputPaused
    bool m_inputPaused = false;          // the watcher waits for Read to make room
    std::mutex m_dataMutex;              // Protects m_open's changes and orders ring arrivals
                                         // and the hang-up against WaitForData's check
    std::condition_variable m_dataArrived;
};
