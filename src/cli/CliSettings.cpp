#include "cli/CliSettings.h"

#include <unistd.h>

#include <array>
#include <chrono>
#include <iostream>
#include <thread>

#include "settings/AppSettings.h"
#include "cli/TerminalText.h"
#include "comm/CRsCmd.h"
#include "comm/CommandFormat.h"
#include "comm/SettingAreas.h"
#include "files/InputFile.h"
#include "files/SettingsComparison.h"
#include "files/SettingsFile.h"
#include "files/SettingsInput.h"
#include "params/CtrlTbl.h"
#include "params/ParamStore.h"

namespace {

bool IsReadable(const CtrlTblEntry& row, bool factory)
{
    return row.commandIndex != CmdNone && row.ctrlId != 0 && row.access != AccessNever &&
           (row.access == AccessBoth || factory);
}

// Sends each line as the window would and counts the lines the camera refused.
class CliSettingsSink : public SettingsSink {
public:
    CliSettingsSink(CRsCmd& engine, int timeoutMs, bool showProgress)
        : m_engine(engine), m_timeoutMs(timeoutMs), m_showProgress(showProgress)
    {
    }
    void Progress(int position) override
    {
        if (m_showProgress)
            std::cerr << "\rapplying settings " << position << " %" << std::flush;
    }
    void Apply(const SettingsLine& line) override
    {
        if (!m_engine.SetInt(line.commandIndex, 0, line.value, m_timeoutMs))
            ++failures;
    }
    int failures = 0;

private:
    CRsCmd& m_engine;
    int m_timeoutMs;
    bool m_showProgress;
};

}  // namespace

void CliSettings::ShowProgress(const char* what, long long done, long long total)
{
    if (isatty(STDERR_FILENO))
        std::cerr << "\r" << what << " " << done << "/" << total << (done == total ? "\n" : "") << std::flush;
}

// The start-up reading's queries in their order; the file holds the values
// as the pages would show them, so it is the file the window would save.
int CliSettings::ReadSettings(const std::string& path, bool factory)
{
    std::array<int, CommandTable::kCount> values{};
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    long long total = 0;
    for (int row = 0; row < CtrlTbl::Count(); ++row)
        total += IsReadable(rows[row], factory) ? 1 : 0;
    long long done = 0;
    for (int row = 0; row < CtrlTbl::Count(); ++row) {
        if (!IsReadable(rows[row], factory))
            continue;
        const int commandIndex = rows[row].commandIndex;
        if (!m_engine.GetInt(commandIndex, 0, values.at(static_cast<size_t>(commandIndex)), m_timeoutMs)) {
            std::cerr << "\nkavro-cli: no valid answer to " << m_engine.FormatQuery(commandIndex, 0, 0)
                      << "; nothing written" << std::endl;
            return 1;
        }
        ShowProgress("reading settings", ++done, total);
    }
    auto valueOf = [&values](int ctrlId) {
        const int command = ParamStore::CommandOf(ctrlId);   // -1 or kNoCommand when nothing was read for it
        return command >= 0 && command < CommandTable::kCount ? values[static_cast<size_t>(command)] : 0;
    };
    std::string why;
    if (!SettingsFile::Write(path, factory, valueOf, &why)) {
        std::cerr << "kavro-cli: " << why << "; nothing written" << std::endl;
        return 1;
    }
    return 0;
}

// Sends what the window would send for the same file at the same level; a
// refused line does not stop the rest. Success means every line of the file
// reached the camera: a skipped or refused line, or a file with nothing to
// apply, exits 1.
int CliSettings::ApplySettings(const SettingsInput& input)
{
    const bool showProgress = isatty(STDERR_FILENO);
    CliSettingsSink sink(m_engine, m_timeoutMs, showProgress);
    input.Apply(sink);
    if (showProgress)
        std::cerr << "\rapplying settings 100 %" << std::endl;
    if (sink.failures > 0)
        std::cerr << "kavro-cli: the camera refused or did not answer " << sink.failures << " line(s)" << std::endl;
    return sink.failures > 0 || !input.Skipped().empty() ? 1 : 0;
}

// Every line applying would send is queried, in file order; values are
// printed as the pages show them. Differences exit 3; without any, a line
// that could not be compared exits 1, since the camera may differ there.
int CliSettings::Diff(const SettingsInput& input)
{
    SettingsComparison comparison;
    comparison.Load(input);
    auto query = [this](int commandIndex, int& value) { return m_engine.GetInt(commandIndex, 0, value, m_timeoutMs) != 0; };
    auto progress = [this](size_t done, size_t total) {
        ShowProgress("reading camera", static_cast<long long>(done), static_cast<long long>(total));
    };
    if (!comparison.ReadCamera(query, progress)) {
        const int commandIndex = comparison.Lines()[comparison.FailedLine()].line.commandIndex;
        std::cerr << "\nkavro-cli: no valid answer to " << m_engine.FormatQuery(commandIndex, 0, 0) << std::endl;
        return 1;
    }
    for (const ComparedLine& line : comparison.Lines())
        if (line.Differs())
            std::cout << SettingsComparison::DifferenceText(line) << "\n";
    std::cout << std::flush;
    if (comparison.DifferenceCount() > 0)
        return kExitDiffers;
    return input.Skipped().empty() ? 0 : 1;
}

// Reads and judges the file, naming every line it skips; false (after saying
// why) when nothing of it can be applied.
bool CliSettings::ReadSettingsFile(const std::string& path, bool factory, SettingsInput& input)
{
    const AppSettings settings;
    if (!input.Read(path, CommandFormat(settings), factory)) {
        std::cerr << "kavro-cli: " << input.Error() << std::endl;
        return false;
    }
    size_t shown = 0;
    for (const SkippedLine& skipped : input.Skipped()) {
        if (++shown > kSkippedLinesShown) {
            std::cerr << "kavro-cli: and " << input.Skipped().size() - kSkippedLinesShown << " more skipped line(s)"
                      << std::endl;
            break;
        }
        std::cerr << "kavro-cli: skipped line " << skipped.lineNumber << ": " << TerminalText::Escaped(skipped.text)
                  << " (" << skipped.reason << ")" << std::endl;
    }
    if (!input.NothingUsable().empty()) {
        std::cerr << "kavro-cli: " << InputFile::NameOf(path) << ": " << input.NothingUsable() << "; nothing done"
                  << std::endl;
        return false;
    }
    return true;
}

int CliSettings::StoreArea(int area)
{
    if (SettingAreas::IsArea(area))
        return SettingAreas::Store(m_engine, area) ? 0 : 1;
    int failures = 0;
    int done = 0;
    for (int number : SettingAreas::kStoreAllOrder) {
        std::this_thread::sleep_for(std::chrono::milliseconds(SettingAreas::kPauseMs));
        failures += SettingAreas::Store(m_engine, number) ? 0 : 1;
        ShowProgress("storing areas", ++done, SettingAreas::kCount);
    }
    return failures > 0 ? 1 : 0;
}

int CliSettings::LoadArea(int area)
{
    return SettingAreas::Load(m_engine, area) ? 0 : 1;
}
