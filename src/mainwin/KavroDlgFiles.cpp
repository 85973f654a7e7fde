// Camera settings files: saving the values the pages hold, applying a file.
#include "mainwin/CKavroDlg.h"

#include <QDir>
#include <QFileInfo>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandFormat.h"
#include "comm/StopRequest.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/UiPrompts.h"
#include "files/SettingsFile.h"
#include "files/SettingsInput.h"
#include "mainwin/SettingsLoadReport.h"

namespace {

const char kSettingFilter[] = "Camera setting data (*.cam)";
const char kSettingSuffix[] = "cam";
const char kFileExists[] = "\nThis file already exists.\nReplace existing file?";
const char kCannotOpen[] = "\nCouldn't open this file";
const char kFileError[] = "File Open Error";
const char kSaveComplete[] = "Save Complete";
const char kApplyProgress[] = "Now, reading camera setting file.";

// Each line goes to the camera without error boxes. Only a line the camera
// acknowledged enters the value store, so the control of a refused or unsent
// line keeps its committed value; after a stop, a Cancel or a hang-up nothing
// more is sent.
class WindowSettingsSink : public SettingsSink {
public:
    WindowSettingsSink(CKavroDlg& window, CRsCmd& engine, CProgDlg& progress, int timeoutMs)
        : m_window(window), m_engine(engine), m_progress(progress), m_timeoutMs(timeoutMs)
    {
    }
    void Progress(int position) override { m_progress.SetPos(position); }
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
            m_window.SetParam(line.ctrlId, line.value);
        else
            ++report.notAcknowledged;
    }
    bool accepted = false;   // the last line
    SettingsLoadReport report;

private:
    CKavroDlg& m_window;
    CRsCmd& m_engine;
    CProgDlg& m_progress;
    int m_timeoutMs;
};

QString InitialPath(const std::string& dataPath)
{
    return QString::fromStdString(dataPath) + "/*.cam";
}

// A file confirmed in any of the tool's file dialogs makes its folder the
// working folder, where the next dialog (a gamma file's too) opens; the
// settings-file dialogs also keep it as the data folder.
std::string RememberFolder(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    QDir::setCurrent(folder);
    return folder.toStdString();
}

}  // namespace

void CKavroDlg::OnOpenSettingFile()
{
    const QString path =
        m_prompts.ChooseOpenFile(this, InitialPath(m_settings.dataPath), kSettingFilter, kSettingSuffix);
    if (path.isEmpty())
        return;
    ApplySettingFile(path);
    m_settings.dataPath = RememberFolder(path);
}

void CKavroDlg::OnCompareWithFile()
{
    const QString path =
        m_prompts.ChooseOpenFile(this, InitialPath(m_settings.dataPath), kSettingFilter, kSettingSuffix);
    if (path.isEmpty())
        return;
    CompareWithFile(path);
    m_settings.dataPath = RememberFolder(path);
}

void CKavroDlg::OnSaveSettingFile()
{
    const QString path =
        m_prompts.ChooseSaveFile(this, InitialPath(m_settings.dataPath), kSettingFilter, kSettingSuffix);
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) && !m_prompts.AskYesNo(this, path + kFileExists, EngineHost::kToolCaption))
        return;
    WriteSettingFile(path);
    m_settings.dataPath = RememberFolder(path);
}

// A failed write leaves any old file as it was and is never announced as saved.
bool CKavroDlg::WriteSettingFile(const QString& path)
{
    const bool written = SettingsFile::Write(path.toStdString(), m_settings.IsFactory(),
                                             [this](int ctrlId) { return GetParam(ctrlId); });
    if (!written) {
        m_prompts.Message(this, path + kCannotOpen, kFileError, UiPrompts::Icon::Exclamation);
        return false;
    }
    if (m_settings.offline == 0)
        m_prompts.Message(this, kSaveComplete, EngineHost::kToolCaption, UiPrompts::Icon::Information);
    return true;
}

// The lines sent are those kavro-cli's apply-settings sends (SettingsInput).
// The progress window appears once the file is read.
bool CKavroDlg::ApplySettingFile(const QString& path)
{
    BlockingScope blocking;
    SettingsInput input;
    if (!input.Read(path.toStdString(), CommandFormat(m_settings), m_settings.IsFactory())) {
        m_prompts.Message(this, path + kCannotOpen, kFileError, UiPrompts::Icon::Exclamation);
        return false;
    }
    m_progress->Create(this);
    m_progress->SetMessage(kApplyProgress);
    WindowSettingsSink sink(*this, *m_engine, *m_progress, m_commandTimeoutMs);
    input.Apply(sink);
    sink.report.skipped = static_cast<int>(input.Skipped().size());
    FinishApplying();
    ReportLoad(sink.report);
    return true;
}

// Chosen lines of a file go the same way as the whole file.
std::vector<bool> CKavroDlg::ApplySettingLines(const std::vector<SettingsLine>& lines)
{
    BlockingScope blocking;
    m_progress->Create(this);
    m_progress->SetMessage(kApplyProgress);
    WindowSettingsSink sink(*this, *m_engine, *m_progress, m_commandTimeoutMs);
    std::vector<bool> accepted;
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
void CKavroDlg::FinishApplying()
{
    RefreshAllCtrls();
    CommitParams();
    m_progress->SetPos(100);
    activateWindow();
    m_progress->Destroy();
    UpdateEnables(0, 0);
}

// Said while the operation still runs, so that the box is the operation's own.
void CKavroDlg::ReportLoad(SettingsLoadReport report)
{
    if (StopRequest::Raised())
        return;   // the tool is closing
    if (StopRequest::CancelRaised())
        report.end = SettingsLoadReport::End::Cancelled;
    else if (LineLost())
        report.end = SettingsLoadReport::End::LineLost;
    const QString text = report.Text();
    if (!text.isEmpty())
        m_prompts.Message(this, text, EngineHost::kToolCaption,
                          report.IsWarning() ? UiPrompts::Icon::Exclamation : UiPrompts::Icon::Information);
}
