// The engine's line readers assemble replies from whatever bytes arrive.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "comm/LineAssembler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LineAssembler assembler;
    for (size_t i = 0; i < size; ++i) {
        // The low bit of every 64th byte switches the reader, as a change of command format would.
        const auto ending = (data[i / 64 * 64] & 1) ? LineAssembler::Ending::CarriageReturn
                                                    : LineAssembler::Ending::LineFeed;
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
