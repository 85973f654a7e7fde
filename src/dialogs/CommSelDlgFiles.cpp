// Saving and clearing the message list.
#include "dialogs/CCommSelDlg.h"

#include <QFileInfo>

#include "settings/AppSettings.h"
#include "dialogs/CommSelDlgTexts.h"
#include "dialogs/FileChoosers.h"
#include "dialogs/NewestFirstList.h"
#include "dialogs/UiPrompts.h"
#include "files/SafeFile.h"
#include "session/SessionTexts.h"

using namespace CommSelTexts;

void CCommSelDlg::OnWriteMessages()
{
    const QString path = FileChoosers(m_prompts, this).ChooseTextFileToSave(m_settings.logFilePath);
    if (path.isEmpty())
        return;
    if (!WriteMessageFile(path)) {
        m_prompts.Message(this, path + SessionTexts::kCannotOpen, SessionTexts::kFileError, UiPrompts::Icon::Exclamation);
        return;
    }
    AddMessage(kWritten);
    m_settings.logFilePath = QFileInfo(path).absolutePath().toStdString();
}

// Oldest line first, CR LF after each. The file appears complete or not at
// all: an old file of the same name survives a failed write.
bool CCommSelDlg::WriteMessageFile(const QString& path) const
{
    std::string content;
    const QStringList lines = m_messages->Lines();
    for (auto line = lines.crbegin(); line != lines.crend(); ++line)
        content += line->toStdString() + "\r\n";
    return SafeFile::WriteAll(path.toStdString(), content);
}

void CCommSelDlg::OnClearMessages()
{
    m_messages->Clear();
}
