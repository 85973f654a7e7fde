#include "comm/LineAssembler.h"

LineAssembler::Event LineAssembler::Push(uint8_t byte, Ending ending)
{
    if (ending == Ending::LineFeed)
        return byte == '\n' ? Complete(true) : Append(byte);
    if (byte == '\r')
        return Complete(false);
    // A stray LF after a CR would otherwise open the next line.
    if (byte == '\n' && m_length == 0)
        return Event::Pending;
    return Append(byte);
}

void LineAssembler::Reset()
{
    m_length = 0;
    m_skipping = false;
}

LineAssembler::Event LineAssembler::Append(uint8_t byte)
{
    if (m_skipping)
        return Event::Pending;
    m_line[m_length++] = byte;
    if (m_length < kCapacity)
        return Event::Pending;
    m_length = 0;
    m_skipping = true;
    return Event::Overflow;
}

LineAssembler::Event LineAssembler::Complete(bool dropTrailingCr)
{
    if (m_skipping) {
        Reset();
        return Event::Pending;
    }
    size_t length = m_length;
    if (dropTrailingCr && length > 0 && m_line[length - 1] == '\r')
        --length;
    m_completed.assign(reinterpret_cast<const char*>(m_line.data()), length);
    m_length = 0;
    return Event::Line;
}
