#include "mainwin/SessionTimers.h"

#include <QTimer>

#include "comm/CRsCmd.h"
#include "session/CameraSession.h"
#include "session/Operation.h"

SessionTimers::SessionTimers(CameraSession& session, QObject* parent)
    : m_session(session), m_tick(new QTimer(parent)), m_idleCheck(new QTimer(parent)), m_simulator(new QTimer(parent))
{
    QObject::connect(m_tick, &QTimer::timeout, [this] {
        if (!Operation::IsRunning() && m_session.Engine())
            m_session.Engine()->OnTimer();
    });
    QObject::connect(m_idleCheck, &QTimer::timeout, [this] { m_session.CheckLine(); });
    QObject::connect(m_simulator, &QTimer::timeout, [this] { m_session.AnswerAsCamera(); });
}

void SessionTimers::StartTick()
{
    m_tick->start(CRsCmd::kTimerPeriodMs);
}

void SessionTimers::StartChecks(bool simulation)
{
    m_checking = true;
    m_idleCheck->start(m_idleCheckMs);
    if (simulation)
        m_simulator->start(kSimulatorMs);
}

void SessionTimers::Stop()
{
    m_checking = false;
    for (QTimer* timer : {m_tick, m_idleCheck, m_simulator})
        timer->stop();
}

void SessionTimers::RestartIdleCheck()
{
    if (m_checking)
        m_idleCheck->start(m_idleCheckMs);
}
