#pragma once

#include "comm/EngineHost.h"

// The engine's host for the command line: boxes become lines on standard
// error; traffic is shown there only when asked for. Camera text is escaped
// there, and on standard output when that is a terminal.
class StderrHost : public EngineHost {
public:
    explicit StderrHost(bool showTraffic) : m_showTraffic(showTraffic) {}

    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;
    void SetCommStatus(int state) override { lastStatus = state; }
    void AddTraffic(const std::string& text) override;
    void AddMessage(const std::string&) override {}
    void RestartIdleTimer() override {}
    void SetWaitCursor(bool) override {}

    // The last line received that was not a notice ("!!..."); "" after ForgetReply.
    const std::string& LastReply() const { return m_lastReply; }
    void ForgetReply() { m_lastReply.clear(); }

    int lastStatus = -1;
    int messagesShown = 0;
    bool printReceived = false;   // every received line, notices included, goes to standard output

private:
    bool m_showTraffic;
    std::string m_lastReply;
};
