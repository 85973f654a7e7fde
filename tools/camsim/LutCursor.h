#pragma once

#include <array>
#include <chrono>
#include <functional>

namespace camsim {

// Which entry of each look-up table the next "LUTR=v" stores or the next
// "LUTR?" answers. The tool sends and reads a table as 512 commands without an
// index, so the camera counts: entry 0 after entry 511, after a pause of more
// than a second on that channel, and when another command came in between.
class LutCursor {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::milliseconds kRestartPause{1000};

    LutCursor();

    // The entry this command takes; the channel's counter then moves on.
    int Take(int channel, int tableSize, bool continuing);
    void SetClock(Clock clock) { m_clock = std::move(clock); }

private:
    Clock m_clock;
    std::array<int, 3> m_next{};
    std::array<std::chrono::steady_clock::time_point, 3> m_lastUse{};
};

}  // namespace camsim
