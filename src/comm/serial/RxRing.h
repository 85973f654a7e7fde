#pragma once

#include <array>
#include <atomic>
#include <cstdint>

// The 1024-byte receive ring between the watcher thread (the only producer)
// and the engine's thread (the only consumer). No lock: each side advances
// only its own index and reads the other's with acquire ordering, and a byte
// is stored before the release of the index that covers it.
// Empty when the indices are equal, so it holds at most 1023 unread bytes.
class RxRing {
public:
    static constexpr int kSize = 1024;
    static constexpr int kCapacity = kSize - 1;

    // Either side.
    int Available() const;
    int Free() const;
    bool Full() const;

    // Producer: stores at most Free() bytes, never overwriting unread ones.
    int Push(const uint8_t* bytes, int count);
    // Consumer: maximum <= 0 takes every unread byte.
    int Pop(uint8_t* destination, int maximum);

    // Only while neither side is running.
    void Reset();

private:
    static int Advance(int index, int steps) { return (index + steps) % kSize; }

    // Storage
    std::array<uint8_t, kSize> m_bytes{};

    // Indices (0..1023)
    std::atomic<int> m_readIndex{0};   // next byte to hand out; advanced by the consumer only
    std::atomic<int> m_writeIndex{0};  // next free slot; advanced by the producer only
};
