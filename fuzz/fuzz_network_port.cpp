// What a profile, a command line or a far side feeds a network port: its
// name, and the telnet stream of a serial port server with the COM-port
// option's replies.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "comm/serial/ComPortControl.h"
#include "comm/serial/NetworkPortName.h"
#include "comm/serial/TelnetCodec.h"

namespace {

void Require(bool holds)
{
    if (!holds)
        std::abort();
}

// A name that parses gives a host and port that say the same again.
void CheckName(const std::string& text)
{
    NetworkPortName name;
    std::string problem;
    if (!NetworkPortName::Parse(text, &name, &problem)) {
        Require(!problem.empty());
        return;
    }
    Require(name.port >= 1 && !name.host.empty() && name.host.size() <= 253);
    for (const char c : name.host)
        Require(c > 0x20 && c < 0x7F);
    const bool bracketed = name.host.find(':') != std::string::npos;
    const std::string again = "tcp:" + (bracketed ? "[" + name.host + "]" : name.host) + ":" + std::to_string(name.port);
    NetworkPortName reparsed;
    Require(NetworkPortName::Parse(again, &reparsed, &problem) && reparsed.host == name.host && reparsed.port == name.port);
}

// Whatever arrives, in pieces of any size: data never grows, answers stay
// bounded, and the data bytes, escaped again, come back unchanged.
void CheckTelnet(size_t piece, const std::string& wire)
{
    ComPortControl comPort(115200, 8, 0);
    TelnetCodec codec({ComPortControl::kOption}, [&](uint8_t option, const std::string& payload) {
        Require(payload.size() <= TelnetCodec::kLongestSubnegotiation);
        if (option == ComPortControl::kOption)
            comPort.OnReply(payload);
    });
    codec.Greet();
    codec.TakeOutput();
    std::string data;
    for (size_t at = 0; at < wire.size(); at += piece) {
        const size_t size = std::min(piece, wire.size() - at);
        uint8_t out[256];
        const size_t count = codec.Receive(reinterpret_cast<const uint8_t*>(wire.data() + at), size, out);
        Require(count <= size);
        data.append(reinterpret_cast<const char*>(out), count);
        Require(codec.TakeOutput().size() <= TelnetCodec::kAnswerLimit + 3);
    }
    comPort.Confirmed();
    comPort.Difference();

    TelnetCodec binary;
    const std::string binaryOffer = "\xff\xfb";
    std::string escaped = binaryOffer + std::string(1, '\0');
    for (const char c : data)
        escaped += TelnetCodec::Escape(static_cast<uint8_t>(c));
    std::string back(escaped.size(), '\0');
    const size_t count = binary.Receive(reinterpret_cast<const uint8_t*>(escaped.data()), escaped.size(),
                                        reinterpret_cast<uint8_t*>(&back[0]));
    Require(back.substr(0, count) == data);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the parser and, for telnet, the size of the pieces.
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1)
        CheckName(rest);
    else
        CheckTelnet(std::min<size_t>((data[0] >> 1) + 1u, 256), rest);
    return 0;
}
