// Camera settings files: saving the values the pages hold, applying a file,
// comparing the camera with one.
#include "session/CameraSession.h"

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandFormat.h"
#include "comm/CommandTable.h"
#include "comm/StopRequest.h"
#include "files/SettingsComparison.h"
#include "files/SettingsFile.h"
#include "files/SettingsInput.h"
#include "session/Operation.h"
#include "session/SessionHost.h"
#include "session/SessionTexts.h"
#include "session/SettingsLoadReport.h"

namespace {

// Each line goes to the camera without error boxes. Only a line the camera
// acknowledged enters the value store, so the control of a refused or unsent
// line keeps its committed value; after a stop, a Cancel or a hang-up nothing
// more is sent.
class SessionSettingsSink : public SettingsSink {
public:
    SessionSettingsSink(CameraSession& session, CRsCmd& engine, SessionHost& host, int timeoutMs)
        : m_session(session), m_engine(engine), m_host(host), m_timeoutMs(timeoutMs)
    {
    }
    void Progress(int position) override { m_host.SetProgress(position); }
    void Apply(const SettingsLine& line) override
    {
        ++report.lines;
        accepted = false;
        if (m_engine.Interrupted())
            return;
        ++report.sent;
        m_engine.quietMode = 1;
        accepted = m_engine.SetInt(line.commandIndex, 0, line.value, m_timeoutMs) != 0;
        m_engine.quietMode = 0;
        if (accepted)
            m_session.SetParam(line.ctrlId, line.value);
        else
            ++report.notAcknowledged;
    }
    bool accepted = false;   // the last line
    SettingsLoadReport report;

private:
    CameraSession& m_session;
    CRsCmd& m_engine;
    SessionHost& m_host;
    int m_timeoutMs;
};

}  // namespace

void CameraSession::ShowCannotOpen(const std::string& path)
{
    m_host.ShowMessage(path + SessionTexts::kCannotOpen, SessionTexts::kFileError, EngineHost::Icon::Exclamation);
}

// A failed write leaves any old file as it was and is never announced as saved.
bool CameraSession::WriteSettingFile(const std::string& path)
{
    if (!SettingsFile::Write(path, m_settings.IsFactory(), [this](int ctrlId) { return GetParam(ctrlId); })) {
        ShowCannotOpen(path);
        return false;
    }
    if (m_settings.offline == 0)
        ShowMessage(SessionTexts::kSaveComplete, false);
    return true;
}

// The lines sent are those kavro-cli's apply-settings sends (SettingsInput).
// The progress window appears once the file is read.
bool CameraSession::ApplySettingFile(const std::string& path)
{
    if (!m_engine)
        return false;
    Operation operation;
    SettingsInput input;
    if (!input.Read(path, CommandFormat(m_settings), m_settings.IsFactory())) {
        ShowCannotOpen(path);
        return false;
    }
    m_host.ShowProgress(SessionTexts::kApplying);
    SessionSettingsSink sink(*this, *m_engine, m_host, m_limits.commandMs);
    input.Apply(sink);
    sink.report.skipped = static_cast<int>(input.Skipped().size());
    FinishApplying();
    ReportLoad(sink.report);
    return true;
}

std::vector<bool> CameraSession::ApplySettingLines(const std::vector<SettingsLine>& lines)
{
    std::vector<bool> accepted;
    if (!m_engine)
        return std::vector<bool>(lines.size(), false);
    Operation operation;
    m_host.ShowProgress(SessionTexts::kApplying);
    SessionSettingsSink sink(*this, *m_engine, m_host, m_limits.commandMs);
    for (size_t i = 0; i < lines.size(); ++i) {
        sink.Progress(static_cast<int>(i * 100 / lines.size()));
        sink.Apply(lines[i]);
        accepted.push_back(sink.accepted);
    }
    FinishApplying();
    ReportLoad(sink.report);
    return accepted;
}

// The pages show what was sent, it counts as committed, and the disable rules follow.
void CameraSession::FinishApplying()
{
    RefreshAllCtrls();
    CommitParams();
    m_host.SetProgress(100);
    m_host.ActivateMainWindow(false);
    m_host.CloseProgress();
    m_host.UpdateEnables(0, 0);
}

// Said while the operation still runs, so that the box is the operation's own.
void CameraSession::ReportLoad(SettingsLoadReport report)
{
    if (StopRequest::Raised())
        return;   // the tool is closing
    if (StopRequest::CancelRaised())
        report.end = SettingsLoadReport::End::Cancelled;
    else if (LineLost())
        report.end = SettingsLoadReport::End::LineLost;
    const std::string text = report.Text();
    if (!text.empty())
        ShowMessage(text, report.IsWarning());
}

// Queries the camera for each usable line of the file, one box naming the
// line that failed rather than one box per failure.
bool CameraSession::CompareWithFile(const std::string& path, SettingsComparison& comparison)
{
    if (!m_engine)
        return false;
    bool complete = false;
    {
        Operation operation;
        SettingsInput input;
        if (!input.Read(path, CommandFormat(m_settings), m_settings.IsFactory())) {
            ShowCannotOpen(path);
            return false;
        }
        comparison.Load(input);
        m_host.ShowProgress(SessionTexts::kComparing);
        auto query = [this](int commandIndex, int& value) {
            m_engine->quietMode = 1;
            const bool answered = m_engine->GetInt(commandIndex, 0, value, m_limits.commandMs) != 0;
            m_engine->quietMode = 0;
            return answered;
        };
        auto progress = [this](size_t done, size_t total) { m_host.SetProgress(static_cast<int>(done * 100 / total)); };
        complete = comparison.ReadCamera(query, progress);
        const size_t read = complete ? comparison.Lines().size() : comparison.FailedLine();
        for (size_t i = 0; i < read; ++i)
            SetParam(comparison.Lines()[i].ctrlId, comparison.CameraValue(i));
        FinishApplying();
        if (!complete &&
            ReportCancel(SessionTexts::Filled(SessionTexts::kCompareCancelled, static_cast<long long>(read),
                                              static_cast<long long>(comparison.Lines().size()))))
            return false;
    }
    if (complete)
        return true;
    const int failed = comparison.Lines()[comparison.FailedLine()].commandIndex;
    ShowMessage(SessionTexts::Filled(SessionTexts::kCompareNoAnswer, CommandTable::Row(failed).mnemonic), true);
    return false;
}
