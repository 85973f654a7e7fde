#include "session/CameraSession.h"

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "params/CtrlTbl.h"
#include "session/Operation.h"
#include "session/SessionHost.h"
#include "session/SessionTexts.h"

CameraSession::CameraSession(AppSettings& settings, SerialPort& port, ClSerialLib& camLink, SessionHost& host)
    : m_settings(settings), m_port(port), m_camLink(camLink), m_host(host)
{
    m_params.StoreDefaults();
}

CameraSession::~CameraSession()
{
    Close();
}

void CameraSession::Open()
{
    m_engine = std::make_unique<CRsCmd>(m_settings, m_port, m_camLink, m_host);
}

void CameraSession::Close()
{
    if (!m_engine)
        return;
    m_engine->ClosePort();
    m_engine.reset();
}

void CameraSession::ShowMessage(const std::string& text, bool warning)
{
    m_host.ShowMessage(text, EngineHost::kToolCaption, warning ? EngineHost::Icon::Exclamation : EngineHost::Icon::Information);
}

void CameraSession::ShowUnexpected(const char* where)
{
    ShowMessage(SessionTexts::Filled(SessionTexts::kUnexpected, where), true);
}

// ---- the value store ---------------------------------------------------------

int CameraSession::CtrlId2ParamIndex(int ctrlId)
{
    const int index = ParamStore::CommandOf(ctrlId);
    if (index < 0)
        ShowUnexpected("CtrlId2ParamIndex");
    return index;
}

int CameraSession::GetParam(int ctrlId)
{
    if (CtrlId2ParamIndex(ctrlId) < 0) {
        ShowUnexpected("GetParam");
        return -1;
    }
    return m_params.GetParam(ctrlId);
}

void CameraSession::SetParam(int ctrlId, int value)
{
    if (CtrlId2ParamIndex(ctrlId) < 0)
        return;
    if (m_params.SetParam(ctrlId, value) && m_startedUp) {
        const ParamStore::CoupledBound bound = ParamStore::LineCoupling(ctrlId, value);
        if (bound.ctrlId != 0)
            m_host.SetSpinBound(bound);
    }
}

void CameraSession::SendChangedParams()
{
    if (!m_startedUp || !m_params.HasChanges() || !m_engine)
        return;
    Operation operation;
    const auto send = [this](int commandIndex, int value) {
        return m_engine->SetInt(commandIndex, 0, value, m_limits.commandMs) != 0;
    };
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    // Every control bound to a refused command shows its value ("CM" has four).
    for (int commandIndex : m_params.SendChanges(send))
        for (int row = 0; row < CtrlTbl::Count(); ++row)
            if (rows[row].commandIndex == commandIndex && rows[row].ctrlId != 0)
                m_host.WriteCtrlValue(rows[row].ctrlId, m_params.Cur(commandIndex));
}

void CameraSession::CommitParams()
{
    m_params.Commit();
    m_host.ParamsCommitted();
}

void CameraSession::RefreshAllCtrls()
{
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int row = 0; row < CtrlTbl::Count(); ++row)
        if (rows[row].ctrlId != 0)
            m_host.WriteCtrlValue(rows[row].ctrlId, GetParam(rows[row].ctrlId));
}

// ---- the line's health and the simulator ------------------------------------

void CameraSession::CheckLine()
{
    if (m_settings.offline || Operation::IsRunning() || !m_engine)
        return;
    Operation operation;
    CommandValue model;
    m_host.SetCommStatus(m_engine->GetValue(CmdMD, 0, model, m_limits.commandMs, 0, 1) ? 1 : 0);
}

void CameraSession::AnswerAsCamera()
{
    if (Operation::IsRunning() || !m_engine || m_engine->GetReplyCount() == 0)
        return;
    CommandFields fields;
    m_engine->PopAndParse(fields);
    if (fields.op == "?") {
        m_engine->ClearReplies();
        AnswerQuery(fields.index);
    } else if (fields.op == "=") {
        std::string complete = "COMPLETE\r\n";
        m_engine->SendText(complete, 1);
    }
}

// A few queries have answers of their own; any other is answered with the
// setting line of the value the pages hold.
void CameraSession::AnswerQuery(int index)
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
    Operation operation;
    if (index >= 0)
        m_engine->SetInt(index, 0, m_params.Cur(index), m_limits.commandMs);
}
