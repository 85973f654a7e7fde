#include "comm/CRsCmd.h"

#include <cctype>

#include "app/AppSettings.h"
#include "comm/NumberText.h"
#include "comm/SteadyClock.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"

namespace {

const char kCommError[] = "Communication Error";
const char kNoAnswer[] =
    "No answer from Camera! (Timeout error)\nCheck power on Camera or serial cable connection.";

// Rows whose value the camera holds in another unit than the pages show.
int ScaleForCamera(int index, int value)
{
    if (index == CmdAGCF)
        return value * 16;
    if (index >= CmdBL && index <= CmdBLB)
        return value + 511;
    return value;
}

int ScaleFromCamera(int index, int value)
{
    if (index == CmdAGCF)
        return value >> 4;
    if (index >= CmdBL && index <= CmdBLB)
        return value - 511;
    return value;
}

bool StartsWithComplete(const std::string& reply)
{
    static const char kComplete[] = "COMPLETE";
    if (reply.size() < 8)
        return false;
    for (int i = 0; i < 8; ++i)
        if (std::toupper(static_cast<unsigned char>(reply[i])) != kComplete[i])
            return false;
    return true;
}

// Sets a flag for the lifetime of a scope.
class QuietScope {
public:
    QuietScope(uint32_t& flag, bool active) : flag_(flag), active_(active) { if (active_) flag_ = 1; }
    ~QuietScope() { if (active_) flag_ = 0; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    uint32_t& flag_;
    bool active_;
};

}  // namespace

CRsCmd::CRsCmd(AppSettings& settings, SerialPort& port, ClSerialLib& camLink, EngineHost& host)
    : settings_(settings), port_(port), camLink_(camLink), host_(host), format_(settings)
{
    camLink_.SetMessageSink([this](const std::string& text) {
        host_.ShowMessage(text, EngineHost::kToolCaption, EngineHost::Icon::Exclamation);
    });
}

CRsCmd::~CRsCmd()
{
    camLink_.SetMessageSink(nullptr);
}

void CRsCmd::ShowError(const std::string& text)
{
    host_.ShowMessage(text, kCommError, EngineHost::Icon::Exclamation);
}

void CRsCmd::ShowReplyFailure(const std::string& reply, const std::string& command)
{
    ShowError(reply + " for " + command);
}

void CRsCmd::ShowNoAnswer()
{
    ShowError(kNoAnswer);
}

int CRsCmd::WaitComplete(int timeoutMs)
{
    if (IsOffline())
        return 1;
    host_.SetWaitCursor(true);
    if (!WaitForLine(&CRsCmd::ReceiveLines, 1, timeoutMs, SteadyMs())) {
        host_.SetWaitCursor(false);
        host_.SetCommStatus(0);
        return 0;
    }
    const std::string reply = PopReply();
    host_.SetWaitCursor(false);
    const int result = StartsWithComplete(reply) ? 1 : 0;
    if (!result && !quietMode)
        ShowReplyFailure(reply, lastSentLine_);
    host_.SetCommStatus(1);
    return result;
}

int CRsCmd::WaitCompleteCr(int timeoutMs)
{
    if (IsOffline())
        return 1;
    host_.SetWaitCursor(true);
    if (!WaitForLine(&CRsCmd::ReadLineCr, 1, timeoutMs, SteadyMs())) {
        host_.SetWaitCursor(false);
        ShowNoAnswer();
        return 0;
    }
    const std::string reply = PopReply();
    host_.SetWaitCursor(false);
    if (StartsWithComplete(reply))
        return 1;
    ShowReplyFailure(reply, lastSentLine_);
    return 0;
}

int CRsCmd::SetValue(int index, int channel, const CommandValue& value, int timeoutMs)
{
    ClearReplies();
    std::string line = format_.FormatSet(index, channel, value, 1);
    if (settings_.commandFormat == 0) {
        SendText(line, 1);
        return WaitComplete(timeoutMs);
    }
    line = format_.EncodeRegisterBase(line);
    if (line.empty())
        return 0;
    SendText(line, 1);
    return WaitCompleteCr(timeoutMs);
}

int CRsCmd::SetInt(int index, int channel, int value, int timeoutMs)
{
    if (index == CmdNone)
        return 1;
    if (!format_.IsValidIndex(index))
        return 0;
    QuietScope quiet(quietMode, index == CmdPSCM);
    CommandValue commandValue;
    commandValue.intValue = ScaleForCamera(index, value);
    return SetValue(index, channel, commandValue, timeoutMs);
}

int CRsCmd::SetText(int index, int channel, const std::string& text, int timeoutMs)
{
    if (index == CmdNone)
        return 1;
    if (!format_.IsValidIndex(index))
        return 0;
    CommandEntry& row = format_.Row(index);
    const int32_t previousKind = row.kind;
    row.kind = KindText;
    CommandValue value;
    value.kind = KindText;
    value.text = text;
    const int result = SetValue(index, channel, value, timeoutMs);
    row.kind = previousKind;
    return result;
}

int CRsCmd::GetValue(int index, int channel, CommandValue& value, int timeoutMs, int showErrors, int logMode)
{
    if (!format_.IsValidIndex(index))
        return 0;
    ClearReplies();
    std::string query = format_.FormatQuery(index, channel, 1);
    SendText(query, logMode);
    const long long start = SteadyMs();
    if (IsOffline())
        return 0;
    if (!WaitForLine(&CRsCmd::ReceiveLines, logMode, timeoutMs, start)) {
        if (showErrors == 1)
            host_.SetCommStatus(0);
        return 0;
    }
    CommandFields fields;
    PopAndParse(fields);
    if (fields.error || fields.name != format_.Row(index).mnemonic) {
        if (!quietMode && showErrors == 1)
            ShowReplyFailure(fields.text, format_.FormatQuery(index, channel, 0));
        return 0;
    }
    value.kind = fields.kind;
    value.intValue = fields.intValue;
    value.floatValue = fields.floatValue;
    value.text = fields.textValue;
    host_.SetCommStatus(1);
    return 1;
}

int CRsCmd::GetValueReg(int index, int channel, CommandValue& value, int timeoutMs)
{
    if (!format_.IsValidIndex(index))
        return 0;
    ClearReplies();
    std::string line = format_.EncodeRegisterBase(format_.FormatQuery(index, channel, 1));
    if (line.empty())
        return 0;
    line += "\r\n";
    SendText(line, 1);
    const long long start = SteadyMs();
    if (IsOffline())
        return 0;
    if (!WaitForLine(&CRsCmd::ReadLineCr, 1, timeoutMs, start)) {
        ShowNoAnswer();
        return 0;
    }
    CommandFields fields;
    const int parsed = PopAndParse(fields);
    // A reply that does not parse yields nothing, not stale numbers.
    value.kind = fields.kind;
    value.intValue = parsed ? fields.intValue : 0;
    value.floatValue = parsed ? fields.floatValue : 0.0;
    value.text = parsed ? fields.textValue : "";
    return parsed;
}

int CRsCmd::GetInt(int index, int channel, int& intOut, int timeoutMs)
{
    QuietScope quiet(quietMode, index == CmdPSCM);
    CommandValue value;
    const int result = settings_.commandFormat == 1 ? GetValueReg(index, channel, value, timeoutMs)
                                                    : GetValue(index, channel, value, timeoutMs, 1, 1);
    intOut = ScaleFromCamera(index, value.intValue);
    return result;
}

int CRsCmd::QueryRaw(int& intOut, const std::string& text, int timeoutMs)
{
    ClearReplies();
    std::string line = text;
    SendText(line, 1);
    const long long start = SteadyMs();
    if (!WaitForLine(&CRsCmd::ReceiveLines, 1, timeoutMs, start)) {
        host_.SetCommStatus(0);
        return 0;
    }
    CommandFields fields;
    PopAndParse(fields);
    intOut = NumberText::AutoBase(fields.param1);
    host_.SetCommStatus(1);
    return 1;
}

std::string CRsCmd::FormatSet(int index, int channel, const CommandValue& value, int withLineEnd) const
{
    return format_.FormatSet(index, channel, value, withLineEnd);
}

std::string CRsCmd::FormatQuery(int index, int channel, int withLineEnd) const
{
    return format_.FormatQuery(index, channel, withLineEnd);
}

int CRsCmd::ParseCommand(const std::string& line, CommandFields& fields) const
{
    return format_.ParseCommand(line, fields);
}

std::string CRsCmd::GetMnemonic(int index) const
{
    return format_.GetMnemonic(index);
}

std::string CRsCmd::EncodeRegisterBase(const std::string& command)
{
    return format_.EncodeRegisterBase(command);
}

std::string CRsCmd::DecodeReply(const std::string& line) const
{
    return format_.DecodeReply(line);
}
