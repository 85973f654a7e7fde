// Every byte a settings file may hold goes through SettingsInput as the window
// and kavro-cli read it; what it lets through must be a bound value setting
// the level may apply, and whatever it leaves out must say why.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/AppSettings.h"
#include "comm/CommandFormat.h"
#include "files/SettingsInput.h"
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
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static AppSettings settings;
    static CommandFormat format(settings);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (bool factory : {false, true}) {
        SettingsInput input;
        input.Judge(bytes, format, factory);
        long long previous = 0;
        for (const SettingsLine& line : input.Lines()) {
            CheckAccepted(line, factory);
            Check(line.lineNumber > previous && line.lineNumber <= input.LineCount());
            previous = line.lineNumber;
        }
        for (const SkippedLine& skipped : input.Skipped())
            Check(!skipped.reason.empty() && skipped.text.size() <= 255 && skipped.lineNumber <= input.LineCount());
        Check(input.Lines().size() + input.Skipped().size() <= static_cast<size_t>(input.LineCount()));
        Check(input.Lines().empty() != input.NothingUsable().empty());
    }
    return 0;
}
