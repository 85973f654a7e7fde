#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/EngineHost.h"
#include "comm/SettingAreas.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/CompanionOwner.h"
#include "support/ScriptedUiPrompts.h"

// Stands in for the main window: owns the real engine, connects the way the
// main window does and forwards the engine's traffic and link state to the
// communication window.
class CommTestOwner : public CompanionOwner, public EngineHost {
public:
    CommTestOwner(AppSettings& settings, SerialPort& port, ClSerialLib& camLink)
        : m_settings(settings), m_engine(settings, port, camLink, *this)
    {
    }
    ~CommTestOwner() override { m_engine.ClosePort(); }

    void Attach(CCommSelDlg* dialog) { m_dialog = dialog; }

    // CompanionOwner
    CRsCmd* Camera() override { return &m_engine; }
    UiPrompts& Prompts() override { return prompts; }
    int ConnectCamera() override
    {
        if (m_engine.OpenPort(static_cast<int>(m_settings.commPort)) != 1) {
            boxes.push_back("Failed to initialize!");
            m_engine.ClosePort();
            return 0;
        }
        int area = 0;
        return m_engine.GetInt(CmdEA, 0, area, 3000);
    }
    void SetCommStatus(int state) override
    {
        m_settings.lineOnline = state == 1 ? 1 : 0;
        statuses.push_back(state);
        if (m_dialog)
            m_dialog->SetLineStatus(state);
    }
    void ReloadAll() override { ++reloads; }
    CProgDlg& Progress() override { return progress; }
    QWidget* OwnerWindow() override { return &mainWindow; }
    void OnSaveSettingFile() override { ++settingFileSaves; }
    void OnOpenSettingFile() override { ++settingFileOpens; }
    void StoreArea(int area) override { SettingAreas::Store(m_engine, area); }
    void LoadArea(int area) override
    {
        if (SettingAreas::Load(m_engine, area) == 1)
            ReloadAll();
    }

    // EngineHost
    void ShowMessage(const std::string& text, const std::string&, Icon) override { boxes.push_back(text); }
    void AddTraffic(const std::string&) override {}
    void AddMessage(const std::string& text) override
    {
        if (m_dialog)
            m_dialog->AddMessage(QString::fromStdString(text));
    }
    void RestartIdleTimer() override {}
    void SetWaitCursor(bool) override {}

    int LastStatus() const { return statuses.empty() ? -1 : statuses.back(); }

    QWidget mainWindow;
    CProgDlg progress;
    ScriptedUiPrompts prompts;
    std::vector<std::string> boxes;
    std::vector<int> statuses;
    int reloads = 0;
    int settingFileSaves = 0;
    int settingFileOpens = 0;

private:
    AppSettings& m_settings;
    CRsCmd m_engine;
    CCommSelDlg* m_dialog = nullptr;
};
