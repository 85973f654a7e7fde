// Transport and line readers of the command engine.
#include "comm/CRsCmd.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "settings/AppSettings.h"
#include "comm/SteadyClock.h"
#include "comm/StopRequest.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "comm/serial/SignalHold.h"

namespace {

const char kOverflowText[] = "RS-232C receiving buffer overflowed";
const char kUnknownCommand[] = "01 Unknown Command!!";
const char kAfterAnswer[] = " after the answer to ";
// The longest a reader waits for one byte before it looks at the stop
// request, the hang-up and the deadline again.
constexpr int kByteTimeoutMs = 10;
// The Camera Link libraries have no watcher to wake a waiting reader: they
// are asked for a byte at this step.
constexpr int kClPollMs = 1;
constexpr int kClWriteTimeoutMs = 3000;

// Marks a wait in progress with its deadline; a wait nested in a message box
// of another gives the outer one its deadline back.
class WaitScope {
public:
    WaitScope(int& depth, long long& deadline, long long newDeadline)
        : m_depth(depth), m_deadline(deadline), m_outerDeadline(deadline)
    {
        ++m_depth;
        m_deadline = newDeadline;
    }
    ~WaitScope()
    {
        --m_depth;
        m_deadline = m_outerDeadline;
    }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    int& m_depth;
    long long& m_deadline;
    long long m_outerDeadline;
};

// The Camera Link library of a line kind, taken at each call: kind 1 is a
// grabber's own library, 2 the maker library, any other the all-ports library.
ClSerialLib::Kind CamLinkKind(const AppSettings& settings)
{
    switch (settings.serialMode) {
    case LineClSpec2000:
        return ClSerialLib::Grabber;
    case LineClSpec2001:
        return ClSerialLib::Maker;
    default:
        return ClSerialLib::AllPorts;
    }
}

// The channel the communication window chose for that library.
ClSerialLib::Selection CamLinkLine(const AppSettings& settings)
{
    ClSerialLib::Selection line;
    line.kind = CamLinkKind(settings);
    line.name = settings.selectedPortName;
    if (line.kind == ClSerialLib::Maker)
        line.channel = settings.camLinkSerialIndex;
    else if (line.kind == ClSerialLib::AllPorts)
        line.channel = settings.dllNo;
    return line;
}

bool IsNotice(const std::string& line)
{
    return line.compare(0, 2, "!!") == 0;
}

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

bool CRsCmd::LineHungUp() const
{
    return m_settings.serialMode == LineComPort && m_port.HungUp();
}

bool CRsCmd::PortClosed() const
{
    return m_settings.serialMode == LineComPort && !m_port.IsOpen();
}

uint32_t CRsCmd::ReplyWaitMs() const
{
    return BoundedReplyWait(m_settings.replyWaitMs);
}

// The default reply wait keeps the tool's long-standing timing to the byte; an
// operator who chose a shorter one chose the line's own pace.
bool CRsCmd::WholeLines() const
{
    return ReplyWaitMs() < kReplyWaitLongestMs;
}

LineAssembler::Ending CRsCmd::ReplyEnding() const
{
    return m_settings.commandFormat == 1 ? LineAssembler::Ending::CarriageReturn : LineAssembler::Ending::LineFeed;
}

bool CRsCmd::Interrupted() const
{
    return StopRequest::Stopping() || LineHungUp();
}

int CRsCmd::OpenPort(int portIndex)
{
    switch (m_settings.serialMode) {
    case LineComPort:
        return m_port.Open("COM" + std::to_string(portIndex + 1), BaudFromIndex(m_settings.baudIndex), 8, 0, 0, 0);
    case LineNone:
        return 1;
    default: {
        const ClSerialLib::Selection line = CamLinkLine(m_settings);
        return m_camLink.ClOpen(line) && m_camLink.ClSetBaud(line, BaudFromIndex(m_settings.baudIndex)) ? 1 : 0;
    }
    }
}

int CRsCmd::ClosePort()
{
    if (m_settings.serialMode == LineComPort)
        m_port.Close();
    else if (m_settings.serialMode != LineNone)
        m_camLink.ClClose(CamLinkKind(m_settings));
    return 1;
}

int CRsCmd::SendText(std::string& text, int mode)
{
    m_host.RestartIdleTimer();
    if (!IsOffline()) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
        const int count = static_cast<int>(text.size());
        const SignalHold wholeLine;   // a stop takes effect once the line is out
        if (m_settings.serialMode == LineComPort)
            m_port.Write(bytes, count, WholeLines() ? SerialPort::Pace::AllAtOnce : SerialPort::Pace::ByteByByte);
        else
            m_camLink.ClWrite(CamLinkKind(m_settings), bytes, count, kClWriteTimeoutMs);
    }
    m_sentAt = std::chrono::steady_clock::now();
    if (mode == 1) {
        CutLineEnd(text);
        m_host.AddTraffic("Tx: " + text);
        m_host.AddMessage(text);
    }
    m_lastSentLine = text;
    return 1;
}

