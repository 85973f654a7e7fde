#pragma once

#include <cstdint>
#include <string>

// One kind of line behind SerialPort: a serial device of this machine
// (TermiosDevice) or a serial port on another machine (NetworkDevice).
// SerialPort keeps the port lock, the watcher thread and the receive ring; a
// kind only moves bytes. Fd() and OutputQueued() may be asked at any time
// while the device is open; every other call but the destructor is made
// under the port lock.
class PortDevice {
public:
    enum class Progress { Done, Again, Failed };
    // What one read brought: data bytes (none when nothing came, or only the
    // line's own traffic), the other end hanging up, or a failure.
    struct Reception {
        enum class Status { Data, HungUp, Failed };
        Status status = Status::Data;
        int count = 0;   // data bytes stored
        int error = 0;   // errno of a failure
    };

    virtual ~PortDevice() = default;   // gives the device up
    PortDevice(const PortDevice&) = delete;
    PortDevice& operator=(const PortDevice&) = delete;

    // Waited on by the watcher for input and by a writer for room.
    virtual int Fd() const = 0;
    // Names the port for its lock: one device, one key, whatever name reached it.
    virtual std::string LockKey() const = 0;

    // Writing: bytes are queued in their wire form, then flushed until Done;
    // Again means no room now, Failed sets *error.
    virtual void QueueByte(uint8_t byte) = 0;
    virtual Progress Flush(int* error) = 0;
    // Written bytes the driver still holds (a UART's queue).
    virtual bool OutputQueued() const { return false; }
    // Waits until the last byte is on the wire: 0, or an errno.
    virtual int FinishOutput() { return 0; }

    // Reading: stores at most `room` received data bytes at `data`.
    virtual Reception Receive(uint8_t* data, int room) = 0;

protected:
    PortDevice() = default;
};
