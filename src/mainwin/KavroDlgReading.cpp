// Reading the camera's settings into the pages.
#include "mainwin/CKavroDlg.h"

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
#include "dialogs/BlockingScope.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/UiPrompts.h"
#include "params/ControlIds.h"
#include "params/CtrlTbl.h"

namespace {

const char kReadingCancelled[] = "Reading cancelled: %1 of %2 settings read.";
const char kReadingLineLost[] =
    "The line to the camera was lost: %1 of %2 settings read. Check the cable and the camera, then reload.";

std::string ConfiguredPort(const AppSettings& settings)
{
    return "COM" + std::to_string(settings.commPort + 1);
}

// Why the serial port would not open: for a device as far as the device
// shows it, for a port on another machine the connection's own report.
QString PortProblem(const AppSettings& settings, const SerialPort& port)
{
    if (settings.serialMode != LineComPort)
        return QString();
    const std::string device = port.ResolveDevice(ConfiguredPort(settings));
    if (NetworkPortName::HasPrefix(device))
        return "\n" + QString::fromStdString(port.OpenProblem());
    const QString where = QString::fromStdString(ConfiguredPort(settings) + " (" + device + ")");
    struct stat info {};
    if (stat(device.c_str(), &info) != 0)
        return "\n" + where + " does not exist: is the adapter plugged in, and is the port chosen right?";
    if (faccessat(AT_FDCWD, device.c_str(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES)
        return "\n" + where + " may not be used by this user.";
    return "\n" + where + " is in use by another program, or it is not a serial port.";
}

// What failed, and what the operator can do about it; on a Camera Link line
// the library's own account of why it would not open.
QString PortProblemDetails(const AppSettings& settings, const SerialPort& port, const ClSerialLib& camLink)
{
    if (settings.serialMode != LineComPort)
        return QString::fromStdString(camLink.OpenProblem());
    const std::string device = port.ResolveDevice(ConfiguredPort(settings));
    const std::string hint = PortAccessHint::For(device);
    const std::string& problem = port.OpenProblem();
    return QString::fromStdString(problem + (problem.empty() || hint.empty() ? "" : "\n") + hint);
}

}  // namespace

int CKavroDlg::ConnectCamera()
{
    if (!m_engine->OpenPort(static_cast<int>(m_settings.commPort))) {
        m_prompts.MessageWithDetails(this, "Failed to initialize!" + PortProblem(m_settings, m_port),
                                     EngineHost::kToolCaption, UiPrompts::Icon::Exclamation,
                                     PortProblemDetails(m_settings, m_port, m_camLink));
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

bool CKavroDlg::LineLost() const
{
    return m_engine->Interrupted() && !StopRequest::Stopping();
}

// Rows after a stop, a Cancel or a hang-up are not tried; the operator is
// told how far the reading came unless the tool is closing.
int CKavroDlg::ReadAllSettings()
{
    if (m_settings.offline)
        return 1;
    m_progress->Create(this);
    m_progress->SetMessage("Now, reading camera settings.");
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
        if (m_engine->GetInt(entry.commandIndex, 0, value, m_commandTimeoutMs)) {
            SetParam(entry.ctrlId, value);
            ++read;
        } else if (m_engine->Interrupted()) {
            break;
        }
        m_progress->SetPos(row * 100 / rows);
    }
    m_progress->SetPos(100);
    m_progress->Destroy();
    activateWindow();
    raise();
    if (StopRequest::CancelRaised())
        m_prompts.Message(this, QString(kReadingCancelled).arg(read).arg(readable), kToolCaption,
                          UiPrompts::Icon::Information);
    else if (LineLost())
        m_prompts.Message(this, QString(kReadingLineLost).arg(read).arg(readable), kToolCaption,
                          UiPrompts::Icon::Exclamation);
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