int CRsCmd::SendCommand(std::string& text, int mode)
{
    DropReceived(mode);
    return SendText(text, mode);
}

// Offline nothing is read and nothing is claimed: the result is always the
// number of bytes really stored. A closed or hung-up port gives nothing at once.
int CRsCmd::ReadBytes(uint8_t* destination, int count, int timeoutMs)
{
    if (IsOffline())
        return 0;
    const long long deadline = SteadyMs() + timeoutMs;
    int taken = 0;
    while (taken < count) {
        const int remaining = static_cast<int>(std::max(deadline - SteadyMs(), 0LL));
        const bool got = m_settings.serialMode == LineComPort ? ReadPortByte(destination + taken, remaining)
                                                               : ReadCamLinkByte(destination + taken, remaining);
        if (got)
            ++taken;
        else if (remaining == 0 || (m_settings.serialMode == LineComPort && (PortClosed() || LineHungUp())))
            break;
    }
    return taken;
}

// Sleeps on the watcher's signal until a byte is in, the port closes or hangs up, or the time is over.
bool CRsCmd::ReadPortByte(uint8_t* destination, int timeoutMs)
{
    if (m_port.Read(destination, 1) == 1)
        return true;
    if (timeoutMs <= 0)
        return false;
    m_port.WaitForData(timeoutMs);
    return m_port.Read(destination, 1) == 1;
}

// The library waits for the byte itself, at most one step; one that returns
// at once is not asked again before the step is over, so no core is burnt.
bool CRsCmd::ReadCamLinkByte(uint8_t* destination, int timeoutMs)
{
    const auto stepEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::min(timeoutMs, kClPollMs));
    if (m_camLink.ClRead(CamLinkKind(m_settings), destination, 1, std::min(timeoutMs, kClPollMs)) == 1)
        return true;
    std::this_thread::sleep_until(stepEnd);
    return false;
}

// What came before a command cannot answer it. Lines already complete are
// logged as they came and then dropped with the partial line and every reply
// not yet taken; all but notices count as unasked. Never more than a line's
// capacity of bytes, so a camera that talks without end cannot hold the
// command back.
void CRsCmd::DropReceived(int logMode)
{
    uint8_t byte = 0;
    for (size_t taken = 0; taken < LineAssembler::kCapacity && ReadBytes(&byte, 1, 0) == 1; ++taken) {
        if (m_rxLine.Push(byte, ReplyEnding()) == LineAssembler::Event::Line)
            FinishLine(m_rxLine.TakeLine(), logMode);
    }
    if (m_rxLine.PartialLength() > 0)
        m_replyList.push_back(m_rxLine.Partial());
    for (const std::string& line : m_replyList) {
        if (!IsNotice(line)) {
            ++m_unaskedCount;
            m_lastUnasked = line;
        }
    }
    ClearReplies();
}

