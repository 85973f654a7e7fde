#include "comm/serial/NetworkDevice.h"

#include "comm/serial/ComPortControl.h"
#include "comm/serial/NetworkPortName.h"
#include "comm/serial/PortConfig.h"
#include "comm/serial/TcpConnector.h"
#include "comm/serial/TelnetCodec.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Enough for what the ring takes in one read.
constexpr size_t kReadChunk = 1024;
// Of the far side's words before it closed, this many are shown.
constexpr size_t kLongestShownText = 80;

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

// Printable text only, trimmed, so a far side cannot write to the terminal.
void AddShown(const uint8_t* data, size_t count, std::string* shown)
{
    for (size_t i = 0; i < count && shown->size() < kLongestShownText; ++i)
        if (data[i] >= 0x20 && data[i] < 0x7F)
            *shown += static_cast<char>(data[i]);
        else if (!shown->empty() && shown->back() != ' ')
            *shown += ' ';
    while (!shown->empty() && shown->back() == ' ')
        shown->pop_back();
}

}  // namespace

std::unique_ptr<PortDevice> NetworkDevice::Open(const NetworkPortName& name, const PortConfig& config,
                                                std::string* problem)
{
    const bool telnet = name.protocol == NetworkPortName::Protocol::Rfc2217;
    if (telnet && (!config.IsSupported() || config.XonXoff())) {
        *problem = "unsupported speed, byte size, stop bits or flow control";
        return nullptr;
    }
    const Deadline deadline = std::chrono::steady_clock::now() + kConnectLimit;
    const TcpConnector::Connection connection = TcpConnector::Connect(name.host, name.port, deadline, problem);
    if (connection.fd < 0)
        return nullptr;
    std::unique_ptr<NetworkDevice> device(new NetworkDevice(connection.fd, connection.peer));
    if (telnet && !device->SetFarLine(config, deadline, problem))
        return nullptr;
    return device;
}

NetworkDevice::NetworkDevice(int fd, std::string peer)
    : m_fd(fd), m_peer(std::move(peer))
{
}

NetworkDevice::~NetworkDevice()
{
    close(m_fd);
}

// Telnet, then the line settings once the far side took the COM-port option.
// Data that comes before the line is set is dropped, as a local port's stale
// bytes are flushed when it opens.
bool NetworkDevice::SetFarLine(const PortConfig& config, Deadline deadline, std::string* problem)
{
    m_comPort = std::make_unique<ComPortControl>(config.Baud(), config.ByteSize(), config.StopBitsCode());
    m_telnet = std::make_unique<TelnetCodec>(std::vector<uint8_t>{ComPortControl::kOption},
                                             [this](uint8_t option, const std::string& payload) {
                                                 if (option == ComPortControl::kOption)
                                                     m_comPort->OnReply(payload);
                                             });
    m_telnet->Greet();
    return AwaitFarLine(deadline, problem);
}

bool NetworkDevice::AwaitFarLine(Deadline deadline, std::string* problem)
{
    const std::string limit = std::to_string(kConnectLimit.count() / 1000) + " s";
    bool settingsSent = false;
    std::string shown;   // what the far side said, should it close
    for (;;) {
        const TelnetCodec::State option = m_telnet->Ours(ComPortControl::kOption);
        if (option == TelnetCodec::State::No) {
            *problem = "the far side refuses the COM-port option of RFC 2217 (for a raw port use tcp:)";
            return false;
        }
        if (option == TelnetCodec::State::Yes && !settingsSent) {
            for (const std::string& command : m_comPort->Commands())
                m_telnet->Subnegotiate(ComPortControl::kOption, command);
            settingsSent = true;
        }
        if (m_comPort->Confirmed()) {
            *problem = m_comPort->Difference();
            return problem->empty();
        }
        TakeAnswers();
        int error = 0;
        if (Flush(&error) == Progress::Failed)
            return SendFailedDuringSetUp(error, &shown, problem);
        const int waitMs = MillisecondsUntil(deadline);
        if (waitMs == 0) {
            *problem = "the far side did not set the line within " + limit
                       + " (no RFC 2217 answer; for a raw port use tcp:)";
            return false;
        }
        pollfd far{m_fd, static_cast<short>(POLLIN | (m_output.empty() ? 0 : POLLOUT)), 0};
        const int ready = poll(&far, 1, waitMs);
        if (ready < 0 && errno != EINTR) {
            *problem = std::string("wait for the far side: ") + std::strerror(errno);
            return false;
        }
        if (ready > 0 && (far.revents & (POLLIN | POLLHUP | POLLERR)) != 0 && !ReceiveDuringSetUp(&shown, problem))
            return false;
    }
}

