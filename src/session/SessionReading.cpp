// Reading the camera's settings into the value store and the pages.
#include "session/CameraSession.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/StopRequest.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/NetworkPortName.h"
#include "comm/serial/PortAccessHint.h"
#include "comm/serial/SerialPort.h"
#include "params/ControlIds.h"
#include "params/CtrlTbl.h"
#include "session/Operation.h"
#include "session/SessionHost.h"
#include "session/SessionTexts.h"

namespace {

std::string ConfiguredPort(const AppSettings& settings)
{
    return "COM" + std::to_string(settings.commPort + 1);
}

// Why the serial port would not open: for a device as far as the device
// shows it, for a port on another machine the connection's own report.
std::string PortProblem(const AppSettings& settings, const SerialPort& port)
{
    if (settings.serialMode != LineComPort)
        return std::string();
    const std::string device = port.ResolveDevice(ConfiguredPort(settings));
    if (NetworkPortName::HasPrefix(device))
        return "\n" + port.OpenProblem();
    const std::string where = "\n" + ConfiguredPort(settings) + " (" + device + ")";
    struct stat info {};
    if (stat(device.c_str(), &info) != 0)
        return where + SessionTexts::kPortMissing;
    if (faccessat(AT_FDCWD, device.c_str(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES)
        return where + SessionTexts::kPortDenied;
    return where + SessionTexts::kPortBusy;
}

// What failed, and what the operator can do about it; on a Camera Link line
// the library's own account of why it would not open.
std::string PortProblemDetails(const AppSettings& settings, const SerialPort& port, const ClSerialLib& camLink)
{
    if (settings.serialMode != LineComPort)
        return camLink.OpenProblem();
    const std::string hint = PortAccessHint::For(port.ResolveDevice(ConfiguredPort(settings)));
    const std::string& problem = port.OpenProblem();
    return problem + (problem.empty() || hint.empty() ? "" : "\n") + hint;
}

}  // namespace

int CameraSession::ConnectCamera()
{
    if (!m_engine)
        return 0;
    if (!m_engine->OpenPort(static_cast<int>(m_settings.commPort))) {
        m_host.ShowMessageWithDetails(SessionTexts::kFailedToInitialize + PortProblem(m_settings, m_port),
                                      EngineHost::kToolCaption, EngineHost::Icon::Exclamation,
                                      PortProblemDetails(m_settings, m_port, m_camLink));
        m_engine->ClosePort();
        return 0;
    }
    return QueryCurrentArea();
}

int CameraSession::QueryCurrentArea()
{
    int area = 0;
    if (!m_engine || !m_engine->GetInt(CmdEA, 0, area, m_limits.commandMs))
        return 0;
    m_currentArea = area;
    return 1;
}

bool CameraSession::IsReadable(int row) const
{
    const CtrlTblEntry& entry = CtrlTbl::Rows()[row];
    return entry.commandIndex != -1 && entry.ctrlId != 0 && entry.access != AccessNever &&
           (entry.access == AccessBoth || m_settings.IsFactory());
}

// The line hung up: what the operation did not do was not the operator's choice.
bool CameraSession::LineLost() const
{
    return m_engine && m_engine->Interrupted() && !StopRequest::Stopping();
}

// Rows after a stop, a Cancel or a hang-up are not tried; the operator is
// told how far the reading came unless the tool is closing.
int CameraSession::ReadAllSettings()
{
    if (m_settings.offline || !m_engine)
        return 1;
    m_host.ShowProgress(SessionTexts::kReadingSettings);
    const int rows = CtrlTbl::Count();
    int readable = 0;
    int read = 0;
    for (int row = 0; row < rows; ++row)
        readable += IsReadable(row) ? 1 : 0;
    for (int row = 0; row < rows; ++row) {
        if (!IsReadable(row))
            continue;
        const CtrlTblEntry& entry = CtrlTbl::Rows()[row];
        int value = 0;
        if (m_engine->GetInt(entry.commandIndex, 0, value, m_limits.commandMs)) {
            SetParam(entry.ctrlId, value);
            ++read;
        } else if (m_engine->Interrupted()) {
            break;
        }
        m_host.SetProgress(row * 100 / rows);
    }
    m_host.SetProgress(100);
    m_host.CloseProgress();
    m_host.ActivateMainWindow(true);
    if (StopRequest::CancelRaised())
        ShowMessage(SessionTexts::Filled(SessionTexts::kReadingCancelled, read, readable), false);
    else if (LineLost())
        ShowMessage(SessionTexts::Filled(SessionTexts::kReadingLineLost, read, readable), true);
    return 1;
}

void CameraSession::ReloadAll()
{
    if (!m_engine)
        return;
    Operation operation;
    ReadAllSettings();
    RefreshAllCtrls();
    CommitParams();
    SendChangedParams();
    CommitParams();
    RefreshAllCtrls();
    // The camera's test pattern is set once more from what the page shows.
    m_engine->SetInt(CmdTPN, 0, m_host.ReadCtrlValue(CtrlId::Bound(CmdTPN)), m_limits.commandMs);
    m_host.UpdateEnables(0, 0);
}

void CameraSession::Reload()
{
    Operation operation;
    if (QueryCurrentArea())
        ReloadAll();
}

int CameraSession::ReloadCtrl(int ctrlId)
{
    if (!m_engine)
        return 0;
    Operation operation;
    const int row = CtrlTbl::FindByCtrl(ctrlId);
    const int command = row < 0 ? -1 : CtrlTbl::Rows()[row].commandIndex;
    CommandValue value;
    if (!m_engine->GetValue(command, 0, value, m_limits.commandMs, 1, 1))
        return 0;
    SetParam(ctrlId, value.intValue);
    m_host.WriteCtrlValue(ctrlId, value.intValue);
    return 1;
}

// A setting that is not answered keeps its old value; the others are still
// read. The number answered.
int CameraSession::ReloadCtrls(const std::vector<int>& ctrlIds)
{
    int answered = 0;
    for (int ctrlId : ctrlIds)
        answered += ReloadCtrl(ctrlId);
    CommitParams();
    return answered;
}