void CRsCmd::ClearReplies()
{
    m_replyList.clear();
    m_rxLine.Reset();
    m_lastWaitUnanswered = false;   // every command starts here
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

void CRsCmd::FinishLine(const std::string& line, int logMode)
{
    m_replyList.push_back(line);
    if (logMode && !(line == kUnknownCommand && quietMode)) {
        m_host.AddTraffic("Rx: " + line);
        m_host.AddMessage(line);
    }
}

// Inside a wait the readers keep the wait's deadline; a call of its own (the
// timer's) takes no longer than one timer period.
long long CRsCmd::ReadDeadline() const
{
    return m_waitDepth > 0 ? m_waitDeadlineMs : SteadyMs() + kTimerPeriodMs;
}

// Reads bytes until a line ends; false when the bytes ran out or the line
// overflowed. Control comes back after one line, after a line's capacity of
// bytes, at the deadline (only bytes already received are taken after it) or
// on a stop, so a line that never stops talking cannot hold the caller.
bool CRsCmd::ReadLine(LineAssembler::Ending ending, std::string& line)
{
    const long long deadline = ReadDeadline();
    m_lineRanDry = false;
    uint8_t byte = 0;
    for (size_t taken = 0; taken < LineAssembler::kCapacity && !StopRequest::Stopping(); ++taken) {
        const long long left = std::clamp(deadline - SteadyMs(), 0LL, static_cast<long long>(kByteTimeoutMs));
        if (ReadBytes(&byte, 1, static_cast<int>(left)) != 1) {
            m_lineRanDry = true;
            return false;
        }
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

// One line at most: a notice is logged and dropped, and the caller decides
// whether to read on.
int CRsCmd::ReceiveLines(int logMode)
{
    if (IsOffline())
        return 1;
    std::string line;
    if (!ReadLine(LineAssembler::Ending::LineFeed, line))
        return 0;
    FinishLine(line, logMode);
    if (!IsNotice(line))
        return 1;
    m_replyList.pop_back();   // a notice: logged, never taken for a reply
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

// Ends with a reply, however it reached the list (a message box shown during
// the wait runs timers), at the deadline whatever the line sends, and at once
// on a stop, a Cancel or once a hung-up line is read out. The reader sleeps
// until bytes arrive, so the reply is taken the moment its line is complete;
// while the line is quiet the host serves its windows between reader calls.
bool CRsCmd::WaitForLine(LineReader reader, int logMode, int timeoutMs)
{
    using namespace std::chrono;
    const long long sentMs = duration_cast<milliseconds>(m_sentAt.time_since_epoch()).count();
    WaitScope waiting(m_waitDepth, m_waitDeadlineMs, sentMs + timeoutMs);
    m_lastWaitUnanswered = false;
    // While the command and its reply cross the line the windows are served:
    // that time is the line's, and a fast reading would otherwise pay for
    // every paint between two commands.
    m_host.WhileWaiting();
    PauseBeforeFirstLook();
    for (;;) {
        if (!m_replyList.empty() || (this->*reader)(logMode))
            return true;
        if (WaitEndsEarly())
            return false;
        if (SteadyMs() >= m_waitDeadlineMs) {
            m_lastWaitUnanswered = true;
            return false;
        }
        if (!m_lineRanDry)
            continue;
        m_host.WhileWaiting();   // may raise a Cancel, seen at the next look
        // A closed port gives nothing at once: the wait runs out its time asleep.
        if (PortClosed())
            std::this_thread::sleep_for(milliseconds(std::clamp(m_waitDeadlineMs - SteadyMs(), 0LL,
                                                                static_cast<long long>(kByteTimeoutMs))));
    }
}

// The camera is given the reply wait after the command before its reply is
// first looked for, never beyond the wait's deadline.
void CRsCmd::PauseBeforeFirstLook() const
{
    using namespace std::chrono;
    const steady_clock::time_point deadline{milliseconds(m_waitDeadlineMs)};
    std::this_thread::sleep_until(std::min(m_sentAt + milliseconds(ReplyWaitMs()), deadline));
}

// A stop or a Cancel ends a wait at once; a hang-up once the bytes that came before it are read.
bool CRsCmd::WaitEndsEarly() const
{
    return StopRequest::Stopping() || (m_lineRanDry && LineHungUp());
}

void CRsCmd::StartSeries()
{
    m_seriesMark = m_unaskedCount;
}

int CRsCmd::EndSeries(int quietMs, const std::string& lastCommand)
{
    if (IsOffline())
        return 1;
    WaitScope waiting(m_waitDepth, m_waitDeadlineMs, SteadyMs() + quietMs);
    while (m_replyList.empty() && !ReceiveLines(1)) {
        if (WaitEndsEarly())
            return 0;
        if (SteadyMs() >= m_waitDeadlineMs)
            break;
    }
    DropReceived(1);   // whatever came now counts as unasked too
    if (m_unaskedCount == m_seriesMark)
        return 1;
    std::string command = lastCommand;
    CutLineEnd(command);
    ShowError(m_lastUnasked + kAfterAnswer + command);
    return 0;
}

void CRsCmd::OnTimer()
{
    if (m_waitDepth == 0)
        ReceiveLines(1);
}
