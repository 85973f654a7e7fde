#pragma once

class CProgDlg;
class CRsCmd;
class QWidget;

// What the communication window needs from the main window.
class CommSelOwner {
public:
    virtual ~CommSelOwner() = default;

    virtual CRsCmd& Engine() = 0;
    // Opens the configured line and asks the camera for its area; 1 when it answered.
    virtual int ConnectCamera() = 0;
    virtual void SetCommStatus(int state) = 0;
    virtual void ReloadAll() = 0;
    virtual CProgDlg& Progress() = 0;
    virtual QWidget* OwnerWindow() = 0;
    // The camera settings file, saved and applied by the main window.
    virtual void OnSaveSettingFile() = 0;
    virtual void OnOpenSettingFile() = 0;
};
