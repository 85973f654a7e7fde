#include "camsim/WireClock.h"

#include <algorithm>

namespace camsim {

namespace {

constexpr long long kBitsPerByte = 10;

}  // namespace

WireClock::WireClock(int baud)
{
    using namespace std::chrono;
    if (baud > 0)
        m_byteTime = duration_cast<Clock::duration>(nanoseconds(kBitsPerByte * 1000000000LL / baud));
}

WireClock::Clock::time_point WireClock::Cross(size_t count, Clock::time_point putAt)
{
    m_free = std::max(m_free, putAt) + m_byteTime * static_cast<long long>(count);
    return m_free;
}

}  // namespace camsim
