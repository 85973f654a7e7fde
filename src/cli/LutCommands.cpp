#include "cli/LutCommands.h"

#include <iostream>

#include "cli/CameraSilence.h"
#include "cli/CliCommandLine.h"
#include "cli/CliOutput.h"
#include "cli/KavroCli.h"
#include "files/GammaFile.h"
#include "files/InputFile.h"
#include "lut/LutPoints.h"
#include "lut/LutTransfer.h"

namespace {

const char* const kChannelNames[] = {"red", "green", "blue"};

}  // namespace

// The file is written only when all three tables were read, and then whole.
int LutCommands::ReadLuts()
{
    const int timeoutMs = m_options.TimeLimit(LutTransfer::kReadTimeoutMs);
    LutTransfer transfer(m_engine);
    transfer.SetTimeouts(m_options.TimeLimit(LutTransfer::kSendTimeoutMs), timeoutMs);
    GammaTables tables;
    int completeTables = 0, entries = 0;
    const auto entryDone = [&](int, int k) { entries = k + 1; };
    const auto tableDone = [&](int) {
        ++completeTables;
        entries = 0;
    };
    if (!transfer.ReadAll(tables, entryDone, tableDone)) {
        CameraSilence::ReportUnanswered(m_engine, timeoutMs);
        std::cerr << "kavro-cli: reading the " << kChannelNames[completeTables] << " table stopped at entry "
                  << entries << "; nothing written" << std::endl;
        return KavroCli::ExitFailed;
    }
    return CliOutput::Write(m_options.text, GammaFile::Format(tables)) ? KavroCli::ExitOk : KavroCli::ExitFailed;
}

int LutCommands::SendLuts(const GammaTables& tables)
{
    const int timeoutMs = m_options.TimeLimit(LutTransfer::kSendTimeoutMs);
    LutTransfer transfer(m_engine);
    transfer.SetTimeouts(timeoutMs, m_options.TimeLimit(LutTransfer::kReadTimeoutMs));
    for (int ch = 0; ch < 3; ++ch) {
        int entries = 0;
        if (!transfer.SendTable(ch, tables[static_cast<size_t>(ch)], [&](int k) { entries = k + 1; })) {
            CameraSilence::ReportUnanswered(m_engine, timeoutMs);
            std::cerr << "kavro-cli: the camera did not acknowledge " << kChannelNames[ch] << " entry " << entries
                      << "; sending stopped" << std::endl;
            return KavroCli::ExitFailed;
        }
    }
    return KavroCli::ExitOk;
}

bool LutCommands::ReadGammaFile(const std::string& path, GammaTables& tables)
{
    tables.fill(LutPoints::StartingTable());
    std::string why;
    const int dataLines = GammaFile::Read(path, tables, &why);
    if (dataLines < 0)
        std::cerr << "kavro-cli: " << why << std::endl;
    else if (dataLines == 0)
        std::cerr << "kavro-cli: " << InputFile::NameOf(path) << ": no line of the file holds a number; nothing sent"
                  << std::endl;
    return dataLines > 0;
}
