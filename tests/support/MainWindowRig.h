#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "comm/CommandTable.h"
#include "params/ControlIds.h"
#include "params/CtrlRegistry.h"
#include "params/KavroSpinBox.h"
#include "support/CameraOnCom1.h"
#include "support/MainWindowAccess.h"
#include "support/ScriptedUiPrompts.h"
#include "support/TempFolder.h"

// The main window on COM1, which reaches a virtual camera over a real
// pseudo-terminal; prompts are answered by the test; the profile lives in a
// folder of the test's own.
struct MainWindowRig : CameraOnCom1 {
    explicit MainWindowRig(int level = ActiveUser)
    {
        settings.activeMode = level;
        window = std::make_unique<CKavroDlg>(settings, port, camLink, prompts);
    }

    static int Id(const char* mnemonic) { return CtrlId::Bound(mnemonic); }
    static int Cmd(const char* mnemonic) { return CommandTable::Find(mnemonic); }
    MainWindowAccess Inside() { return MainWindowAccess(*window); }
    CtrlRegistry& Registry() { return Inside().Registry(); }
    KavroSpinBox* Spin(int id) { return qobject_cast<KavroSpinBox*>(Registry().Find(id)); }
    QComboBox* Combo(int id) { return qobject_cast<QComboBox*>(Registry().Find(id)); }
    QAbstractButton* Button(int id) { return qobject_cast<QAbstractButton*>(Registry().Find(id)); }
    bool Enabled(int id) { return Registry().Find(id)->isEnabled(); }

    // The operator types a value and presses Enter.
    void Type(int id, const QString& text)
    {
        auto* edit = Spin(id)->findChild<QLineEdit*>();
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void Step(int id, int steps) { Spin(id)->stepBy(steps); }
    void Choose(int id, int index)
    {
        QComboBox* combo = Combo(id);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void Click(int id) { Button(id)->click(); }

    TempProfileHome home;
    ScriptedUiPrompts prompts;
    std::unique_ptr<CKavroDlg> window;
};
