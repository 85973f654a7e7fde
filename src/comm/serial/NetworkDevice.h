#pragma once

#include "comm/serial/PortDevice.h"

#include <chrono>
#include <memory>
#include <string>

class ComPortControl;
class NetworkPortName;
class PortConfig;
class TelnetCodec;

// A serial port on another machine, over TCP: the bytes as they are
// (tcp:HOST:PORT), or telnet with the COM-port option, which sets the far
// line (rfc2217:HOST:PORT). The connection closing is the line hanging up.
class NetworkDevice : public PortDevice {
public:
    // Connecting, and setting the far line, must be done within this.
    static constexpr std::chrono::milliseconds kConnectLimit{3000};

    // Nothing, with what failed in *problem, when the port cannot be reached.
    static std::unique_ptr<PortDevice> Open(const NetworkPortName& name, const PortConfig& config,
                                            std::string* problem);
    ~NetworkDevice() override;

    int Fd() const override { return m_fd; }
    std::string LockKey() const override { return m_peer; }
    void QueueByte(uint8_t byte) override;
    Progress Flush(int* error) override;
    Reception Receive(uint8_t* data, int room) override;

private:
    using Deadline = std::chrono::steady_clock::time_point;

    NetworkDevice(int fd, std::string peer);
    bool SetFarLine(const PortConfig& config, Deadline deadline, std::string* problem);
    bool AwaitFarLine(Deadline deadline, std::string* problem);
    bool ReceiveDuringSetUp(std::string* shown, std::string* problem);
    bool SendFailedDuringSetUp(int error, std::string* shown, std::string* problem);
    static std::string FarSideClosed(const std::string& shown);
    Reception ReceiveRaw(uint8_t* data, int room);
    Reception ReceiveTelnet(uint8_t* data, int room);
    void TakeAnswers();

    int m_fd;
    std::string m_peer;                        // for the lock: numeric address and port
    std::unique_ptr<TelnetCodec> m_telnet;     // rfc2217 only
    std::unique_ptr<ComPortControl> m_comPort; // rfc2217 only
    std::string m_output;                      // bytes not sent yet; telnet sequences whole and in order
};
