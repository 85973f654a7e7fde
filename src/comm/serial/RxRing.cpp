#include "comm/serial/RxRing.h"

#include <algorithm>

int RxRing::Available() const
{
    const int count = m_writeIndex.load(std::memory_order_acquire)
                      - m_readIndex.load(std::memory_order_acquire);
    return count < 0 ? count + kSize : count;
}

int RxRing::Free() const
{
    return kCapacity - Available();
}

bool RxRing::Full() const
{
    return Available() == kCapacity;
}

int RxRing::Push(const uint8_t* bytes, int count)
{
    const int stored = std::clamp(count, 0, Free());
    int index = m_writeIndex.load(std::memory_order_relaxed);
    for (int i = 0; i < stored; ++i) {
        m_bytes[static_cast<size_t>(index)] = bytes[i];
        index = Advance(index, 1);
    }
    m_writeIndex.store(index, std::memory_order_release);
    return stored;
}

int RxRing::Pop(uint8_t* destination, int maximum)
{
    const int unread = Available();
    const int taken = maximum > 0 ? std::min(maximum, unread) : unread;
    int index = m_readIndex.load(std::memory_order_relaxed);
    for (int i = 0; i < taken; ++i) {
        destination[i] = m_bytes[static_cast<size_t>(index)];
        index = Advance(index, 1);
    }
    m_readIndex.store(index, std::memory_order_release);
    return taken;
}

void RxRing::Reset()
{
    m_readIndex.store(0, std::memory_order_relaxed);
    m_writeIndex.store(0, std::memory_order_relaxed);
}
