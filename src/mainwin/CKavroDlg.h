#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

#include "comm/EngineHost.h"
#include "dialogs/CommSelOwner.h"
#include "dialogs/CLutEditors.h"
#include "dialogs/LutEditorOwner.h"
#include "dialogs/CompanionOwner.h"
#include "params/CtrlNotifySink.h"
#include "params/ParamStore.h"

class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
struct AppSettings;
class AreaStore;
class CAreaSelDlg;
class CAboutDlg;
class CAfeSenderDlg;
class CCamIDDlg;
class CCommSelDlg;
class CCompareDlg;
class CFindDlg;
class CDlgParameterSheet;
class CGen;
class CProgDlg;
class CRsCmd;
class CRsTermDlg;
class CUserIDDlg;
class ClSerialLib;
class CtrlRegistry;
class SerialPort;
class UiPrompts;
struct SettingsLine;
struct SettingsLoadReport;

// The main window: the tabbed parameter pages bound to the camera's commands,
// the value store, reading the camera, the menu, the timers and the level
// switch. It owns the command engine and every companion window.
class CKavroDlg : public QMainWindow,
                  public EngineHost,
                  public CtrlNotifySink,
                  public CommSelOwner,
                  public LutEditorOwner,
                  public CompanionOwner {
    Q_OBJECT

public:
    static constexpr int kCommandTimeoutMs = 3000;
    static constexpr int kIdleCheckMs = 60000;
    static constexpr int kSimulatorMs = 100;
    static constexpr int kCommSelGap = 8;   // between the main window and the windows beside it

    // Construction makes the companion objects; the communication window's
    // object runs the crash guard.
    CKavroDlg(AppSettings& settings, SerialPort& port, ClSerialLib& camLink, CGen& gen, UiPrompts& prompts,
              QWidget* parent = nullptr);
    ~CKavroDlg() override;

    // Start-up: engine, first connection, pages, first read, timers.
    void Initialise();
    // The window's end: line closed, engine deleted, companions hidden.
    void DestroyWindow();
    // Closes without the exit question (signals, end of the desktop session).
    void CloseInOrder();

    // Menu and buttons; operations of later features do nothing yet.
    void OnOpenSettingFile() override;
    void OnSaveSettingFile() override;
    void OnLoadSettings();
    void OnStoreSettings();
    void OnStoreFactory();
    void OnUserId();
    void OnCameraId();
    void OnOpenGammaFile() { m_lutEditors->OnOpenGammaFile(); }
    void OnSaveGammaFile() { m_lutEditors->OnSaveGammaFile(); }
    void OnLoadGammaFromCamera() { m_lutEditors->OnLoadGammaFromCamera(); }
    void OnAbout();
    void OnCommunication();
    void OnExit();
    void OnAfeSender(int);
    void OnTerminal(int);
    void OnStoreAll(int);
    void OnLutSetting(int) { m_lutEditors->OnLutSetting(); }
    void OnAutoMonitor(int);

    // Camera operations: work the camera does by itself, and read-outs that are not settings.
    void OnOnePushAwb(int ctrlId);
    void OnBlemishRecal(int ctrlId);
    void OnShadingRecal(int ctrlId);
    void OnTemperature(int ctrlId);
    void OnSNumber(int ctrlId);
    void OnPrismShadingGet(int ctrlId);
    void OnAverageData(int ctrlId);
    // A name to save a CSV file under; asks before an existing file is replaced.
    bool ChooseCsvSaveFile(const QString& filter, QString& path) { return m_lutEditors->ChooseCsvSaveFile(filter, path); }

    // How long the camera may take over its own work.
    struct OperationLimits {
        int calibrationMs = 60000;   // white balance, blemish and shading recalibration
        int averageDataMs = 50000;   // each block of average data
        int prismShadingMs = 20000;
    };
    void SetOperationLimits(const OperationLimits& limits) { m_operationLimits = limits; }

    // Camera settings files.
    bool WriteSettingFile(const QString& path);
    bool ApplySettingFile(const QString& path);

    // Comparing the camera with a settings file; finding a setting.
    void OnCompareWithFile();
    bool CompareWithFile(const QString& path);
    // Sends the lines as loading a file does; for each, whether the camera acknowledged it.
    std::vector<bool> ApplySettingLines(const std::vector<SettingsLine>& lines);
    CCompareDlg* CompareDlg() const;
    void OnFindSetting();
    QString RevealCtrl(int ctrlId);
    CFindDlg* FindDlg() const;

    // Lookups and the value store behind the pages; an unknown control id gets an error box.
    int CtrlId2ParamIndex(int ctrlId);
    int GetParam(int ctrlId);
    void SetParam(int ctrlId, int value);
    int ParamIndex2CtrlId(int commandIndex) const;
    QWidget* FindCtrl(int ctrlId) const;
    int ReadCtrlValue(int ctrlId) const;
    void WriteCtrlValue(int ctrlId, int value);
    void SendChangedParams();
    void CommitParams();
    void RefreshAllCtrls();
    void UpdateEnables(int ctrlId, int value);
    void AdjustLinked(int primaryCtrl, int step);
    void InitCtrlRanges();
    void RebuildPageTabs();

    // Control events.
    void OnCtrlNotify(QWidget* control, CtrlNotification what, int ctrlId, int position, int step) override;
    bool OnKeyDownMsg(QWidget* source, QKeyEvent* event) override;
    void OnEditCommit(int ctrlId);
    void OnSpinDelta(int ctrlId, int position, int step);
    void OnComboSelChange(int ctrlId);
    void OnCheckClicked(int ctrlId);
    void OnRadioClicked(int ctrlId);
    void OnButtonClicked(int ctrlId);

    // Reading the camera.
    int ConnectCamera() override;
    int ReadAllSettings();
    void ReloadAll() override;
    int ReloadCtrl(int ctrlId);
    void OnReload();
    int QueryCurrentArea();   // "EA"; 1 when the camera answered

    // EngineHost: what the engine tells the windows.
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;
    void SetCommStatus(int state) override;
    void AddTraffic(const std::string& text) override;
    void AddMessage(const std::string& text) override;
    void RestartIdleTimer() override;
    void SetWaitCursor(bool on) override;
    void WhileWaiting() override;

    // CommSelOwner: what the communication window uses.
    CRsCmd& Engine() override { return *m_engine; }
    CProgDlg& Progress() override { return *m_progress; }
    QWidget* OwnerWindow() override { return this; }
    UiPrompts& Prompts() override { return m_prompts; }
    // CompanionOwner: what the small companion windows use.
    CRsCmd* Camera() override { return m_engine.get(); }

    // For companions and tests.
    CCommSelDlg& CommSel() { return *m_commSel; }
    CLutEditors& LutEditors() { return *m_lutEditors; }
    CRsTermDlg* Terminal() const { return m_terminal.get(); }
    CAfeSenderDlg* AfeSender() const { return m_afeSender.get(); }
    CAboutDlg* About() const { return m_about.get(); }
    QMenu* UtilityMenu() const { return m_utilityMenu; }
    void SetIdleCheckPeriod(int ms) { m_idleCheckMs = ms; }
    CtrlRegistry& Registry() { return *m_registry; }
    QTabWidget& Tabs() { return *m_tabs; }
    int CurParam(int commandIndex) const { return m_params.Cur(commandIndex); }
    int PrevParam(int commandIndex) const { return m_params.Prev(commandIndex); }
    int CurrentArea() const { return m_currentArea; }
    bool IsInitialised() const { return m_initialised; }
    void SetCommandTimeout(int ms) { m_commandTimeoutMs = ms; }
    // Tests answer the area dialog instead of running it modally.
    void SetAreaDialogRunner(std::function<int(CAreaSelDlg&)> run) { m_runAreaDialog = std::move(run); }

signals:
    // The window accepted its closing: the run ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void BuildMenu();
    void FinishApplying();
    void ReportLoad(SettingsLoadReport report);
    // The line hung up: what the operation did not do was not the operator's choice.
    bool LineLost() const;
    static constexpr int kNoAreaChosen = -2;   // the area dialog was cancelled
    int ChooseArea(bool load);
    AreaStore Store();
    void ShowCommSelBeside();
    void PlaceCommSelBeside();
    void PlaceFindDlg(const QWidget* control);
    QString GreyedNote(int ctrlId) const;
    void FollowWithCommSel();
    void StartTimers();
    void OnIdleCheck();
    void OnSimulatorTick();
    void AnswerSimulatedQuery(int index);
    bool AdvanceKeySequence(QKeyEvent* event);
    void SwitchLevel();
    void BuildPages();
    // Level-dependent parts outside the pages (menu, communication window).
    void OnLevelChanged();
    // Companion windows made at start-up; the link state reaches each of them.
    void CreateCompanions();
    void HideCompanions();
    void BroadcastLineStatus(int state);
    void StoreDefaults();
    void ShowUnexpected(const char* where);
    void WriteParamToControls(int commandIndex, int value);
    bool IsReadable(int row) const;
    void ApplyLineCoupling(const ParamStore::CoupledBound& bound);
    bool IsDisabledByRules(int dependentCtrl) const;
    int CtrlIdOf(const QWidget* control) const;
    void ShowReadOut(int ctrlId, const QString& text);
    int ReloadCtrls(const std::vector<int>& ctrlIds);
    bool ReportCancel(const QString& text);
    void ReadAverageData(const char* mnemonic, const QString& path);

    // Shared state, owned by the application.
    AppSettings& m_settings;
    SerialPort& m_port;
    ClSerialLib& m_camLink;
    CGen& m_gen;
    UiPrompts& m_prompts;

    // Companions, made with the window object.
    std::unique_ptr<CCommSelDlg> m_commSel;
    std::unique_ptr<CLutEditors> m_lutEditors;   // the three LUT editors, top-level windows
    QMenu* m_utilityMenu = nullptr;
    std::unique_ptr<CRsTermDlg> m_terminal;   // made hidden at start-up, kept for the run
    std::unique_ptr<CAfeSenderDlg> m_afeSender;   // the same
    std::unique_ptr<CAboutDlg> m_about;   // made when first asked for, kept for the run
    QPointer<CUserIDDlg> m_userIdDlg;     // only while each runs
    QPointer<CCamIDDlg> m_camIdDlg;
    QPointer<CCompareDlg> m_compareDlg;   // the last comparison, while it is open
    QPointer<CFindDlg> m_findDlg;         // made when first asked for

    // Pages and their controls.
    std::unique_ptr<CtrlRegistry> m_registry;
    std::vector<CDlgParameterSheet*> m_pages;   // children of the tab widget
    QTabWidget* m_tabs = nullptr;
    QLabel* m_statusPicture = nullptr;

    // Current and last committed value of every command.
    ParamStore m_params;
    bool m_initialised = false;   // nothing is sent and lines are not coupled before start-up ends
    int m_commandTimeoutMs = kCommandTimeoutMs;
    OperationLimits m_operationLimits;

    // Camera.
    std::unique_ptr<CRsCmd> m_engine;
    std::unique_ptr<CProgDlg> m_progress;
    QTimer* m_engineTimer = nullptr;   // the engine's 50 ms tick
    QTimer* m_idleTimer = nullptr;     // timer 4: idle link check, restarted by every command sent
    QTimer* m_simulatorTimer = nullptr;   // timer 1: answers the line as a camera would
    int m_idleCheckMs = kIdleCheckMs;
    int m_currentArea = 0;             // 0 Factory, 1..3 User1..User3
    int m_waitCursorDepth = 0;
    CAreaSelDlg* m_areaSel = nullptr;   // the area dialog while it runs
    std::function<int(CAreaSelDlg&)> m_runAreaDialog;   // empty: run it modally

    // Window state.
    int m_keySequence = 0;        // 0 idle, else letters of the access code matched + 1
    bool m_closingInOrder = false;   // no exit question
    bool m_askingExit = false;       // the exit question is open
};
