#pragma once

#include <QString>

class QWidget;

// Every message box, yes/no question and file chooser of the windows goes
// through this one interface, so tests can answer them without a modal loop.
class UiPrompts {
public:
    enum class Icon { Exclamation, Information, Question, Stop };

    virtual ~UiPrompts() = default;

    virtual void Message(QWidget* owner, const QString& text, const QString& caption, Icon icon) = 0;
    // The box with details behind its "Show Details..." button; no details: the plain box.
    virtual void MessageWithDetails(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                                    const QString& /*details*/)
    {
        Message(owner, text, caption, icon);
    }
    // Yes/No with the question icon; true for Yes.
    virtual bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) = 0;
    // The chosen path, or an empty text when the user cancelled. A name typed
    // without an extension gets defaultSuffix.
    virtual QString ChooseSaveFile(QWidget* owner, const QString& initialPath, const QString& filter,
                                   const QString& defaultSuffix) = 0;
    // An existing file.
    virtual QString ChooseOpenFile(QWidget* owner, const QString& initialPath, const QString& filter,
                                   const QString& defaultSuffix) = 0;
};
