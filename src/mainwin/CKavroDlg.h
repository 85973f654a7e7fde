#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>

#include "dialogs/CompanionOwner.h"
#include "dialogs/WaitIndicators.h"
#include "mainwin/Companions.h"
#include "mainwin/LevelKeys.h"
#include "mainwin/ParameterPages.h"
#include "mainwin/SessionTimers.h"
#include "params/CtrlNotifySink.h"
#include "session/CameraSession.h"
#include "session/SessionHost.h"

class QMenu;
struct AppSettings;
class CCommSelDlg;
class CCompareDlg;
class CLutEditors;
class ClSerialLib;
class LineStatusStrip;
class PageButtons;
class SettingFinder;
class SerialPort;
class UiPrompts;

// The main window: the tabbed parameter pages, the menu, the timers, the
// level switch and every companion window. The camera and the files are the
// session's; the window shows what it does and hands it the operator's wishes.
class CKavroDlg : public QMainWindow, public CompanionOwner, private SessionHost, private CtrlNotifySink {
    Q_OBJECT

public:
    // Construction makes the companion objects; the communication window's
    // object runs the crash guard.
    CKavroDlg(AppSettings& settings, SerialPort& port, ClSerialLib& camLink, UiPrompts& prompts,
              QWidget* parent = nullptr);
    ~CKavroDlg() override;

    // Start-up: engine, first connection, pages, first read, timers.
    void Initialise();
    // The window's end: line closed, engine deleted, companions hidden.
    void DestroyWindow();
    // Closes without the exit question (signals, end of the desktop session).
    void CloseInOrder();

    // ---- the menu (KavroDlgMenu.cpp)
    void OnOpenSettingFile() override;
    void OnSaveSettingFile() override;
    void OnCompareWithFile();
    void OnExit();
    void OnReload();
    void OnLoadSettings();
    void OnStoreSettings();
    void OnFindSetting();
    void OnUserId();
    void OnCameraId();
    void OnOpenGammaFile();
    void OnSaveGammaFile();
    void OnLoadGammaFromCamera();
    void OnAbout();
    void OnCommunication();

signals:
    // The window accepted its closing: the run ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    friend class MainWindowAccess;   // tests: tests/support/MainWindowRig.h

    // ---- EngineHost and SessionHost: what the engine and the session tell the windows (KavroDlgHost.cpp)
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;
    void ShowMessageWithDetails(const std::string& text, const std::string& caption, Icon icon,
                                const std::string& details) override;
    bool AskYesNo(const std::string& question) override;
    void SetCommStatus(int state) override;
    void AddTraffic(const std::string& text) override;
    void AddMessage(const std::string& text) override;
    void RestartIdleTimer() override { m_timers.RestartIdleCheck(); }
    void SetWaitCursor(bool on) override { m_wait.SetWaitCursor(on); }
    void WhileWaiting() override { m_wait.WhileWaiting(); }
    void ShowProgress(const std::string& message) override;
    void ShowProgressWhenSlow(const std::string& message) override;
    void SetProgress(int position) override { m_wait.SetProgress(position); }
    bool ProgressShown() const override { return m_wait.ProgressShown(); }
    void CloseProgress() override { m_wait.CloseProgress(); }
    void ActivateMainWindow(bool raised) override;
    void WriteCtrlValue(int ctrlId, int value) override { m_pages->WriteCtrlValue(ctrlId, value); }
    int ReadCtrlValue(int ctrlId) const override { return m_pages->ReadCtrlValue(ctrlId); }
    void SetSpinBound(const ParamStore::CoupledBound& bound) override { m_pages->SetSpinBound(bound); }
    void UpdateEnables(int ctrlId, int /*value*/) override { m_pages->UpdateEnables(ctrlId); }
    void ParamsCommitted() override;

    // ---- CompanionOwner: what the companion windows use
    CRsCmd* Camera() override { return m_session.Engine(); }
    CProgDlg& Progress() override { return m_wait.Progress(); }
    QWidget* OwnerWindow() override { return this; }
    UiPrompts& Prompts() override { return m_prompts; }
    int ConnectCamera() override { return m_session.ConnectCamera(); }
    void ReloadAll() override { m_session.ReloadAll(); }
    void StoreArea(int area) override { m_session.StoreArea(area); }
    void LoadArea(int area) override { m_session.LoadArea(area); }

    // ---- control events (KavroDlgParams.cpp)
    void OnCtrlNotify(QWidget* control, CtrlNotification what, int ctrlId, int position, int step) override;
    bool OnKeyDownMsg(QWidget* source, QKeyEvent* event) override;
    void OnEditCommit(int ctrlId);
    void OnSpinDelta(int ctrlId, int position, int step);
    void OnComboSelChange(int ctrlId);
    void OnCheckClicked(int ctrlId);
    void OnRadioClicked(int ctrlId);
    void AdjustLinked(int primaryCtrl, int step);
    void SendAndCommit();

    void BuildMenu();   // KavroDlgMenu.cpp

    // ---- keys, the level and the end (KavroDlgKeys.cpp)
    void SwitchLevel();
    // The tabs of the level, the window sized for them.
    void RebuildPageTabs();
    // Level-dependent parts outside the pages (menu, communication window, find and compare windows).
    void OnLevelChanged();

    // ---- companion windows (KavroDlgCompanions.cpp)
    void PlaceCommSelBeside();

    // ---- shared state, owned by the application
    AppSettings& m_settings;
    ClSerialLib& m_camLink;
    UiPrompts& m_prompts;

    // ---- the camera, its files and the value store
    CameraSession m_session;
    WaitIndicators m_wait;
    SessionTimers m_timers;

    // ---- the pages, the strip under them and the menu
    std::unique_ptr<ParameterPages> m_pages;   // made in the window's layout
    LineStatusStrip* m_statusStrip = nullptr;
    QMenu* m_utilityMenu = nullptr;

    // ---- companions: made with the window, at start-up or when first asked for
    std::unique_ptr<CCommSelDlg> m_commSel;
    std::unique_ptr<CLutEditors> m_lutEditors;   // the three LUT editors, top-level windows
    Companions m_companions;
    std::unique_ptr<PageButtons> m_pageButtons;   // the pages' push buttons; some open companions
    QPointer<CCompareDlg> m_compareDlg;   // the last comparison, while it is open
    std::unique_ptr<SettingFinder> m_finder;

    // ---- window state
    LevelKeys m_levelKeys;
    bool m_closingInOrder = false;   // no exit question
    bool m_askingExit = false;       // the exit question is open
};
