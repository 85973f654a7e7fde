#pragma once

#include "dialogs/UiPrompts.h"

// Prompts that count instead of waiting for a click.
class CountingPrompts : public UiPrompts {
public:
    void Message(QWidget*, const QString&, const QString&, Icon) override { ++shown; }
    bool AskYesNo(QWidget*, const QString&, const QString&) override { return true; }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseOpenFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    int shown = 0;
};
