// Timers: the idle link check and the camera simulator.
#include "mainwin/CKavroDlg.h"

#include <QTimer>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "dialogs/BlockingScope.h"

void CKavroDlg::StartTimers()
{
    m_idleTimer = new QTimer(this);
    connect(m_idleTimer, &QTimer::timeout, this, &CKavroDlg::OnIdleCheck);
    m_idleTimer->start(m_idleCheckMs);
    if (m_settings.simulation == 1) {
        m_simulatorTimer = new QTimer(this);
        connect(m_simulatorTimer, &QTimer::timeout, this, &CKavroDlg::OnSimulatorTick);
        m_simulatorTimer->start(kSimulatorMs);
    }
}

void CKavroDlg::RestartIdleTimer()
{
    if (m_idleTimer)
        m_idleTimer->start(m_idleCheckMs);
}

// A minute without traffic: ask for the model to see whether the camera is still there.
void CKavroDlg::OnIdleCheck()
{
    if (m_settings.offline || BlockingScope::IsActive())
        return;
    BlockingScope blocking;
    CommandValue model;
    SetCommStatus(m_engine->GetValue(CmdMD, 0, model, m_commandTimeoutMs, 0, 1) ? 1 : 0);
}

// With simulation on, lines that arrive are answered as a camera would.
void CKavroDlg::OnSimulatorTick()
{
    if (BlockingScope::IsActive() || m_engine->GetReplyCount() == 0)
        return;
    CommandFields fields;
    m_engine->PopAndParse(fields);
    if (fields.op == "?") {
        m_engine->ClearReplies();
        AnswerSimulatedQuery(fields.index);
    } else if (fields.op == "=") {
        std::string complete = "COMPLETE\r\n";
        m_engine->SendText(complete, 1);
    }
}

void CKavroDlg::AnswerSimulatedQuery(int index)
{
    std::string answer;
    if (index == CmdVN)
        answer = "321\r\n";
    else if (index == CmdEB)
        answer = "EB=0\r\n";
    else if (index == CmdEA)
        answer = "EA=" + std::to_string(m_currentArea) + "\r\n";
    if (!answer.empty()) {
        m_engine->SendText(answer, 1);
        return;
    }
    BlockingScope blocking;
    if (index >= 0)
        m_engine->SetInt(index, 0, m_params.Cur(index), m_commandTimeoutMs);
}
