// Comparing the camera with a settings file.
#include "mainwin/CKavroDlg.h"

#include <QFileInfo>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandFormat.h"
#include "comm/CommandTable.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/UiPrompts.h"
#include "files/SettingsComparison.h"
#include "files/SettingsInput.h"
#include "mainwin/CCompareDlg.h"

namespace {

const char kCompareProgress[] = "Now, reading the camera to compare.";
const char kCannotOpen[] = "\nCouldn't open this file";
const char kFileError[] = "File Open Error";
const char kNoAnswer[] = "The camera did not answer the query of %1; the comparison was stopped.";
const char kCancelled[] = "Comparison cancelled: %1 of %2 settings read.";

}  // namespace

// Queries the camera for each usable line of the file; the pages then show
// what the camera holds, and the table shows where it differs from the file.
bool CKavroDlg::CompareWithFile(const QString& path)
{
    SettingsComparison comparison;
    bool complete = false;
    {
        BlockingScope blocking;
        SettingsInput input;
        if (!input.Read(path.toStdString(), CommandFormat(m_settings), m_settings.IsFactory())) {
            m_prompts.Message(this, path + kCannotOpen, kFileError, UiPrompts::Icon::Exclamation);
            return false;
        }
        comparison.Load(input);
        m_progress->Create(this);
        m_progress->SetMessage(kCompareProgress);
        // One box names the line that failed, not one box per failure.
        auto query = [this](int commandIndex, int& value) {
            m_engine->quietMode = 1;
            const bool answered = m_engine->GetInt(commandIndex, 0, value, m_commandTimeoutMs) != 0;
            m_engine->quietMode = 0;
            return answered;
        };
        auto progress = [this](size_t done, size_t total) { m_progress->SetPos(static_cast<int>(done * 100 / total)); };
        complete = comparison.ReadCamera(query, progress);
        const size_t read = complete ? comparison.Lines().size() : comparison.FailedLine();
        for (size_t i = 0; i < read; ++i)
            SetParam(comparison.Lines()[i].ctrlId, comparison.CameraValue(i));
        FinishApplying();
        if (!complete && ReportCancel(QString(kCancelled).arg(read).arg(comparison.Lines().size())))
            return false;
    }
    if (!complete) {
        const char* mnemonic = CommandTable::Row(comparison.Lines()[comparison.FailedLine()].commandIndex).mnemonic;
        m_prompts.Message(this, QString(kNoAnswer).arg(mnemonic), EngineHost::kToolCaption,
                          UiPrompts::Icon::Exclamation);
        return false;
    }
    if (m_compareDlg)
        m_compareDlg->deleteLater();
    auto apply = [this](const std::vector<SettingsLine>& lines) { return ApplySettingLines(lines); };
    m_compareDlg = new CCompareDlg(comparison, QFileInfo(path).fileName(), apply, this);
    m_compareDlg->setAttribute(Qt::WA_DeleteOnClose);
    m_compareDlg->show();
    return true;
}

CCompareDlg* CKavroDlg::CompareDlg() const
{
    return m_compareDlg;
}
