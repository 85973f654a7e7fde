#include "cli/LutCommands.h"

#include <iostream>

#include "cli/KavroCli.h"
#include "files/GammaFile.h"
#include "files/InputFile.h"
#include "lut/LutPoints.h"
#include "lut/LutTransfer.h"

namespace {

const char* const kChannelNames[] = {"red", "green", "blue"};

}  // namespace

// The file is written only when all three tables were read, and then whole.
int LutCommands::ReadLuts(CRsCmd& engine, const std::string& path)
{
    LutTransfer transfer(engine);
    GammaTables tables;
    int completeTables = 0, entries = 0;
    const auto entryDone = [&](int, int k) { entries = k + 1; };
    const auto tableDone = [&](int) {
        ++completeTables;
        entries = 0;
    };
    if (!transfer.ReadAll(tables, entryDone, tableDone)) {
        std::cerr << "kavro-cli: reading the " << kChannelNames[completeTables] << " table stopped at entry "
                  << entries << "; nothing written" << std::endl;
        return KavroCli::ExitFailed;
    }
    std::string why;
    if (!GammaFile::Write(path, tables, &why)) {
        std::cerr << "kavro-cli: " << why << "; nothing written" << std::endl;
        return KavroCli::ExitFailed;
    }
    return KavroCli::ExitOk;
}

// Entries that the file does not reach are those of the straight line, as in
// an editor that was never changed.
int LutCommands::SendLuts(CRsCmd& engine, const std::string& path)
{
    GammaTables tables;
    tables.fill(LutPoints::StartingTable());
    std::string why;
    const int dataLines = GammaFile::Read(path, tables, &why);
    if (dataLines < 0) {
        std::cerr << "kavro-cli: " << why << std::endl;
        return KavroCli::ExitFailed;
    }
    if (dataLines == 0) {
        std::cerr << "kavro-cli: " << InputFile::NameOf(path) << ": no line of the file holds a number; nothing sent"
                  << std::endl;
        return KavroCli::ExitFailed;
    }
    LutTransfer transfer(engine);
    for (int ch = 0; ch < 3; ++ch) {
        int entries = 0;
        if (!transfer.SendTable(ch, tables[static_cast<size_t>(ch)], [&](int k) { entries = k + 1; })) {
            std::cerr << "kavro-cli: the camera did not acknowledge " << kChannelNames[ch] << " entry " << entries
                      << "; sending stopped" << std::endl;
            return KavroCli::ExitFailed;
        }
    }
    return KavroCli::ExitOk;
}
