// Every piece of a settings file goes through SettingsFile::ParseLine; what it
// lets through must be a bound value setting within its control's range.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/AppSettings.h"
#include "comm/CommandFormat.h"
#include "files/SettingsFile.h"
#include "files/SettingsFileReader.h"
#include "params/CtrlTbl.h"

namespace {

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

void CheckAccepted(const SettingsLine& line, bool factory)
{
    Check(line.commandIndex >= 0 && line.commandIndex < CommandTable::kCount);
    const int row = CtrlTbl::FindByCommand(line.commandIndex);
    Check(row >= 0);
    const CtrlTblEntry& entry = CtrlTbl::Rows()[row];
    Check(entry.ctrlId == line.ctrlId && entry.ctrlId != 0);
    Check(entry.kind != CtrlKindNone && entry.kind != CtrlKindButton);
    Check(factory || entry.access != AccessFactory);
    if (entry.kind == CtrlKindEdit)
        Check(line.value >= entry.min && line.value <= entry.max);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static AppSettings settings;
    static CommandFormat format(settings);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // Pieces as the reader cuts them: at most 255 bytes, or through a line end.
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end + 1;
        end = std::min(end, start + SettingsFileReader::kPieceLength);
        const std::string piece = bytes.substr(start, end - start);
        for (bool factory : {false, true}) {
            SettingsLine line;
            if (SettingsFile::ParseLine(format, piece, factory, line))
                CheckAccepted(line, factory);
        }
        start = end;
    }
    return 0;
}
