#include "cli/CliSettings.h"

#include <unistd.h>

#include <iostream>

#include "settings/AppSettings.h"
#include "cli/CameraSilence.h"
#include "cli/CliCommandLine.h"
#include "cli/CliOutput.h"
#include "cli/StandardOutput.h"
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

std::string Plural(long long count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// A line as the file holds it.
std::string FileText(const SettingsLine& line)
{
    return std::string(CommandTable::Row(line.commandIndex).mnemonic) + "=" + std::to_string(line.value);
}

// Sends each line as the window would and counts the lines the camera
// refused; once the run ends (a dead camera, a stop) the rest is only counted.
class CliSettingsSink : public SettingsSink {
public:
    CliSettingsSink(CRsCmd& engine, const CliCommandLine& options, bool showProgress)
        : m_engine(engine), m_timeoutMs(options.timeoutMs), m_silence(engine, options.keepGoing),
          m_showProgress(showProgress)
    {
    }
    void Progress(int position) override
    {
        if (m_showProgress && !ended)
            std::cerr << "\rapplying settings " << position << " %" << std::flush;
    }
    void Apply(const SettingsLine& line) override
    {
        if (ended) {
            ++notSent;
            return;
        }
        const int result = m_engine.SetInt(line.commandIndex, 0, line.value, m_timeoutMs);
        failures += result ? 0 : 1;
        ended = m_silence.EndsRun(result, m_timeoutMs);
        if (m_silence.UnansweredInARow() == 1)
            firstUnanswered = line;
        last = line;
    }
    bool CameraStoppedAnswering() const { return m_silence.UnansweredInARow() >= CameraSilence::kUnansweredInARow; }

    int failures = 0;
    bool ended = false;
    long long notSent = 0;
    SettingsLine firstUnanswered;   // of the run of silence that ended the run
    SettingsLine last;              // the last line sent

private:
    CRsCmd& m_engine;
    int m_timeoutMs;
    CameraSilence m_silence;
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
int CliSettings::ReadSettings()
{
    const bool factory = m_options.factory;
    ParamStore camera;
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    long long total = 0;
    for (int row = 0; row < CtrlTbl::Count(); ++row)
        total += IsReadable(rows[row], factory) ? 1 : 0;
    long long done = 0;
    for (int row = 0; row < CtrlTbl::Count(); ++row) {
        if (!IsReadable(rows[row], factory))
            continue;
        const int commandIndex = rows[row].commandIndex;
        int value = 0;
        if (!m_engine.GetInt(commandIndex, 0, value, m_options.timeoutMs)) {
            std::cerr << "\nkavro-cli: " << QueryFailure(commandIndex) << "; nothing written" << std::endl;
            return 1;
        }
        camera.SetParam(rows[row].ctrlId, value);
        ShowProgress("reading settings", ++done, total);
    }
    // Cur gives 0 for a control that sets no command.
    auto valueOf = [&camera](int ctrlId) { return camera.Cur(ParamStore::CommandOf(ctrlId)); };
    return CliOutput::Write(m_options.text, SettingsFile::Compose(factory, valueOf)) ? 0 : 1;
}

// Sends what the window would send for the same file at the same level; a
// refused line does not stop the rest, a camera that stopped answering does.
// Success means every line of the file reached the camera: a skipped or
// refused line, or a file with nothing to apply, exits 1.
int CliSettings::ApplySettings(const SettingsInput& input)
{
    const bool showProgress = isatty(STDERR_FILENO);
    CliSettingsSink sink(m_engine, m_options, showProgress);
    input.Apply(sink);
    if (showProgress)
        std::cerr << (sink.ended ? "\n" : "\rapplying settings 100 %\n") << std::flush;
    const std::string notSent = Plural(sink.notSent, "line", "lines") + " not sent";
    if (sink.ended && sink.CameraStoppedAnswering())
        std::cerr << "kavro-cli: the camera stopped answering at line " << sink.firstUnanswered.lineNumber << " ("
                  << FileText(sink.firstUnanswered) << "); " << notSent << std::endl;
    else if (sink.ended)
        std::cerr << "kavro-cli: sending stopped at line " << sink.last.lineNumber << " (" << FileText(sink.last)
                  << "); " << notSent << std::endl;
    else if (sink.failures > 0)
        std::cerr << "kavro-cli: the camera refused or did not answer " << sink.failures << " line(s)" << std::endl;
    return sink.failures > 0 || sink.ended || !input.Skipped().empty() ? 1 : 0;
}

// Every line applying would send is queried, in file order; values are
// printed as the pages show them. Differences exit 3; without any, a line
// that could not be compared exits 1, since the camera may differ there.
int CliSettings::Diff(const SettingsInput& input)
{
    SettingsComparison comparison;
    comparison.Load(input);
    auto query = [this](int commandIndex, int& value) {
        return m_engine.GetInt(commandIndex, 0, value, m_options.timeoutMs) != 0;
    };
    auto progress = [this](size_t done, size_t total) {
        ShowProgress("reading camera", static_cast<long long>(done), static_cast<long long>(total));
    };
    if (!comparison.ReadCamera(query, progress)) {
        const int commandIndex = comparison.Lines()[comparison.FailedLine()].commandIndex;
        std::cerr << "\nkavro-cli: " << QueryFailure(commandIndex) << "; no verdict" << std::endl;
        return 1;
    }
    std::string differences;
    for (size_t i = 0; i < comparison.Lines().size(); ++i)
        if (comparison.Differs(i))
            differences += comparison.DifferenceText(i) + "\n";
    StandardOutput::Print(differences);
    if (comparison.DifferenceCount() > 0)
        return kExitDiffers;
    return input.Skipped().empty() ? 0 : 1;
}

// A query that failed: silence with its limit, or an answer that was none
// (the engine has shown that answer).
std::string CliSettings::QueryFailure(int commandIndex) const
{
    const std::string query = m_engine.FormatQuery(commandIndex, 0, 0);
    return m_engine.LastWaitUnanswered() ? CameraSilence::NoAnswerText(query, m_options.timeoutMs)
                                         : "no valid answer to " + query;
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

int CliSettings::StoreArea()
{
    const int timeoutMs = m_options.TimeLimit(SettingAreas::kStoreTimeoutMs);
    if (!SettingAreas::IsArea(m_options.area))
        return StoreAllAreas(timeoutMs);
    if (SettingAreas::Store(m_engine, m_options.area, timeoutMs))
        return 0;
    CameraSilence::ReportUnanswered(m_engine, timeoutMs);
    return 1;
}

// A refusal does not stop the other areas; a camera that stopped answering does.
int CliSettings::StoreAllAreas(int timeoutMs)
{
    CameraSilence silence(m_engine, m_options.keepGoing);
    std::string firstUnanswered;
    int done = 0;
    bool ended = false;
    const SettingAreas::StoreAllResult result =
        SettingAreas::StoreAll(m_engine, timeoutMs, [&](int, int stored) {
            ShowProgress("storing areas", ++done, SettingAreas::kCount);
            ended = silence.EndsRun(stored, timeoutMs);
            if (silence.UnansweredInARow() == 1)
                firstUnanswered = m_engine.LastSentLine();
            return !ended;
        });
    if (ended && silence.UnansweredInARow() >= CameraSilence::kUnansweredInARow)
        std::cerr << "kavro-cli: the camera stopped answering at " << firstUnanswered << "; "
                  << Plural(SettingAreas::kCount - done, "area", "areas") << " not stored" << std::endl;
    return ended || result.stored != SettingAreas::kCount ? 1 : 0;
}

int CliSettings::LoadArea()
{
    const int timeoutMs = m_options.TimeLimit(SettingAreas::kLoadTimeoutMs);
    if (SettingAreas::Load(m_engine, m_options.area, timeoutMs))
        return 0;
    CameraSilence::ReportUnanswered(m_engine, timeoutMs);
    return 1;
}
