// Serial ports on other machines: the port names, telnet, and SerialPort over
// TCP against a far side the test plays.
#include "support/TempFolder.h"
#include "support/WaitFor.h"

#include "comm/serial/NetworkDevice.h"
#include "comm/serial/NetworkPortName.h"
#include "comm/serial/PortLock.h"
#include "comm/serial/SerialPort.h"
#include "comm/serial/TelnetCodec.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <utility>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// The test's side of a TCP connection that SerialPort opens.
class TcpFarEnd {
public:
    explicit TcpFarEnd(int backlog = 1)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_listener, backlog);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
    }
    ~TcpFarEnd()
    {
        Close();
        close(m_listener);
    }

    std::string Name(const std::string& protocol) const { return protocol + ":127.0.0.1:" + std::to_string(m_port); }
    bool Accept()
    {
        pollfd listener{m_listener, POLLIN, 0};
        return poll(&listener, 1, 5000) == 1 && (m_peer = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;
    }
    bool Send(const std::string& bytes) const
    {
        return send(m_peer, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // What arrives until it holds `expected`, the port closes or the limit passes.
    std::string ReceiveUntil(const std::string& expected, std::chrono::milliseconds limit = 5s) const
    {
        std::string got;
        char chunk[256];
        ssize_t n = 1;
        for (const auto deadline = Clock::now() + limit;
             n > 0 && got.find(expected) == std::string::npos && Clock::now() < deadline;) {
            pollfd peer{m_peer, POLLIN, 0};
            if (poll(&peer, 1, 5) > 0 && (n = recv(m_peer, chunk, sizeof chunk, 0)) > 0)
                got.append(chunk, static_cast<size_t>(n));
        }
        return got;
    }
    void Close() { close(std::exchange(m_peer, -1)); }

private:
    int m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int m_peer = -1;
    int m_port = 0;
};

std::string Bytes(std::initializer_list<int> values) { return std::string(values.begin(), values.end()); }

// IAC SB COM-PORT payload IAC SE.
std::string ComPort(const std::string& payload) { return Bytes({255, 250, 44}) + payload + Bytes({255, 240}); }

// The acknowledgements of a line at 115200 baud, 8 data bits, no parity, one stop bit.
std::string Acknowledgements(int baud = 115200)
{
    return ComPort(Bytes({101, (baud >> 24) & 255, (baud >> 16) & 255, (baud >> 8) & 255, baud & 255}))
           + ComPort(Bytes({102, 8})) + ComPort(Bytes({103, 1})) + ComPort(Bytes({104, 1}));
}

// The last line setting SerialPort sends: one stop bit.
const std::string kStopSizeCommand = ComPort(Bytes({4, 1}));

int OpenAt(SerialPort& port, const std::string& name, int baud = 115200) { return port.Open(name, baud, 8, 0, 0, 0); }

std::string Read(SerialPort& port, size_t count)
{
    std::string got;
    WaitFor([&] {
        uint8_t byte = 0;
        while (port.Read(&byte, 1) == 1)
            got += static_cast<char>(byte);
        return got.size() >= count;
    });
    return got;
}

}  // namespace

TEST(NetworkPortName, TakesHostAndPortAndSaysWhatIsWrong)
{
    NetworkPortName name;
    std::string problem;
    using Protocol = NetworkPortName::Protocol;
    for (const auto& [text, protocol, host, port] :
         {std::tuple{"tcp:camera-pc-7:3003", Protocol::Raw, "camera-pc-7", 3003},
          {"tcp:[::1]:65535", Protocol::Raw, "::1", 65535}, {"rfc2217:192.0.2.7:1", Protocol::Rfc2217, "192.0.2.7", 1},
          {"rfc2217:[fe80::1%eth0]:2001", Protocol::Rfc2217, "fe80::1%eth0", 2001}}) {
        ASSERT_TRUE(NetworkPortName::Parse(text, &name, &problem)) << text << ": " << problem;
        EXPECT_TRUE(name.protocol == protocol && name.host == host && name.port == port) << text;
    }
    for (const auto& [text, why] :
         {std::pair{"tcp:camera-pc-7", "no port"}, {"tcp:[::1]", "no port"}, {"tcp::3003", "no host"},
          {"tcp:host:0", "out of range"}, {"tcp:host:65536", "out of range"}, {"tcp:host:99999999999", "out of range"},
          {"tcp:host:+1", "not a whole number"}, {"tcp:host: 1", "not a whole number"},
          {"tcp:host:1\n", "not a whole number"}, {"tcp:::1:3003", "in brackets"}, {"tcp:[camera]:3003", "in brackets"},
          {"tcp:ho st:1", "character"}, {"tcp:-oProxy:1", "'-'"}, {"rfc2217:a\x1b[2J:1", "character"}}) {
        EXPECT_FALSE(NetworkPortName::Parse(text, &name, &problem)) << text;
        EXPECT_NE(problem.find(why), std::string::npos) << text << ": " << problem;
        EXPECT_NE(problem.find("tcp:HOST:PORT or rfc2217:HOST:PORT"), std::string::npos) << problem;
    }
    EXPECT_FALSE(NetworkPortName::HasPrefix("TCP:host:1")) << "a device path, as names are spelt in lower case";
    EXPECT_FALSE(NetworkPortName::HasPrefix("/dev/tcp:1"));

    SerialPort port;
    EXPECT_EQ(OpenAt(port, "tcp:camera-pc-7"), 0) << "a malformed network name is never opened as a device path";
    EXPECT_NE(port.OpenProblem().find("no port after the host"), std::string::npos) << port.OpenProblem();
}

TEST(TelnetCodec, AnswersEachRequestOnceRefusesWhatItDoesNotUseAndKeepsTheData)
{
    struct Case {
        const char* what;
        std::string received;
        std::string data;
        std::string answers;
        std::string subnegotiations;   // option byte and payload of each, in order
    };
    const Case cases[] = {
        {"an offer of echo is refused", Bytes({255, 251, 1}), "", Bytes({255, 254, 1}), ""},
        {"a request to echo is refused", Bytes({255, 253, 1}), "", Bytes({255, 252, 1}), ""},
        {"an unknown option is refused", Bytes({255, 253, 99}), "", Bytes({255, 252, 99}), ""},
        {"binary is agreed once however often offered", Bytes({255, 251, 0, 255, 251, 0}), "", Bytes({255, 253, 0}), ""},
        {"the COM-port option is taken on", Bytes({255, 253, 44}), "", Bytes({255, 251, 44}), ""},
        {"an option turned off that was never on needs no answer", Bytes({255, 252, 5, 255, 254, 5}), "", "", ""},
        {"an option turned off that was on is answered", Bytes({255, 253, 0, 255, 254, 0}), "",
         Bytes({255, 251, 0, 255, 252, 0}), ""},
        {"IAC IAC is the data byte 0xFF", "a" + Bytes({255, 255}) + "b", "a" + Bytes({255}) + "b", "", ""},
        {"commands without meaning for a line are passed over", "a" + Bytes({255, 241, 255, 249, 255, 240}) + "b", "ab",
         "", ""},
        {"a subnegotiation is delivered, IAC IAC in it as 0xFF", ComPort(Bytes({101, 255, 255, 7})) + "z", "z", "",
         Bytes({44, 101, 255, 7})},
        {"a subnegotiation cut short by a command is dropped",
         Bytes({255, 250, 44, 101, 9, 255, 251, 1}) + "c", "c", Bytes({255, 254, 1}), ""},
        {"an overlong subnegotiation is dropped whole", ComPort(std::string(300, 'x')) + "d", "d", "", ""},
        {"CR NUL from a side not in binary mode is CR", std::string("a\r\0b", 4), "a\rb", "", ""},
        {"in binary mode a NUL after CR is data", Bytes({255, 251, 0}) + std::string("a\r\0b", 4),
         std::string("a\r\0b", 4), Bytes({255, 253, 0}), ""},
    };
    for (const Case& c : cases) {
        for (const bool byteByByte : {false, true}) {
            std::string subnegotiations;
            TelnetCodec codec({44}, [&](uint8_t option, const std::string& payload) {
                subnegotiations += static_cast<char>(option) + payload;
            });
            std::string data;
            const auto* wire = reinterpret_cast<const uint8_t*>(c.received.data());
            const size_t step = byteByByte ? 1 : c.received.size();
            for (size_t at = 0; at < c.received.size(); at += step) {
                uint8_t out[512];
                const size_t count = codec.Receive(wire + at, step, out);
                data.append(reinterpret_cast<const char*>(out), count);
            }
            EXPECT_EQ(data, c.data) << c.what << (byteByByte ? ", a byte at a time" : "");
            EXPECT_EQ(codec.TakeOutput(), c.answers) << c.what;
            EXPECT_EQ(subnegotiations, c.subnegotiations) << c.what;
        }
    }

    TelnetCodec spammed;
    std::string requests;
    for (int i = 0; i < 5000; ++i)
        requests += Bytes({255, 253, 99});
    uint8_t sink[15000];
    spammed.Receive(reinterpret_cast<const uint8_t*>(requests.data()), requests.size(), sink);
    EXPECT_LE(spammed.TakeOutput().size(), TelnetCodec::kAnswerLimit + 3) << "answers held for a far side that never reads";
}

TEST(NetworkPort, ARawLineCarriesEveryByteAndItsClosingIsAHangUp)
{
    TempFolder runtime;   // a lock of the test's own
    setenv("XDG_RUNTIME_DIR", runtime.path.c_str(), 1);
    TcpFarEnd far;
    SerialPort port;
    ASSERT_EQ(OpenAt(port, far.Name("tcp")), 1) << port.OpenProblem();
    ASSERT_TRUE(far.Accept());
    // Another copy of the tool holds the lock of this address and port until this one waits for it.
    PortLock held(PortLock::NameFor(far.Name("tcp").substr(4)));
    ASSERT_TRUE(held.try_lock());
    bool waited = false;
    port.SetLockWaitNotice([&](bool waiting) {
        if (waiting && !waited)
            held.unlock();
        waited = true;
    });
    std::string all;
    for (int value = 0; value < 256; ++value)
        all += static_cast<char>(value);
    ASSERT_EQ(port.Write(reinterpret_cast<const uint8_t*>(all.data()), 256), 1);
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_TRUE(waited) << "the port's lock is named after its address and port";
    EXPECT_EQ(far.ReceiveUntil(all), all) << "every byte as it is, in order";
    ASSERT_TRUE(far.Send(all));
    EXPECT_EQ(Read(port, 256), all);

    const auto start = Clock::now();
    std::thread closer([&] {
        std::this_thread::sleep_for(100ms);   // the wait below has begun
        far.Close();
    });
    EXPECT_FALSE(port.WaitForData(10000));
    closer.join();
    EXPECT_LT(Clock::now() - start, 5s) << "the far side closing ends a wait for data";
    EXPECT_TRUE(WaitFor([&] { return port.HungUp(); })) << "the connection closing is a hang-up";
    EXPECT_TRUE(port.HasLineFault());
    EXPECT_LT(CpuTimeOf([] { std::this_thread::sleep_for(300ms); }), 100ms)
        << "the watcher must not spin on a closed connection";
    const uint8_t byte = 'x';
    EXPECT_TRUE(WaitFor([&] { return port.Write(&byte, 1) == 0; })) << "writing to a closed connection fails (no SIGPIPE)";
    EXPECT_EQ(port.Close(), 1);
}

// The far side offers an echo we must refuse, an option nobody knows and binary
// mode, then answers the COM-port option: a port opens only on a far line set as asked.
TEST(NetworkPort, Rfc2217SetsTheFarLineEscapes0xFFOrFailsTheOpenSayingWhy)
{
    const std::string garbage = Bytes({255, 250, 255, 255, 255, 253, 255, 244, 255, 250, 44, 101, 1, 255, 1, 255})
                                + Bytes({0, 255, 255, 251, 255, 255, 240, 255, 242});
    const std::string agreed = Bytes({255, 253, 44});
    struct Case {
        std::string answer;   // to the port's request for the COM-port option
        const char* problem;  // "" when the port opens
    };
    const Case cases[] = {
        {Bytes({255, 254, 44}), "refuses the COM-port option"},
        {agreed + "Port already in use\r\n", "closed the connection: \"Port already in use\""},
        {agreed + Acknowledgements(57600), "set 57600 baud instead of 115200"},
        {garbage + agreed, ""},
    };
    for (const Case& c : cases) {
        TcpFarEnd far;
        std::string greeting;
        std::thread farSide([&] {
            if (!far.Accept())
                return;
            far.Send(Bytes({255, 251, 1, 255, 253, 99, 255, 251, 0, 255, 253, 0}));
            greeting = far.ReceiveUntil(Bytes({255, 251, 44}));
            far.Send(c.answer);
            if (c.answer.find("in use") != std::string::npos)
                far.Close();
            if (*c.problem == '\0') {
                greeting += far.ReceiveUntil(kStopSizeCommand);
                far.Send(Acknowledgements() + ComPort(Bytes({107, 0})));
            }
        });
        SerialPort port;
        const auto start = Clock::now();
        const int opened = OpenAt(port, far.Name("rfc2217"));
        farSide.join();
        EXPECT_LT(Clock::now() - start, 1s) << c.problem << ": no need to wait out the limit";
        EXPECT_EQ(opened, *c.problem == '\0' ? 1 : 0) << c.problem << port.OpenProblem();
        EXPECT_NE(port.OpenProblem().find(c.problem), std::string::npos) << port.OpenProblem();
        if (opened != 1)
            continue;
        for (const auto& [bytes, why] : {std::pair{Bytes({255, 251, 44}), "the COM-port option is asked for"},
                                        {Bytes({255, 254, 1}), "echo is refused"},
                                        {Bytes({255, 252, 99}), "an unknown option is refused"},
                                        {ComPort(Bytes({1, 0, 1, 194, 0})), "115200 baud"},
                                        {ComPort(Bytes({2, 8})), "8 data bits"}, {ComPort(Bytes({3, 1})), "no parity"},
                                        {kStopSizeCommand, "one stop bit"}, {ComPort(Bytes({5, 1})), "no flow control"}})
            EXPECT_NE(greeting.find(bytes), std::string::npos) << why;

        const std::string out = "A" + Bytes({255}) + "B";
        ASSERT_EQ(port.Write(reinterpret_cast<const uint8_t*>(out.data()), 3), 1);
        EXPECT_EQ(far.ReceiveUntil("B"), "A" + Bytes({255, 255}) + "B") << "0xFF is doubled on the way out";
        ASSERT_TRUE(far.Send("x" + Bytes({255, 255}) + "y" + Bytes({255, 241}) + ComPort(Bytes({106, 0})) + "z"));
        EXPECT_EQ(Read(port, 4), "x" + Bytes({255}) + "yz") << "commands taken out, IAC IAC is 0xFF";
    }
}

TEST(NetworkPort, ConnectingEndsWithinItsLimitSayingWhatFailed)
{
    // A listener whose queue is full: the next connection is never answered.
    TcpFarEnd full(0);
    SerialPort first;
    ASSERT_EQ(OpenAt(first, full.Name("tcp")), 1);
    struct Case {
        std::string name;
        const char* problem;
    };
    const int unused = [] {
        TcpFarEnd gone;
        return std::stoi(gone.Name("tcp").substr(14));
    }();
    const Case cases[] = {
        {"tcp:127.0.0.1:" + std::to_string(unused), "connection refused: nothing listens at 127.0.0.1 port"},
        {"tcp:camera.invalid:3003", "the name camera.invalid was not resolved"},
        {full.Name("rfc2217"), "within 3 s (timed out)"},
    };
    for (const Case& c : cases) {
        SerialPort port;
        const auto start = Clock::now();
        EXPECT_EQ(OpenAt(port, c.name), 0) << c.name;
        EXPECT_LT(Clock::now() - start, NetworkDevice::kConnectLimit + 1s) << c.name;
        EXPECT_EQ(port.OpenProblem().rfind(c.name + ": ", 0), 0u) << "the message names the port: " << port.OpenProblem();
        EXPECT_NE(port.OpenProblem().find(c.problem), std::string::npos) << port.OpenProblem();
    }
}
