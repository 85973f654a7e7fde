#pragma once

#include <QString>

#include <deque>
#include <vector>

#include "dialogs/UiPrompts.h"

// Records every prompt and answers from a script the test wrote; never modal.
class ScriptedUiPrompts : public UiPrompts {
public:
    struct Prompt {
        QString text;
        QString caption;
        Icon icon;
        QString details;
    };

    void Message(QWidget*, const QString& text, const QString& caption, Icon icon) override
    {
        prompts.push_back({text, caption, icon, QString()});
    }
    void MessageWithDetails(QWidget*, const QString& text, const QString& caption, Icon icon,
                            const QString& details) override
    {
        prompts.push_back({text, caption, icon, details});
    }
    bool AskYesNo(QWidget*, const QString& text, const QString& caption) override
    {
        prompts.push_back({text, caption, Icon::Question, QString()});
        const bool yes = yesNoAnswers.empty() ? false : yesNoAnswers.front();
        if (!yesNoAnswers.empty())
            yesNoAnswers.pop_front();
        return yes;
    }
    QString ChooseSaveFile(QWidget*, const QString&, const QString& filter, const QString&) override
    {
        return NextFile(filter);
    }
    QString ChooseOpenFile(QWidget*, const QString&, const QString& filter) override { return NextFile(filter); }

    QString LastText() const { return prompts.empty() ? QString() : prompts.back().text; }
    void Clear() { prompts.clear(); }

    std::vector<Prompt> prompts;
    std::deque<bool> yesNoAnswers;   // empty: No
    std::deque<QString> files;       // empty: cancelled
    std::vector<QString> fileFilters;

private:
    QString NextFile(const QString& filter)
    {
        fileFilters.push_back(filter);
        if (files.empty())
            return QString();
        QString file = files.front();
        files.pop_front();
        return file;
    }
};
