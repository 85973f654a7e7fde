#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/EngineHost.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/CommSelOwner.h"

// Stands in for the main window: owns the real engine, connects the way the
// main window does and forwards the engine's traffic and link state to the
// communication window.
class CommTestOwner : public CommSelOwner, public EngineHost {
public:
    CommTestOwner(AppSettings& settings, SerialPort& port, ClSerialLib& camLink)
        : settings_(settings), engine_(settings, port, camLink, *this)
    {
    }
    ~CommTestOwner() override { engine_.ClosePort(); }

    void Attach(CCommSelDlg* dialog) { dialog_ = dialog; }

    // CommSelOwner
    CRsCmd& Engine() override { return engine_; }
    int ConnectCamera() override
    {
        if (engine_.OpenPort(static_cast<int>(settings_.commPort)) != 1) {
            boxes.push_back("Failed to initialize!");
            engine_.ClosePort();
            return 0;
        }
        int area = 0;
        return engine_.GetInt(CmdEA, 0, area, 3000);
    }
    void SetCommStatus(int state) override
    {
        settings_.lineOnline = state == 1 ? 1 : 0;
        statuses.push_back(state);
        if (dialog_)
            dialog_->SetLineStatus(state);
    }
    void ReloadAll() override { ++reloads; }
    CProgDlg& Progress() override { return progress; }
    QWidget* OwnerWindow() override { return &mainWindow; }
    void OnSaveSettingFile() override { ++settingFileSaves; }
    void OnOpenSettingFile() override { ++settingFileOpens; }

    // EngineHost
    void ShowMessage(const std::string& text, const std::string&, Icon) override { boxes.push_back(text); }
    void AddTraffic(const std::string&) override {}
    void AddMessage(const std::string& text) override
    {
        if (dialog_)
            dialog_->AddMessage(QString::fromStdString(text));
    }
    void RestartIdleTimer() override {}
    void SetWaitCursor(bool) override {}

    int LastStatus() const { return statuses.empty() ? -1 : statuses.back(); }

    QWidget mainWindow;
    CProgDlg progress;
    std::vector<std::string> boxes;
    std::vector<int> statuses;
    int reloads = 0;
    int settingFileSaves = 0;
    int settingFileOpens = 0;

private:
    AppSettings& settings_;
    CRsCmd engine_;
    CCommSelDlg* dialog_ = nullptr;
};
