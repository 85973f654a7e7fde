#pragma once

#include <chrono>
#include <cstddef>

namespace camsim {

// The time bytes take on one direction of a serial line: ten bits a byte
// (start bit, eight data bits, stop bit) at the line's baud rate. Bytes queue
// behind those put on the line before them, as in a UART's shift register.
class WireClock {
public:
    using Clock = std::chrono::steady_clock;

    // 0: no wire time, every byte has crossed the moment it is put on the line.
    explicit WireClock(int baud = 0);

    bool Keeps() const { return m_byteTime.count() > 0; }
    Clock::duration ByteTime() const { return m_byteTime; }
    // When the last of `count` bytes put on the line at `putAt` has crossed.
    Clock::time_point Cross(size_t count, Clock::time_point putAt);

private:
    Clock::duration m_byteTime{0};
    Clock::time_point m_free{};   // when the line has carried every byte so far
};

}  // namespace camsim
