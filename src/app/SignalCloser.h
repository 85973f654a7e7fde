#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a call on the user-interface thread,
// so the tool can close in order instead of dying with the line open. A
// camera command that blocks that thread ends at its next wait.
class SignalCloser : public QObject {
    Q_OBJECT

public:
    explicit SignalCloser(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SignalCloser() override;

private:
    static void Handler(int signalNumber);
    void OnReadable();

    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
    static int s_pipe[2];   // the handler only writes a byte here
};
