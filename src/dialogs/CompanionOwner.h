#pragma once

class CProgDlg;
class CRsCmd;
class QWidget;
class UiPrompts;

// What the companion windows (communication window, LUT editors, terminal,
// monitor, AFE sender, identity dialogs) need from the main window.
class CompanionOwner {
public:
    virtual ~CompanionOwner() = default;

    // The command engine, or nullptr before start-up and after the window's end.
    virtual CRsCmd* Camera() = 0;
    virtual CProgDlg& Progress() = 0;
    virtual QWidget* OwnerWindow() = 0;
    virtual UiPrompts& Prompts() = 0;

    // ---- what only the communication window has the main window do; the
    // other companions never ask, so an owner of theirs need not answer
    // Opens the configured line and asks the camera for its area; 1 when it answered.
    virtual int ConnectCamera() { return 0; }
    virtual void SetCommStatus(int /*state*/) {}
    virtual void ReloadAll() {}
    // The camera settings file, saved and applied by the main window.
    virtual void OnSaveSettingFile() {}
    virtual void OnOpenSettingFile() {}
    // A setting area stored as "&Store settings" stores it; one loaded, then everything read again.
    virtual void StoreArea(int /*area*/) {}
    virtual void LoadArea(int /*area*/) {}
};
