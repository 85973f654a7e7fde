#include "dialogs/FileChoosers.h"

#include <QDir>
#include <QFileInfo>

#include "comm/EngineHost.h"
#include "dialogs/UiPrompts.h"
#include "session/SessionTexts.h"

namespace {

const char kSettingFilter[] = "Camera setting data (*.cam)";
const char kSettingSuffix[] = "cam";
const char kGammaFilter[] = "Camera gamma data (*.csv)";
const char kCsvSuffix[] = "csv";
const char kTextFilter[] = "txt file (*.txt)";
const char kTextSuffix[] = "txt";

QString InFolder(const std::string& folder, const char* suffix)
{
    return QString::fromStdString(folder) + "/*." + suffix;
}

}  // namespace

std::string FileChoosers::RememberFolder(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    QDir::setCurrent(folder);
    return folder.toStdString();
}

QString FileChoosers::ChooseSaveFile(const QString& initialPath, const QString& filter, const QString& suffix)
{
    const QString chosen = m_prompts.ChooseSaveFile(m_owner, initialPath, filter, suffix);
    if (chosen.isEmpty())
        return QString();
    RememberFolder(chosen);
    if (QFileInfo::exists(chosen) &&
        !m_prompts.AskYesNo(m_owner, chosen + SessionTexts::kFileExists, EngineHost::kToolCaption))
        return QString();
    return chosen;
}

QString FileChoosers::ChooseSettingsFileToOpen(std::string& dataPath)
{
    const QString path = m_prompts.ChooseOpenFile(m_owner, InFolder(dataPath, kSettingSuffix), kSettingFilter,
                                                  kSettingSuffix);
    if (!path.isEmpty())
        dataPath = RememberFolder(path);
    return path;
}

QString FileChoosers::ChooseSettingsFileToSave(std::string& dataPath)
{
    const QString path = ChooseSaveFile(InFolder(dataPath, kSettingSuffix), kSettingFilter, kSettingSuffix);
    if (!path.isEmpty())
        dataPath = RememberFolder(path);
    return path;
}

QString FileChoosers::ChooseGammaFileToOpen()
{
    const QString path =
        m_prompts.ChooseOpenFile(m_owner, InFolder(QDir::currentPath().toStdString(), kCsvSuffix), kGammaFilter, kCsvSuffix);
    if (!path.isEmpty())
        RememberFolder(path);
    return path;
}

bool FileChoosers::ChooseCsvSaveFile(const QString& filter, QString& path)
{
    const QString chosen = ChooseSaveFile(InFolder(QDir::currentPath().toStdString(), kCsvSuffix), filter, kCsvSuffix);
    if (chosen.isEmpty())
        return false;
    path = chosen;
    return true;
}

QString FileChoosers::ChooseTextFileToSave(const std::string& folder)
{
    return ChooseSaveFile(QString::fromStdString(folder), kTextFilter, kTextSuffix);
}
