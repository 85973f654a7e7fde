// Saving and clearing the message list.
#include "dialogs/CCommSelDlg.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>

#include "settings/AppSettings.h"
#include "comm/EngineHost.h"
#include "dialogs/CommSelDlgTexts.h"
#include "dialogs/UiPrompts.h"
#include "files/SafeFile.h"

using namespace CommSelTexts;

void CCommSelDlg::OnWriteMessages()
{
    const QString path =
        m_prompts.ChooseSaveFile(this, QString::fromStdString(m_settings.logFilePath), kTextFilter, kTextSuffix);
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) && !m_prompts.AskYesNo(this, path + kFileExists, EngineHost::kToolCaption))
        return;
    if (!WriteMessageFile(path)) {
        m_prompts.Message(this, path + kCannotWrite, kFileError, UiPrompts::Icon::Exclamation);
        return;
    }
    AddMessage(kWritten);
    // As every file dialog of the tool, the chosen folder becomes the working folder too.
    QDir::setCurrent(QFileInfo(path).absolutePath());
    m_settings.logFilePath = QFileInfo(path).absolutePath().toStdString();
}

// Oldest line first, CR LF after each. The file appears complete or not at
// all: an old file of the same name survives a failed write.
bool CCommSelDlg::WriteMessageFile(const QString& path) const
{
    std::string content;
    for (int row = m_messages->count() - 1; row >= 0; --row)
        content += m_messages->item(row)->text().toStdString() + "\r\n";
    return SafeFile::WriteAll(path.toStdString(), content);
}

void CCommSelDlg::OnClearMessages()
{
    m_messages->clear();
}
