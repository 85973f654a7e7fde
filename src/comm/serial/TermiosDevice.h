#pragma once

#include "comm/serial/PortDevice.h"

#include <memory>
#include <string>

class PortConfig;

// A serial device of this machine (or a pseudo-terminal): opened raw and for
// this process alone, written a byte at a time, each byte on the wire before
// the next.
class TermiosDevice : public PortDevice {
public:
    // Nothing, with what failed in *problem, when the device cannot be used.
    static std::unique_ptr<PortDevice> Open(const std::string& path, const PortConfig& config,
                                            std::string* problem);
    // For a stop signal's handler: gives up exclusive use of the device of
    // the latest Open and closes it, with async-signal-safe calls only.
    static void ReleaseForSignal();

    ~TermiosDevice() override;

    int Fd() const override { return m_fd; }
    std::string LockKey() const override { return m_realPath; }
    void QueueByte(uint8_t byte) override;
    Progress Flush(int* error) override;
    bool OutputQueued() const override;
    int FinishOutput() override;
    Reception Receive(uint8_t* data, int room) override;

private:
    TermiosDevice(int fd, std::string realPath);

    int m_fd;
    std::string m_realPath;   // links resolved, so that two names of one device share its lock
    std::string m_output;     // queued bytes not yet taken by the driver
};
