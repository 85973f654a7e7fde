#pragma once

#include <QTest>

#include <string>
#include <vector>

#include "dialogs/CProgDlg.h"
#include "dialogs/CompanionOwner.h"
#include "support/CameraLine.h"
#include "support/ScriptedUiPrompts.h"

// Stands in for the main window of a companion window: the real engine on a
// virtual camera over a pseudo-terminal, prompts answered by the test.
struct CompanionRig : CompanionOwner {
    CompanionRig() { line.Open(); }

    CRsCmd* Camera() override { return line.engine.get(); }
    CProgDlg& Progress() override { return progress; }
    QWidget* OwnerWindow() override { return nullptr; }
    UiPrompts& Prompts() override { return prompts; }
    AppSettings& Settings() { return line.settings; }
    camsim::VirtualCamera& Cam() { return line.camera; }

    std::vector<std::string> Wire() { return line.Wire(); }

    CameraLine line;
    ScriptedUiPrompts prompts;
    CProgDlg progress;
};
