// The engine's line readers assemble replies from whatever bytes arrive.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "comm/LineAssembler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the reader: short-ASCII (LF) or register-base (CR) lines.
    const auto ending = (data[0] & 1) ? LineAssembler::Ending::CarriageReturn : LineAssembler::Ending::LineFeed;
    LineAssembler assembler;
    for (size_t i = 1; i < size; ++i) {
        if (assembler.Push(data[i], ending) != LineAssembler::Event::Line)
            continue;
        const std::string line = assembler.TakeLine();
        if (line.size() >= LineAssembler::kCapacity)
            std::abort();
        if (ending == LineAssembler::Ending::LineFeed && line.find('\n') != std::string::npos)
            std::abort();
        if (ending == LineAssembler::Ending::CarriageReturn && line.find('\r') != std::string::npos)
            std::abort();
    }
    if (assembler.PartialLength() >= LineAssembler::kCapacity)
        std::abort();
    return 0;
}
