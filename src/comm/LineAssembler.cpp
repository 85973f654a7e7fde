#include "comm/LineAssembler.h"

LineAssembler::Event LineAssembler::Push(uint8_t byte, Ending ending)
{
    if (ending == Ending::LineFeed)
        return byte == '\n' ? Complete(true) : Append(byte);
    if (byte == '\r')
        return Complete(false);
    // A stray LF after a CR would otherwise open the next line.
    if (byte == '\n' && length_ == 0)
        return Event::Pending;
    return Append(byte);
}

void LineAssembler::Reset()
{
    length_ = 0;
    skipping_ = false;
}

LineAssembler::Event LineAssembler::Append(uint8_t byte)
{
    if (skipping_)
        return Event::Pending;
    line_[length_++] = byte;
    if (length_ < kCapacity)
        return Event::Pending;
    length_ = 0;
    skipping_ = true;
    return Event::Overflow;
}

LineAssembler::Event LineAssembler::Complete(bool dropTrailingCr)
{
    if (skipping_) {
        Reset();
        return Event::Pending;
    }
    size_t length = length_;
    if (dropTrailingCr && length > 0 && line_[length - 1] == '\r')
        --length;
    completed_.assign(reinterpret_cast<const char*>(line_.data()), length);
    length_ = 0;
    return Event::Line;
}
