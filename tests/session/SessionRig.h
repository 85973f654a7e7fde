#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "comm/CommandTable.h"
#include "comm/StopRequest.h"
#include "params/ControlIds.h"
#include "session/CameraSession.h"
#include "session/SessionHost.h"
#include "support/CameraOnCom1.h"

// What the session shows, recorded as the windows would show it: boxes,
// answers to its questions from the test's script, the progress window, the
// values the controls show and the bounds of their spins.
class RecordingSessionHost : public SessionHost {
public:
    struct Box {
        std::string text;
        std::string caption;
        Icon icon;
        std::string details;
    };

    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override
    {
        boxes.push_back({text, caption, icon, {}});
    }
    void ShowMessageWithDetails(const std::string& text, const std::string& caption, Icon icon,
                                const std::string& details) override
    {
        boxes.push_back({text, caption, icon, details});
    }
    bool AskYesNo(const std::string& question) override
    {
        boxes.push_back({question, kToolCaption, Icon::Question, {}});
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.pop_front();
        return yes;
    }
    void SetCommStatus(int state) override { statuses.push_back(state); }
    void AddTraffic(const std::string&) override {}
    void AddMessage(const std::string&) override {}
    void RestartIdleTimer() override {}
    void SetWaitCursor(bool) override {}
    void WhileWaiting() override
    {
        if (whileWaiting)
            whileWaiting();
    }

    void ShowProgress(const std::string& message) override
    {
        progress = message;
        positions.clear();
    }
    void ShowProgressWhenSlow(const std::string& message) override { progress = "(when slow) " + message; }
    void SetProgress(int position) override { positions.push_back(position); }
    bool ProgressShown() const override { return !progress.empty(); }
    void CloseProgress() override { progress.clear(); }
    void ActivateMainWindow(bool) override {}

    void WriteCtrlValue(int ctrlId, int value) override { shown[ctrlId] = value; }
    int ReadCtrlValue(int ctrlId) const override { return shown.count(ctrlId) ? shown.at(ctrlId) : 0; }
    void SetSpinBound(const ParamStore::CoupledBound& bound) override { bounds.push_back(bound); }
    void UpdateEnables(int, int) override {}
    void ParamsCommitted() override {}

    std::string LastText() const { return boxes.empty() ? std::string() : boxes.back().text; }

    std::vector<Box> boxes;
    std::deque<bool> answers;   // empty: No
    std::vector<int> statuses;
    std::string progress;       // the progress window's message while it is shown
    std::vector<int> positions;
    std::map<int, int> shown;
    std::vector<ParamStore::CoupledBound> bounds;
    std::function<void()> whileWaiting;   // runs while a command waits, as the windows' events would
};

// The session on COM1, which reaches a virtual camera over a real
// pseudo-terminal; nothing in the process is a window.
struct SessionRig : CameraOnCom1 {
    explicit SessionRig(int level = ActiveUser) : session(settings, port, camLink, host)
    {
        settings.activeMode = level;
        session.Open();
        CameraSession::Limits limits;
        limits.storedPauseMs = 1;
        session.SetLimits(limits);
    }
    ~SessionRig() { session.Close(); }

    // As the main window starts: the line, then every setting read; the wire is clean.
    void Start()
    {
        ASSERT_EQ(session.ConnectCamera(), 1);
        session.StartUpDone();
        session.ReloadAll();
        Wire();
        host.boxes.clear();
        host.positions.clear();
    }
    void SetCommandLimit(int ms)
    {
        CameraSession::Limits limits = session.GetLimits();
        limits.commandMs = ms;
        session.SetLimits(limits);
    }
    // The operator's Cancel once the camera has received `lines` lines in all.
    void CancelAt(size_t lines)
    {
        host.whileWaiting = [this, lines] {
            if (camera.ReceivedLines().size() >= lines)
                StopRequest::RaiseCancel();
        };
    }

    static int Cmd(const char* mnemonic) { return CommandTable::Find(mnemonic); }
    static int Id(const char* mnemonic) { return CtrlId::Bound(mnemonic); }
    int Cur(const char* mnemonic) { return session.Params().Cur(Cmd(mnemonic)); }
    int Prev(const char* mnemonic) { return session.Params().Prev(Cmd(mnemonic)); }

    RecordingSessionHost host;
    CameraSession session;
};
