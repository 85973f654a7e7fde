// The gamma file reader takes any bytes a file may hold, in any split.
#include <cstdint>
#include <cstdlib>

#include "files/GammaFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses how the rest arrives: the file is read in blocks,
    // and where a block ends must not change what is read.
    const size_t block = 1 + data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const size_t length = size - 1;

    GammaTables whole {};
    GammaFileReader wholeReader(whole);
    wholeReader.Feed(text, length);
    wholeReader.Finish();

    GammaTables split {};
    GammaFileReader splitReader(split);
    for (size_t at = 0; at < length; at += block)
        splitReader.Feed(text + at, length - at < block ? length - at : block);
    splitReader.Finish();

    if (whole != split || wholeReader.DataPieces() != splitReader.DataPieces())
        std::abort();
    for (const LutTable& table : whole)
        for (int32_t value : table)
            if (value < 0 || value > kLutMaxValue)
                std::abort();
    return 0;
}
