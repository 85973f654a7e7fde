#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Collects received bytes into lines. Short-ASCII replies end with LF (the
// camera sends CR LF); register-base replies end with CR. A line that grows to
// the capacity without its end is dropped whole, up to its end, and reported once.
class LineAssembler {
public:
    static constexpr size_t kCapacity = 1024;

    enum class Ending { LineFeed, CarriageReturn };
    enum class Event { Pending, Line, Overflow };

    Event Push(uint8_t byte, Ending ending);
    // The line completed by the last Line event, without its end.
    std::string TakeLine() { return std::move(m_completed); }
    // Drops the partial line.
    void Reset();
    size_t PartialLength() const { return m_length; }
    std::string Partial() const { return std::string(reinterpret_cast<const char*>(m_line.data()), m_length); }

private:
    Event Append(uint8_t byte);
    Event Complete(bool dropTrailingCr);

    std::array<uint8_t, kCapacity> m_line{};
    size_t m_length = 0;
    bool m_skipping = false;   // inside an overflowed line
    std::string m_completed;
};
