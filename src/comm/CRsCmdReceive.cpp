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
    return settings_.offline != 0;
}

int CRsCmd::OpenPort(int portIndex)
{
    switch (settings_.serialMode) {
    case LineComPort:
        return port_.Open("COM" + std::to_string(portIndex + 1), BaudFromIndex(settings_.baudIndex), 8, 0, 0, 0);
    case LineNone:
        return 1;
    default:
        return camLink_.ClOpen() && camLink_.ClSetBaud(BaudFromIndex(settings_.baudIndex)) ? 1 : 0;
    }
}

int CRsCmd::ClosePort()
{
    if (settings_.serialMode == LineComPort)
        port_.Close();
    else if (settings_.serialMode != LineNone)
        camLink_.ClClose();
    return 1;
}

int CRsCmd::SendText(std::string& text, int mode)
{
    host_.RestartIdleTimer();
    if (!IsOffline()) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
        const int count = static_cast<int>(text.size());
        if (settings_.serialMode == LineComPort)
            port_.Write(bytes, count);
        else
            camLink_.ClWrite(bytes, count, kClWriteTimeoutMs);
    }
    if (mode == 1) {
        CutLineEnd(text);
        host_.AddTraffic("Tx: " + text);
        host_.AddMessage(text);
    }
    lastSentLine_ = text;
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
        if (settings_.serialMode == LineComPort) {
            if (port_.Read(destination + taken, 1) == 1) {
                ++taken;
                continue;
            }
            if (remaining <= 0 || !port_.IsOpen())
                break;
            port_.WaitForData(static_cast<int>(remaining));
        } else {
            if (camLink_.ClRead(destination + taken, 1, kByteTimeoutMs) == 1) {
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
    replyList_.clear();
    rxLine_.Reset();
}

int CRsCmd::GetReplyCount() const
{
    return static_cast<int>(replyList_.size());
}

std::string CRsCmd::PopReply()
{
    if (IsOffline() || replyList_.empty())
        return "";
    std::string line = replyList_.front();
    replyList_.pop_front();
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
    replyList_.push_back(line);
    if (logMode && !(line == kUnknownCommand && quietMode)) {
        host_.AddTraffic("Rx: " + line);
        host_.AddMessage(line);
    }
}

int CRsCmd::ReceiveLines(int logMode)
{
    if (IsOffline())
        return 1;
    uint8_t byte = 0;
    while (ReadOneByte(byte)) {
        const auto event = rxLine_.Push(byte, LineAssembler::Ending::LineFeed);
        if (event == LineAssembler::Event::Overflow) {
            ShowError(kOverflowText);
            return 0;
        }
        if (event == LineAssembler::Event::Pending)
            continue;
        const std::string line = rxLine_.TakeLine();
        FinishLine(line, logMode);
        if (line.compare(0, 2, "!!") != 0)
            return 1;
        replyList_.pop_back();   // a notice: logged, never taken for a reply
    }
    return 0;
}

int CRsCmd::ReadLineCr(int logMode)
{
    if (IsOffline())
        return 1;
    uint8_t byte = 0;
    while (ReadOneByte(byte)) {
        const auto event = rxLine_.Push(byte, LineAssembler::Ending::CarriageReturn);
        if (event == LineAssembler::Event::Overflow) {
            ShowError(kOverflowText);
            return 0;
        }
        if (event == LineAssembler::Event::Pending)
            continue;
        const std::string line = DecodeReply(rxLine_.TakeLine());
        replyList_.push_back(line);
        if (logMode)
            host_.AddTraffic("Rx: " + line);
        return 1;
    }
    return 0;
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
