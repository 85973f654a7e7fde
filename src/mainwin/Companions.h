#pragma once

#include <QPointer>

#include <functional>
#include <memory>
#include <string>

struct AppSettings;
class CAboutDlg;
class CAfeSenderDlg;
class CAreaSelDlg;
class CCamIDDlg;
class CompanionOwner;
class CRsTermDlg;
class CUserIDDlg;
class ParamStore;
class QWidget;
class UiPrompts;

// The main window's smaller companions: the terminal, the AFE sender, the
// about window, the identity dialogs, the monitor and the area dialog. Each
// is made when first asked for, and every one that exists is told the
// line's state.
class Companions {
public:
    static constexpr int kNoArea = -2;   // the area dialog was cancelled

    Companions(AppSettings& settings, CompanionOwner& owner, UiPrompts& prompts, QWidget* window);
    ~Companions();
    Companions(const Companions&) = delete;
    Companions& operator=(const Companions&) = delete;

    // The terminal lists the traffic from the first command on, so it is made at start-up.
    void Create();
    void Hide();
    void SetLineStatus(int state);
    void AddTraffic(const std::string& text);

    void ShowTerminal();
    void ShowAfeSender();
    void ShowAbout();
    void RunUserId();
    void RunCameraId();
    void RunMonitor(const ParamStore& params);
    // The area the operator chose to load or store, or kNoArea.
    int ChooseArea(int current, bool load);

    CRsTermDlg* Terminal() const { return m_terminal.get(); }
    CAfeSenderDlg* AfeSender() const { return m_afeSender.get(); }
    CAboutDlg* About() const { return m_about.get(); }
    // Tests answer the area dialog instead of running it modally.
    void SetAreaDialogRunner(std::function<int(CAreaSelDlg&)> run) { m_runAreaDialog = std::move(run); }

private:
    AppSettings& m_settings;
    CompanionOwner& m_owner;
    UiPrompts& m_prompts;
    QWidget* m_window;

    std::unique_ptr<CRsTermDlg> m_terminal;
    std::unique_ptr<CAfeSenderDlg> m_afeSender;
    std::unique_ptr<CAboutDlg> m_about;   // a window of its own
    QPointer<CUserIDDlg> m_userIdDlg;     // only while each runs
    QPointer<CCamIDDlg> m_camIdDlg;
    QPointer<CAreaSelDlg> m_areaSel;
    std::function<int(CAreaSelDlg&)> m_runAreaDialog;   // empty: run it modally
};
