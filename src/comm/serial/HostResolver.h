#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <netdb.h>
#include <string>

// Turns a host into addresses before a deadline. The name service call has
// no limit of its own, so a name (not an address) is looked up on a thread
// of its own, which is left to finish alone when the deadline passes first.
class HostResolver {
public:
    using Addresses = std::unique_ptr<addrinfo, void (*)(addrinfo*)>;
    using Deadline = std::chrono::steady_clock::time_point;

    // Empty, with what failed in *problem, when the host has no address.
    static Addresses Resolve(const std::string& host, uint16_t port, Deadline deadline, std::string* problem);

private:
    static Addresses LookUpAddress(const std::string& host, const std::string& service);
    static Addresses LookUpName(const std::string& host, const std::string& service, Deadline deadline,
                                std::string* problem);
};