bool NetworkDevice::ReceiveDuringSetUp(std::string* shown, std::string* problem)
{
    std::array<uint8_t, kReadChunk> data;
    const Reception reception = ReceiveTelnet(data.data(), static_cast<int>(data.size()));
    if (reception.status == Reception::Status::Data) {
        AddShown(data.data(), static_cast<size_t>(reception.count), shown);
        return true;
    }
    const bool closed = reception.status == Reception::Status::HungUp || reception.error == ECONNRESET;
    *problem = closed ? FarSideClosed(*shown) : std::string("read: ") + std::strerror(reception.error);
    return false;
}

// A far side that refuses a client says why and closes (ser2net: "Port
// already in use"); what it said is read before the failed send is blamed.
bool NetworkDevice::SendFailedDuringSetUp(int error, std::string* shown, std::string* problem)
{
    std::array<uint8_t, kReadChunk> data;
    Reception reception;
    while ((reception = ReceiveTelnet(data.data(), static_cast<int>(data.size()))).count > 0)
        AddShown(data.data(), static_cast<size_t>(reception.count), shown);
    const bool closed = !shown->empty() || reception.status == Reception::Status::HungUp
                        || error == EPIPE || error == ECONNRESET;
    *problem = closed ? FarSideClosed(*shown) : std::string("send: ") + std::strerror(error);
    return false;
}

std::string NetworkDevice::FarSideClosed(const std::string& shown)
{
    return "the far side closed the connection" + (shown.empty() ? "" : ": \"" + shown + "\"");
}

void NetworkDevice::QueueByte(uint8_t byte)
{
    m_output += m_telnet ? TelnetCodec::Escape(byte) : std::string(1, static_cast<char>(byte));
}

PortDevice::Progress NetworkDevice::Flush(int* error)
{
    while (!m_output.empty()) {
        const ssize_t sent = send(m_fd, m_output.data(), m_output.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            m_output.erase(0, static_cast<size_t>(sent));
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return Progress::Again;
        } else {
            *error = sent < 0 ? errno : EIO;
            m_output.clear();   // the connection is gone: nothing more will leave
            return Progress::Failed;
        }
    }
    return Progress::Done;
}

PortDevice::Reception NetworkDevice::Receive(uint8_t* data, int room)
{
    return m_telnet ? ReceiveTelnet(data, room) : ReceiveRaw(data, room);
}

PortDevice::Reception NetworkDevice::ReceiveRaw(uint8_t* data, int room)
{
    ssize_t got;
    while ((got = recv(m_fd, data, static_cast<size_t>(room), 0)) < 0 && errno == EINTR) {
    }
    Reception reception;
    if (got > 0)
        reception.count = static_cast<int>(got);
    else if (got == 0)
        reception.status = Reception::Status::HungUp;
    else if (errno != EAGAIN && errno != EWOULDBLOCK)
        reception = {Reception::Status::Failed, 0, errno};
    return reception;
}

// Telnet never makes data longer, so `room` wire bytes fit `room` data bytes.
// The answers go out at once; one that finds no room waits for the next byte
// written or read.
PortDevice::Reception NetworkDevice::ReceiveTelnet(uint8_t* data, int room)
{
    std::array<uint8_t, kReadChunk> wire;
    Reception reception = ReceiveRaw(wire.data(), std::min(room, static_cast<int>(wire.size())));
    if (reception.count > 0) {
        reception.count = static_cast<int>(m_telnet->Receive(wire.data(), static_cast<size_t>(reception.count), data));
        TakeAnswers();
        int error = 0;
        Flush(&error);   // a broken connection shows at the next read
    }
    return reception;
}

// A far side that asks without reading the answers gets no more of them.
void NetworkDevice::TakeAnswers()
{
    const std::string answers = m_telnet->TakeOutput();
    if (m_output.size() < TelnetCodec::kAnswerLimit)
        m_output += answers;
}
