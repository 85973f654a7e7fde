#pragma once

class CameraSession;
class QObject;
class QTimer;

// The timers that keep the session going while the window waits for the
// operator: the engine's tick, the idle check of the line and, with
// simulation on, the simulator. None of them reaches the camera during an
// operation: the tick would take the reply its command waits for.
class SessionTimers {
public:
    static constexpr int kIdleCheckMs = 60000;
    static constexpr int kSimulatorMs = 100;

    SessionTimers(CameraSession& session, QObject* parent);

    // The tick from the first connection on; the checks once start-up is done.
    void StartTick();
    void StartChecks(bool simulation);
    void Stop();
    // Every command sent puts the idle check off.
    void RestartIdleCheck();
    bool Checking() const { return m_checking; }
    void SetIdleCheckPeriod(int ms) { m_idleCheckMs = ms; }

private:
    CameraSession& m_session;
    QTimer* m_tick;
    QTimer* m_idleCheck;   // restarted by every command sent
    QTimer* m_simulator;   // answers the line as a camera would
    int m_idleCheckMs = kIdleCheckMs;
    bool m_checking = false;
};
