#include "camsim/LutCursor.h"

namespace camsim {

LutCursor::LutCursor() : m_clock([] { return std::chrono::steady_clock::now(); }) {}

int LutCursor::Take(int channel, int tableSize, bool continuing)
{
    const auto now = m_clock();
    int& next = m_next[channel];
    if (!continuing || now - m_lastUse[channel] > kRestartPause || next >= tableSize)
        next = 0;
    m_lastUse[channel] = now;
    const int entry = next;
    next = (next + 1) % tableSize;
    return entry;
}

}  // namespace camsim
