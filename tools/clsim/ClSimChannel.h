#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace clsim {

// One open serial channel: the tty that reaches the camera, raw 8N1,
// non-blocking, with poll() waiting out the caller's time-outs.
class ClSimChannel {
public:
    // nullptr when the device cannot be opened or configured.
    static std::unique_ptr<ClSimChannel> Open(const std::string& device);
    ~ClSimChannel();
    ClSimChannel(const ClSimChannel&) = delete;
    ClSimChannel& operator=(const ClSimChannel&) = delete;

    // Waits until `size` bytes arrived or the time-out passed. Bytes that
    // arrived are never dropped: a short read succeeds with the shorter size,
    // only a read that got nothing reports the time-out. Returns a Status.
    int32_t Read(char* buffer, uint32_t& size, uint32_t timeoutMs);
    // Writes all `size` bytes within the time-out; `size` becomes the count written.
    int32_t Write(const char* buffer, uint32_t& size, uint32_t timeoutMs);
    // Sets the line speed of one CL_BAUDRATE bit; false for an unknown bit or a tty error.
    bool SetSpeed(uint32_t baudBit);
    int32_t BytesAvailable(uint32_t& count) const;
    bool Flush();

private:
    explicit ClSimChannel(int fd);

    // poll() for `events` until the deadline: StatusOk, StatusTimeout, or
    // StatusIoError when the device hung up or failed.
    int32_t WaitFor(short events, int64_t deadlineMs) const;

    int m_fd;
};

}  // namespace clsim
