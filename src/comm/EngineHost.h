#pragma once

#include <string>

// Everything the command engine needs from the windows. The main window
// implements it; tests record the calls; kavro-cli prints to stderr.
class EngineHost {
public:
    enum class Icon { Exclamation, Information, Question };
    // Caption of boxes that have no caption of their own.
    static constexpr const char* kToolCaption = "Camera Kavro";

    virtual ~EngineHost() = default;

    // A modal message box; returns when the user has closed it.
    virtual void ShowMessage(const std::string& text, const std::string& caption, Icon icon) = 0;
    // 1: the camera answered, 0: it did not.
    virtual void SetCommStatus(int state) = 0;
    // The terminal's time-stamped traffic log ("Tx: ..." / "Rx: ...").
    virtual void AddTraffic(const std::string& text) = 0;
    // The communication window's message list (bare lines).
    virtual void AddMessage(const std::string& text) = 0;
    // Every command sent restarts the idle link check.
    virtual void RestartIdleTimer() = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // Called as a command's wait for its reply begins, and again and again
    // while the line stays quiet: the windows repaint and the progress
    // window's Cancel is served; nothing that could send a command may run here.
    virtual void WhileWaiting() {}
};
