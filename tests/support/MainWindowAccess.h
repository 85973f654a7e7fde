#pragma once

#include <QTabWidget>

#include <functional>
#include <utility>

#include "dialogs/CCommSelDlg.h"
#include "dialogs/CLutEditors.h"
#include "dialogs/CProgDlg.h"
#include "mainwin/CCompareDlg.h"
#include "mainwin/CFindDlg.h"
#include "mainwin/CKavroDlg.h"
#include "mainwin/SettingFinder.h"
#include "params/CtrlRegistry.h"

// The one way tests reach inside the main window: its session, its pages and
// companions, the time limits made short. The window names this its friend.
class MainWindowAccess {
public:
    explicit MainWindowAccess(CKavroDlg& window) : m_window(window) {}

    CameraSession& Session() { return m_window.m_session; }
    SessionHost& Host() { return m_window; }
    CompanionOwner& Owner() { return m_window; }
    CtrlRegistry& Registry() { return m_window.m_pages->Registry(); }
    QTabWidget& Tabs() { return m_window.m_pages->Tabs(); }
    QMenu* UtilityMenu() { return m_window.m_utilityMenu; }
    CProgDlg& Progress() { return m_window.m_wait.Progress(); }
    CCommSelDlg& CommSel() { return *m_window.m_commSel; }
    CLutEditors& LutEditors() { return *m_window.m_lutEditors; }
    CRsTermDlg* Terminal() { return m_window.m_companions.Terminal(); }
    CAfeSenderDlg* AfeSender() { return m_window.m_companions.AfeSender(); }
    CAboutDlg* About() { return m_window.m_companions.About(); }
    CFindDlg* FindDlg() { return m_window.m_finder->Dialog(); }
    CCompareDlg* CompareDlg() { return m_window.m_compareDlg; }
    // Started up and not yet ended: the idle check runs.
    bool IsInitialised() { return m_window.m_timers.Checking(); }

    int Cur(int commandIndex) { return Session().Params().Cur(commandIndex); }
    int Prev(int commandIndex) { return Session().Params().Prev(commandIndex); }

    // ---- time limits made short, and the area dialog answered instead of run modally
    void SetCommandTimeout(int ms)
    {
        CameraSession::Limits limits = Session().GetLimits();
        limits.commandMs = ms;
        Session().SetLimits(limits);
    }
    void SetIdleCheckPeriod(int ms) { m_window.m_timers.SetIdleCheckPeriod(ms); }
    void SetAreaDialogRunner(std::function<int(CAreaSelDlg&)> run) { m_window.m_companions.SetAreaDialogRunner(std::move(run)); }

    // ---- control events as the pages deliver them
    void EditCommit(int ctrlId) { m_window.OnEditCommit(ctrlId); }
    void ComboSelChange(int ctrlId) { m_window.OnComboSelChange(ctrlId); }
    void CheckClicked(int ctrlId) { m_window.OnCheckClicked(ctrlId); }
    void RadioClicked(int ctrlId) { m_window.OnRadioClicked(ctrlId); }
    void RebuildPageTabs() { m_window.RebuildPageTabs(); }

private:
    CKavroDlg& m_window;
};
