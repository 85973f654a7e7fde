#pragma once

#include "comm/serial/HostResolver.h"

#include <chrono>
#include <cstdint>
#include <string>

// Opens a TCP connection before a deadline, trying each address of the host
// in turn, and says what failed: the name, a refusal, no route, no answer.
class TcpConnector {
public:
    using Deadline = HostResolver::Deadline;

    struct Connection {
        int fd = -1;        // non-blocking, TCP_NODELAY; -1 when none
        std::string peer;   // numeric address and port: "192.0.2.7:3003", "[::1]:3003"
    };

    static Connection Connect(const std::string& host, uint16_t port, Deadline deadline, std::string* problem);

private:
    static int ConnectTo(const addrinfo& address, Deadline deadline, int* error);
    static int AwaitConnection(int fd, Deadline deadline);
    static std::string Peer(const addrinfo& address);
    static std::string Problem(const std::string& host, uint16_t port, int error, Deadline start, Deadline deadline);
};
