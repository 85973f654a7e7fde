#include "comm/serial/TcpConnector.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int MillisecondsUntil(TcpConnector::Deadline deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

}  // namespace

TcpConnector::Connection TcpConnector::Connect(const std::string& host, uint16_t port, Deadline deadline,
                                               std::string* problem)
{
    const Deadline start = std::chrono::steady_clock::now();
    const HostResolver::Addresses addresses = HostResolver::Resolve(host, port, deadline, problem);
    if (!addresses)
        return {};
    int error = 0;
    for (const addrinfo* address = addresses.get(); address != nullptr; address = address->ai_next) {
        const int fd = ConnectTo(*address, deadline, &error);
        if (fd >= 0)
            return {fd, Peer(*address)};
        if (error == ETIMEDOUT)
            break;   // the time is up for the other addresses too
    }
    *problem = Problem(host, port, error, start, deadline);
    return {};
}

int TcpConnector::ConnectTo(const addrinfo& address, Deadline deadline, int* error)
{
    const int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    int result;
    while ((result = connect(fd, address.ai_addr, address.ai_addrlen)) != 0 && errno == EINTR) {
    }
    *error = result == 0 ? 0 : errno == EINPROGRESS ? AwaitConnection(fd, deadline) : errno;
    if (*error != 0) {
        close(fd);
        return -1;
    }
    // Each byte goes out as it is written, as on a serial line.
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

// 0 once connected, else the reason (ETIMEDOUT at the deadline).
int TcpConnector::AwaitConnection(int fd, Deadline deadline)
{
    for (;;) {
        pollfd connection{fd, POLLOUT, 0};
        const int ready = poll(&connection, 1, MillisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return errno;
        if (ready == 0)
            return ETIMEDOUT;
        int error = 0;
        socklen_t size = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            return errno;
        return error;
    }
}

std::string TcpConnector::Peer(const addrinfo& address)
{
    char host[NI_MAXHOST] = {};
    char service[NI_MAXSERV] = {};
    if (getnameinfo(address.ai_addr, address.ai_addrlen, host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return "";
    const bool ipv6 = address.ai_family == AF_INET6;
    return (ipv6 ? "[" : "") + std::string(host) + (ipv6 ? "]:" : ":") + service;
}

std::string TcpConnector::Problem(const std::string& host, uint16_t port, int error, Deadline start,
                                  Deadline deadline)
{
    const std::string where = host + " port " + std::to_string(port);
    switch (error) {
    case ECONNREFUSED:
        return "connection refused: nothing listens at " + where;
    case ENETUNREACH:
    case EHOSTUNREACH:
        return "no route to " + host + " (" + std::strerror(error) + ")";
    case ETIMEDOUT: {
        const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - start).count();
        return "no answer from " + where + " within " + std::to_string((limit + 999) / 1000) + " s (timed out)";
    }
    default:
        return "connect to " + where + ": " + std::strerror(error);
    }
}
