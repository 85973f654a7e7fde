#pragma once

#include "dialogs/UiPrompts.h"

// The real prompts: QMessageBox and QFileDialog.
class QtUiPrompts : public UiPrompts {
public:
    void Message(QWidget* owner, const QString& text, const QString& caption, Icon icon) override;
    void MessageWithDetails(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                            const QString& details) override;
    bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) override;
    QString ChooseSaveFile(QWidget* owner, const QString& initialPath, const QString& filter,
                           const QString& defaultSuffix) override;
    QString ChooseOpenFile(QWidget* owner, const QString& initialPath, const QString& filter,
                           const QString& defaultSuffix) override;
};
