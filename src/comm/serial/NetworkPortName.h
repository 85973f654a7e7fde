#pragma once

#include <cstdint>
#include <string>

// A serial port on another machine, served by ser2net or a device like it:
//   tcp:HOST:PORT      the bytes as they are; the far side keeps its own speed
//   rfc2217:HOST:PORT  telnet with the COM-port option, which sets the far
//                      line's speed, byte size, parity and stop bits
// HOST is a name, an IPv4 address, or an IPv6 address in brackets
// ("tcp:[::1]:3003"); PORT is 1..65535.
class NetworkPortName {
public:
    enum class Protocol { Raw, Rfc2217 };

    // True when the text begins with "tcp:" or "rfc2217:", valid or not:
    // such a text is never taken for a device path.
    static bool HasPrefix(const std::string& text);
    // False, with what is wrong in `problem`, when the text is not a valid name.
    static bool Parse(const std::string& text, NetworkPortName* name, std::string* problem);

    Protocol protocol = Protocol::Raw;
    std::string host;    // without brackets
    uint16_t port = 0;

private:
    static bool ParseHost(const std::string& text, std::string* host, std::string* problem);
    static bool ParsePort(const std::string& text, uint16_t* port, std::string* problem);
};
