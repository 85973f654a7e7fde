// Camera settings files: saving the values the pages hold, applying a file.
#include "mainwin/CKavroDlg.h"

#include <QDir>
#include <QFileInfo>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandFormat.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/UiPrompts.h"
#include "files/SettingsFile.h"
#include "files/SettingsInput.h"

namespace {

const char kSettingFilter[] = "Camera setting data (*.cam)";
const char kSettingSuffix[] = "cam";
const char kFileExists[] = "\nThis file already exists.\nReplace existing file?";
const char kCannotOpen[] = "\nCouldn't open this file";
const char kFileError[] = "File Open Error";
const char kSaveComplete[] = "Save Complete";
const char kApplyProgress[] = "Now, reading camera setting file.";

// Each line goes to the camera without error boxes, then into the value store
// as the file holds it; a refused line neither stops the load nor is reported.
class WindowSettingsSink : public SettingsSink {
public:
    WindowSettingsSink(CKavroDlg& window, CRsCmd& engine, CProgDlg& progress, int timeoutMs)
        : m_window(window), m_engine(engine), m_progress(progress), m_timeoutMs(timeoutMs)
    {
    }
    void Progress(int position) override { m_progress.SetPos(position); }
    void Apply(const SettingsLine& line) override
    {
        m_engine.quietMode = 1;
        accepted = m_engine.SetInt(line.commandIndex, 0, line.value, m_timeoutMs) != 0;
        m_engine.quietMode = 0;
        m_window.SetParam(line.ctrlId, line.value);
    }
    bool accepted = false;   // the last line sent

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
    m_lastLoadSkipped = input.Skipped().size();
    m_progress->Create(this);
    m_progress->SetMessage(kApplyProgress);
    WindowSettingsSink sink(*this, *m_engine, *m_progress, m_commandTimeoutMs);
    input.Apply(sink);
    FinishApplying();
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
