#pragma once

#include <QApplication>
#include <QDialog>
#include <QString>
#include <QElapsedTimer>

#include <deque>
#include <functional>
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

    void Message(QWidget* owner, const QString& text, const QString& caption, Icon icon) override
    {
        MessageWithDetails(owner, text, caption, icon, QString());
    }
    void MessageWithDetails(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                            const QString& details) override
    {
        prompts.push_back({text, caption, icon, details});
        if (onMessage)
            onMessage(prompts.back());
        if (boxesTakeFocus)
            TakeFocusLikeABox(owner);
    }
    bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) override
    {
        prompts.push_back({text, caption, Icon::Question, QString()});
        if (onAsk)
            return onAsk(owner, prompts.back());
        const bool yes = yesNoAnswers.empty() ? false : yesNoAnswers.front();
        if (!yesNoAnswers.empty())
            yesNoAnswers.pop_front();
        return yes;
    }
    QString ChooseSaveFile(QWidget*, const QString&, const QString& filter, const QString& suffix) override
    {
        return NextFile(filter, suffix);
    }
    QString ChooseOpenFile(QWidget*, const QString&, const QString& filter, const QString& suffix) override
    {
        return NextFile(filter, suffix);
    }

    QString LastText() const { return prompts.empty() ? QString() : prompts.back().text; }
    void Clear() { prompts.clear(); }

    std::vector<Prompt> prompts;
    std::deque<bool> yesNoAnswers;   // empty: No
    std::deque<QString> files;       // empty: cancelled
    std::vector<QString> fileFilters;
    std::vector<QString> fileSuffixes;       // the default extension of each chooser
    std::function<void(const Prompt&)> onMessage;   // sees the windows while the box would stand
    std::function<bool(QWidget*, const Prompt&)> onAsk;   // answers questions instead of the script (a real box)
    bool boxesTakeFocus = false;   // a message is a window that takes the focus, as a real box does

private:
    // The box becomes the active window (the edit that had the focus loses it)
    // and the focus comes back when it closes; meanwhile events run, as in a
    // modal box's own loop.
    static void TakeFocusLikeABox(QWidget* owner)
    {
        QWidget* before = QApplication::activeWindow();
        QDialog box(owner ? owner->window() : nullptr);
        box.setEnabled(true);
        box.show();
        box.activateWindow();
        RunEventsUntilActive(&box);
        box.hide();
        if (before) {
            before->activateWindow();
            RunEventsUntilActive(before);
        }
    }
    static void RunEventsUntilActive(QWidget* window)
    {
        QElapsedTimer clock;
        clock.start();
        while (!window->isActiveWindow() && clock.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    QString NextFile(const QString& filter, const QString& suffix)
    {
        fileFilters.push_back(filter);
        fileSuffixes.push_back(suffix);
        if (files.empty())
            return QString();
        QString file = files.front();
        files.pop_front();
        return file;
    }
};
