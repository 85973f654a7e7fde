#pragma once

#include <functional>
#include <string>
#include <vector>

#include "comm/EngineHost.h"

// An engine host that records what the engine tells the windows.
class RecordingHost : public EngineHost {
public:
    struct Box {
        std::string text;
        std::string caption;
        Icon icon;
    };

    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override
    {
        boxes.push_back({text, caption, icon});
        if (whileBoxOpen)
            whileBoxOpen();   // what a modal box's own loop would run
    }
    void SetCommStatus(int state) override { statuses.push_back(state); }
    void AddTraffic(const std::string& text) override { traffic.push_back(text); }
    void AddMessage(const std::string& text) override { messages.push_back(text); }
    void RestartIdleTimer() override { ++idleRestarts; }
    void SetWaitCursor(bool on) override { waitCursorOn = on; }
    void WhileWaiting() override { ++servings; }

    void Clear() { *this = RecordingHost(); }
    int LastStatus() const { return statuses.empty() ? -1 : statuses.back(); }

    std::vector<Box> boxes;
    std::vector<int> statuses;
    std::vector<std::string> traffic;
    std::vector<std::string> messages;
    int idleRestarts = 0;
    int servings = 0;   // the windows were served while a command waited
    bool waitCursorOn = false;
    std::function<void()> whileBoxOpen;
};
