// Transport and line readers of the command engine.
#include "comm/CRsCmd.h"

#include <chrono>
#include <thread>

#include "app/AppSettings.h"
#include "comm/SteadyClock.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"

namespace {

const char kOverflowText[] = "RS-232C receiving buffer overflowed";
const char kUnknownCommand[] = "01 Unknown Command!!";
constexpr int kByteTimeoutMs = 10;
constexpr int kClWriteTimeoutMs = 3000;

void CutLineEnd(std::string& text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
}

}  // namespace

bool CRsCmd::IsOffline() const
{
    return m_settings.offline != 0;
}

int CRsCmd::OpenPort(int portIndex)
{
    switch (m_settings.serialMode) {
    case LineComPort:
        return m_port.Open("COM" + std::to_string(portIndex + 1), BaudFromIndex(m_settings.baudIndex), 8, 0, 0, 0);
    case LineNone:
        return 1;
    default:
        return m_camLink.ClOpen() && m_camLink.ClSetBaud(BaudFromIndex(m_settings.baudIndex)) ? 1 : 0;
    }
}

int CRsCmd::ClosePort()
{
    if (m_settings.serialMode == LineComPort)
        m_port.Close();
    else if (m_settings.serialMode != LineNone)
        m_camLink.ClClose();
    return 1;
}

int CRsCmd::SendText(std::string& text, int mode)
{
    m_host.RestartIdleTimer();
    if (!IsOffline()) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
        const int count = static_cast<int>(text.size());
        if (m_settings.serialMode == LineComPort)
            m_port.Write(bytes, count);
        else
            m_camLink.ClWrite(bytes, count, kClWriteTimeoutMs);
    }
    if (mode == 1) {
        CutLineEnd(text);
        m_host.AddTraffic("Tx: " + text);
        m_host.AddMessage(text);
    }
    m_lastSentLine = text;
    return 1;
}

// Offline nothing is read and nothing is claimed: the result is always the
// number of bytes really stored.
int CRsCmd::ReadBytes(uint8_t* destination, int count, int timeoutMs)
{
    if (IsOffline())
        return 0;
    const long long start = SteadyMs();
    int taken = 0;
    while (taken < count) {
        const long long remaining = timeoutMs - (SteadyMs() - start);
        if (m_settings.serialMode == LineComPort) {
            if (m_port.Read(destination + taken, 1) == 1) {
                ++taken;
                continue;
            }
            if (remaining <= 0 || !m_port.IsOpen())
                break;
            m_port.WaitForData(static_cast<int>(remaining));
        } else {
            if (m_camLink.ClRead(destination + taken, 1, kByteTimeoutMs) == 1) {
                ++taken;
                continue;
            }
            if (remaining <= 0)
                break;
            // A closed channel answers at once; do not spin on it.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return taken;
}

void CRsCmd::ClearReplies()
{
    m_replyList.clear();
    m_rxLine.Reset();
}

int CRsCmd::GetReplyCount() const
{
    return static_cast<int>(m_replyList.size());
}

std::string CRsCmd::PopReply()
{
    if (IsOffline() || m_replyList.empty())
        return "";
    std::string line = m_replyList.front();
    m_replyList.pop_front();
    return line;
}

int CRsCmd::PopAndParse(CommandFields& fields)
{
    return ParseCommand(PopReply(), fields);
}

bool CRsCmd::ReadOneByte(uint8_t& byte)
{
    return ReadBytes(&byte, 1, kByteTimeoutMs) == 1;
}

void CRsCmd::FinishLine(const std::string& line, int logMode)
{
    m_replyList.push_back(line);
    if (logMode && !(line == kUnknownCommand && quietMode)) {
        m_host.AddTraffic("Rx: " + line);
        m_host.AddMessage(line);
    }
}

// Reads bytes until a line ends; false when the bytes ran out or the line overflowed.
bool CRsCmd::ReadLine(LineAssembler::Ending ending, std::string& line)
{
    uint8_t byte = 0;
    while (ReadOneByte(byte)) {
        const auto event = m_rxLine.Push(byte, ending);
        if (event == LineAssembler::Event::Overflow) {
            ShowError(kOverflowText);
            return false;
        }
        if (event == LineAssembler::Event::Line) {
            line = m_rxLine.TakeLine();
            return true;
        }
    }
    return false;
}

int CRsCmd::ReceiveLines(int logMode)
{
    if (IsOffline())
        return 1;
    std::string line;
    while (ReadLine(LineAssembler::Ending::LineFeed, line)) {
        FinishLine(line, logMode);
        if (line.compare(0, 2, "!!") != 0)
            return 1;
        m_replyList.pop_back();   // a notice: logged, never taken for a reply
    }
    return 0;
}

int CRsCmd::ReadLineCr(int logMode)
{
    if (IsOffline())
        return 1;
    std::string line;
    if (!ReadLine(LineAssembler::Ending::CarriageReturn, line))
        return 0;
    line = DecodeReply(line);
    m_replyList.push_back(line);
    if (logMode)
        m_host.AddTraffic("Rx: " + line);
    return 1;
}

bool CRsCmd::WaitForLine(int (CRsCmd::*reader)(int), int logMode, int timeoutMs, long long startMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    while ((this->*reader)(logMode) == 0) {
        if (SteadyMs() - startMs >= timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    return true;
}

void CRsCmd::OnTimer()
{
    ReceiveLines(1);
}
