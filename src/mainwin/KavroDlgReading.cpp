// Reading the camera's settings into the pages.
#include "mainwin/CKavroDlg.h"

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/PortAccessHint.h"
#include "comm/serial/SerialPort.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/UiPrompts.h"
#include "params/ControlIds.h"
#include "params/CtrlTbl.h"

namespace {

// Why the line would not open, and what the operator can do about it.
QString PortProblemDetails(const AppSettings& settings, const SerialPort& port, const ClSerialLib& camLink)
{
    if (settings.serialMode != LineComPort)
        return QString::fromStdString(camLink.OpenProblem());
    const std::string device = port.ResolveDevice("COM" + std::to_string(settings.commPort + 1));
    const std::string hint = PortAccessHint::For(device);
    const std::string& problem = port.OpenProblem();
    return QString::fromStdString(problem + (problem.empty() || hint.empty() ? "" : "\n") + hint);
}

}  // namespace

int CKavroDlg::ConnectCamera()
{
    if (!m_engine->OpenPort(static_cast<int>(m_settings.commPort))) {
        m_prompts.MessageWithDetails(this, "Failed to initialize!", EngineHost::kToolCaption,
                                     UiPrompts::Icon::Exclamation, PortProblemDetails(m_settings, m_port, m_camLink));
        m_engine->ClosePort();
        return 0;
    }
    return QueryCurrentArea();
}

int CKavroDlg::QueryCurrentArea()
{
    int area = 0;
    if (!m_engine->GetInt(CmdEA, 0, area, m_commandTimeoutMs))
        return 0;
    m_currentArea = area;
    return 1;
}

bool CKavroDlg::IsReadable(int row) const
{
    const CtrlTblEntry& entry = CtrlTbl::Rows()[row];
    return entry.commandIndex != -1 && entry.ctrlId != 0 && entry.access != AccessNever &&
           (entry.access == AccessBoth || m_settings.IsFactory());
}

int CKavroDlg::ReadAllSettings()
{
    if (m_settings.offline)
        return 1;
    m_progress->Create(this);
    m_progress->SetMessage("Now, reading camera settings.");
    const int rows = CtrlTbl::Count();
    for (int row = 0; row < rows; ++row) {
        if (!IsReadable(row))
            continue;
        const CtrlTblEntry& entry = CtrlTbl::Rows()[row];
        int value = 0;
        if (m_engine->GetInt(entry.commandIndex, 0, value, m_commandTimeoutMs))
            SetParam(entry.ctrlId, value);
        else if (m_engine->Interrupted())
            break;   // stopping, or the line hung up: no row left can be read
        m_progress->SetPos(row * 100 / rows);
    }
    m_progress->SetPos(100);
    m_progress->Destroy();
    activateWindow();
    raise();
    return 1;
}

void CKavroDlg::ReloadAll()
{
    BlockingScope blocking;
    ReadAllSettings();
    RefreshAllCtrls();
    CommitParams();
    SendChangedParams();
    CommitParams();
    RefreshAllCtrls();
    // The camera's test pattern is set once more from what the page shows.
    m_engine->SetInt(CmdTPN, 0, ReadCtrlValue(CtrlId::Bound(CmdTPN)), m_commandTimeoutMs);
    UpdateEnables(0, 0);
}

void CKavroDlg::OnReload()
{
    BlockingScope blocking;
    if (QueryCurrentArea())
        ReloadAll();
}

int CKavroDlg::ReloadCtrl(int ctrlId)
{
    BlockingScope blocking;
    const int row = CtrlTbl::FindByCtrl(ctrlId);
    const int command = row < 0 ? -1 : CtrlTbl::Rows()[row].commandIndex;
    CommandValue value;
    if (!m_engine->GetValue(command, 0, value, m_commandTimeoutMs, 1, 1))
        return 0;
    SetParam(ctrlId, value.intValue);
    WriteCtrlValue(ctrlId, value.intValue);
    return 1;
}
