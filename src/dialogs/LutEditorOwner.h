#pragma once

class CProgDlg;
class CRsCmd;
class QWidget;
class UiPrompts;

// What the look-up table editors need from the main window.
class LutEditorOwner {
public:
    virtual ~LutEditorOwner() = default;

    virtual CRsCmd& Engine() = 0;
    virtual CProgDlg& Progress() = 0;
    virtual QWidget* OwnerWindow() = 0;
    virtual UiPrompts& Prompts() = 0;
};
