#pragma once

struct AppSettings;
class CProgDlg;
class CRsCmd;
class QWidget;
class UiPrompts;

// Storing the camera's settings into its setting areas with the progress
// window up, as both the main window and the communication window do it.
class AreaStore {
public:
    static constexpr int kClosePauseMs = 1000;   // the full bar stays visible this long

    AreaStore(CRsCmd& engine, CProgDlg& progress, QWidget* owner, UiPrompts& prompts, const AppSettings& settings)
        : m_engine(engine), m_progress(progress), m_owner(owner), m_prompts(prompts), m_settings(settings)
    {
    }

    // Tests shorten the pause.
    static void SetClosePause(int ms);

    // One area; the completion box unless offline. 1 when the camera stored it.
    int StoreOne(int area);
    // Areas 3, 2, 1, 0; a failure does not stop the others, a Cancel stops
    // before the next. The number of areas not stored.
    int StoreAll();
    // Full bar, pause, owner activated, window gone.
    void CloseProgress();

private:
    void ShowOutcome(bool stored);

    CRsCmd& m_engine;
    CProgDlg& m_progress;
    QWidget* m_owner;
    UiPrompts& m_prompts;
    const AppSettings& m_settings;
};
