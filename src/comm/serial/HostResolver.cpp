#include "comm/serial/HostResolver.h"

#include "comm/serial/SignalHold.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace {

void FreeAddresses(addrinfo* list)
{
    if (list != nullptr)
        freeaddrinfo(list);
}

addrinfo StreamHints(int flags)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags | AI_NUMERICSERV;
    return hints;
}

// A lookup shared by the thread that runs it and the caller that may stop
// waiting for it; whichever lets go last frees the result.
struct Lookup {
    ~Lookup() { FreeAddresses(result); }

    std::mutex mutex;                // Protects the fields below
    std::condition_variable finished;
    bool done = false;
    int status = 0;
    addrinfo* result = nullptr;
};

std::string Seconds(HostResolver::Deadline from, HostResolver::Deadline deadline)
{
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - from).count();
    return std::to_string((limit + 999) / 1000) + " s";
}

}  // namespace

HostResolver::Addresses HostResolver::Resolve(const std::string& host, uint16_t port, Deadline deadline,
                                              std::string* problem)
{
    const std::string service = std::to_string(port);
    Addresses addresses = LookUpAddress(host, service);
    return addresses ? std::move(addresses) : LookUpName(host, service, deadline, problem);
}

// An address needs no name service and never waits.
HostResolver::Addresses HostResolver::LookUpAddress(const std::string& host, const std::string& service)
{
    const addrinfo hints = StreamHints(AI_NUMERICHOST);
    addrinfo* result = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &result) != 0)
        result = nullptr;
    return Addresses(result, FreeAddresses);
}

HostResolver::Addresses HostResolver::LookUpName(const std::string& host, const std::string& service,
                                                 Deadline deadline, std::string* problem)
{
    const Deadline start = std::chrono::steady_clock::now();
    auto lookup = std::make_shared<Lookup>();
    try {
        const SignalHold forGood;   // the lookup, which may outlive the connection, inherits it
        std::thread([lookup, host, service] {
            const addrinfo hints = StreamHints(0);
            addrinfo* result = nullptr;
            const int status = getaddrinfo(host.c_str(), service.c_str(), &hints, &result);
            std::lock_guard<std::mutex> hold(lookup->mutex);
            lookup->status = status;
            lookup->result = result;
            lookup->done = true;
            lookup->finished.notify_all();
        }).detach();
    } catch (const std::system_error& error) {
        *problem = std::string("the name ") + host + " could not be looked up: " + error.what();
        return Addresses(nullptr, FreeAddresses);
    }
    std::unique_lock<std::mutex> hold(lookup->mutex);
    if (!lookup->finished.wait_until(hold, deadline, [&] { return lookup->done; })) {
        *problem = "the name " + host + " was not resolved within " + Seconds(start, deadline);
        return Addresses(nullptr, FreeAddresses);
    }
    if (lookup->status != 0) {
        *problem = "the name " + host + " was not resolved (" + gai_strerror(lookup->status) + ")";
        return Addresses(nullptr, FreeAddresses);
    }
    return Addresses(std::exchange(lookup->result, nullptr), FreeAddresses);
}
