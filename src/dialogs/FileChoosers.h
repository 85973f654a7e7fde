#pragma once

#include <QString>

#include <string>

class QWidget;
class UiPrompts;

// The tool's file choosers: where each opens, the question before an
// existing file is replaced, and what a choice leaves behind. A file
// confirmed in any of them makes its folder the working folder, where the
// next chooser without a folder of its own opens.
class FileChoosers {
public:
    FileChoosers(UiPrompts& prompts, QWidget* owner) : m_prompts(prompts), m_owner(owner) {}

    // A camera settings file in the data folder, which follows the choice
    // (a save only when the file may be written). Empty: none.
    QString ChooseSettingsFileToOpen(std::string& dataPath);
    QString ChooseSettingsFileToSave(std::string& dataPath);
    QString ChooseGammaFileToOpen();
    // A name to save a CSV file under; asks before an existing file is replaced.
    bool ChooseCsvSaveFile(const QString& filter, QString& path);
    // The communication window's message list, in its own folder.
    QString ChooseTextFileToSave(const std::string& folder);

private:
    // The chosen name once replacing is confirmed; empty: none.
    QString ChooseSaveFile(const QString& initialPath, const QString& filter, const QString& suffix);
    static std::string RememberFolder(const QString& path);

    UiPrompts& m_prompts;
    QWidget* m_owner;
};
