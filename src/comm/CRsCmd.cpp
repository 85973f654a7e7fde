#include "comm/CRsCmd.h"

#include <cctype>
#include <climits>

#include "settings/AppSettings.h"
#include "comm/NumberText.h"
#include "comm/StopRequest.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"

namespace {

bool FitsInt(long long value)
{
    return value >= INT_MIN && value <= INT_MAX;
}

// Rows whose value the camera holds in another unit than the pages show.
long long ScaleForCamera(int index, int value)
{
    if (index == CmdAGCF)
        return value * 16LL;
    if (index >= CmdBL && index <= CmdBLB)
        return value + 511LL;
    return value;
}

// A value off the wire may be anything: the result is clamped, never wrapped.
int ScaleFromCamera(int index, int value)
{
    if (index == CmdAGCF)
        return value >> 4;
    if (index >= CmdBL && index <= CmdBLB)
        return NumberText::ClampToInt(value - 511LL);
    return value;
}

bool StartsWithComplete(const std::string& reply)
{
    static const char kComplete[] = "COMPLETE";
    if (reply.size() < 8)
        return false;
    for (size_t i = 0; i < 8; ++i)
        if (std::toupper(static_cast<unsigned char>(reply[i])) != kComplete[i])
            return false;
    return true;
}

// Sets a flag for the lifetime of a scope.
class QuietScope {
public:
    QuietScope(uint32_t& flag, bool active) : m_flag(flag), m_active(active) { if (m_active) m_flag = 1; }
    ~QuietScope() { if (m_active) m_flag = 0; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    uint32_t& m_flag;
    bool m_active;
};

}  // namespace

CRsCmd::CRsCmd(AppSettings& settings, SerialPort& port, ClSerialLib& camLink, EngineHost& host)
    : m_settings(settings), m_port(port), m_camLink(camLink), m_host(host), m_format(settings)
{
    m_camLink.SetMessageSink([this](const std::string& text) {
        m_host.ShowMessage(text, EngineHost::kToolCaption, EngineHost::Icon::Exclamation);
    });
    m_port.SetLockWaitNotice([this](bool waiting) { m_host.SetWaitCursor(waiting); });
}

CRsCmd::~CRsCmd()
{
    m_camLink.SetMessageSink(nullptr);
    m_port.SetLockWaitNotice(nullptr);
}

// While the tool stops no box may hold it up; a Cancel has its own report.
void CRsCmd::ShowError(const std::string& text)
{
    if (StopRequest::Stopping())
        return;
    m_host.ShowMessage(text, kCommError, EngineHost::Icon::Exclamation);
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
    m_host.SetWaitCursor(true);
    if (!WaitForLine(&CRsCmd::ReceiveLines, 1, timeoutMs)) {
        m_host.SetWaitCursor(false);
        m_host.SetCommStatus(0);
        return 0;
    }
    const std::string reply = PopReply();
    m_host.SetWaitCursor(false);
    const int result = StartsWithComplete(reply) ? 1 : 0;
    if (!result && !quietMode)
        ShowReplyFailure(reply, m_lastSentLine);
    m_host.SetCommStatus(1);
    return result;
}

int CRsCmd::WaitCompleteCr(int timeoutMs)
{
    if (IsOffline())
        return 1;
    m_host.SetWaitCursor(true);
    if (!WaitForLine(&CRsCmd::ReadLineCr, 1, timeoutMs)) {
        m_host.SetWaitCursor(false);
        ShowNoAnswer();
        return 0;
    }
    const std::string reply = PopReply();
    m_host.SetWaitCursor(false);
    if (StartsWithComplete(reply))
        return 1;
    ShowReplyFailure(reply, m_lastSentLine);
    return 0;
}

// No command goes out after a stop or on a line that hung up; a line that
// hung up between two commands shows offline at the next.
bool CRsCmd::Refused()
{
    if (LineHungUp())
        m_host.SetCommStatus(0);
    return Interrupted();
}

// A text row's value goes on the line as it is, so a line end in it would
// send a second command.
bool CRsCmd::CanSend(int index, const CommandValue& value, int32_t kind)
{
    if (Refused())
        return false;
    if (kind == KindText && CommandFormat::HoldsControlCharacter(value.text)) {
        ShowError(m_format.GetMnemonic(index) + ": a text with control characters is not sent");
        return false;
    }
    return true;
}

int CRsCmd::SetValue(int index, int channel, const CommandValue& value, int timeoutMs)
{
    if (!m_format.IsValidIndex(index))
        return 0;
    return SetValueAs(m_format.Row(index).kind, index, channel, value, timeoutMs);
}

// The value travels as `kind`, whatever the row's own kind.
int CRsCmd::SetValueAs(int32_t kind, int index, int channel, const CommandValue& value, int timeoutMs)
{
    if (!CanSend(index, value, kind))
        return 0;
    std::string line = m_format.FormatSet(index, channel, value, 1, kind);
    if (m_settings.commandFormat == 0) {
        SendCommand(line, 1);
        return WaitComplete(timeoutMs);
    }
    line = m_format.EncodeRegisterBase(line, kind);
    if (line.empty())
        return 0;
    SendCommand(line, 1);
    return WaitCompleteCr(timeoutMs);
}

int CRsCmd::SetInt(int index, int channel, int value, int timeoutMs)
{
    if (index == CmdNone)
        return 1;
    if (!m_format.IsValidIndex(index))
        return 0;
    const long long scaled = ScaleForCamera(index, value);
    if (!FitsInt(scaled)) {
        ShowError(m_format.GetMnemonic(index) + ": " + std::to_string(value) + " does not fit the camera's register");
        return 0;
    }
    QuietScope quiet(quietMode, index == CmdPSCM);
    CommandValue commandValue;
    commandValue.intValue = static_cast<int32_t>(scaled);
    return SetValue(index, channel, commandValue, timeoutMs);
}

int CRsCmd::SetText(int index, int channel, const std::string& text, int timeoutMs)
{
    if (index == CmdNone)
        return 1;
    if (!m_format.IsValidIndex(index))
        return 0;
    CommandValue value;
    value.kind = KindText;
    value.text = text;
    return SetValueAs(KindText, index, channel, value, timeoutMs);
}

int CRsCmd::GetValue(int index, int channel, CommandValue& value, int timeoutMs, int showErrors, int logMode)
{
    if (!m_format.IsValidIndex(index) || Refused())
        return 0;
    std::string query = m_format.FormatQuery(index, channel, 1);
    SendCommand(query, logMode);
    if (IsOffline())
        return 0;
    if (!WaitForLine(&CRsCmd::ReceiveLines, logMode, timeoutMs)) {
        if (showErrors == 1)
            m_host.SetCommStatus(0);
        return 0;
    }
    CommandFields fields;
    PopAndParse(fields);
    if (!m_format.IsAnswer(fields, index)) {
        if (!quietMode && showErrors == 1)
            ShowReplyFailure(fields.text, m_format.FormatQuery(index, channel, 0));
        return 0;
    }
    value.kind = fields.kind;
    value.intValue = fields.intValue;
    value.floatValue = fields.floatValue;
    value.text = fields.textValue;
    m_host.SetCommStatus(1);
    return 1;
}

int CRsCmd::GetValueReg(int index, int channel, CommandValue& value, int timeoutMs)
{
    if (!m_format.IsValidIndex(index) || Refused())
        return 0;
    std::string line = m_format.EncodeRegisterBase(m_format.FormatQuery(index, channel, 1));
    if (line.empty())
        return 0;
    line += "\r\n";
    SendCommand(line, 1);
    if (IsOffline())
        return 0;
    if (!WaitForLine(&CRsCmd::ReadLineCr, 1, timeoutMs)) {
        ShowNoAnswer();
        return 0;
    }
    CommandFields fields;
    PopAndParse(fields);
    // A reply that is no answer yields nothing, not stale numbers.
    const bool answered = m_format.IsAnswer(fields, index);
    value.kind = fields.kind;
    value.intValue = answered ? fields.intValue : 0;
    value.floatValue = answered ? fields.floatValue : 0.0;
    value.text = answered ? fields.textValue : "";
    if (!answered && !quietMode)
        ShowReplyFailure(fields.text, m_format.FormatQuery(index, channel, 0));
    return answered ? 1 : 0;
}

int CRsCmd::GetInt(int index, int channel, int& intOut, int timeoutMs)
{
    QuietScope quiet(quietMode, index == CmdPSCM);
    CommandValue value;
    const int result = m_settings.commandFormat == 1 ? GetValueReg(index, channel, value, timeoutMs)
                                                    : GetValue(index, channel, value, timeoutMs, 1, 1);
    intOut = ScaleFromCamera(index, value.intValue);
    return result;
}

int CRsCmd::QueryRaw(int& intOut, const std::string& text, int timeoutMs)
{
    if (Refused())
        return 0;
    std::string line = text;
    SendCommand(line, 1);
    if (!WaitForLine(&CRsCmd::ReceiveLines, 1, timeoutMs)) {
        m_host.SetCommStatus(0);
        return 0;
    }
    CommandFields fields;
    PopAndParse(fields);
    const std::string query = text.substr(0, text.find_first_of("\r\n"));
    // A refusal ("03 Invalid Value!!") or an echo is no value, never stored as
    // one; the caller decides what a missing value means.
    int32_t number = 0;
    if (!IsNumberAnswerTo(fields, query, number))
        return 0;
    intOut = number;
    m_host.SetCommStatus(1);
    return 1;
}

int CRsCmd::SetRaw(const std::string& text, int timeoutMs)
{
    if (Refused())
        return 0;
    std::string line = text;
    SendCommand(line, 1);
    return WaitComplete(timeoutMs);
}

// "NAME=number" answering "NAME?", the number in any form a free reply takes.
bool CRsCmd::IsNumberAnswerTo(const CommandFields& fields, const std::string& query, int32_t& number)
{
    // The name need not be a row of the table: block averages are "AVDR01" .. "AVDY64".
    return fields.op == "=" && query == fields.name + "?" &&
           NumberText::IsWhole(fields.param1, number, NumberText::WholeForms::Reply);
}

std::string CRsCmd::FormatSet(int index, int channel, const CommandValue& value, int withLineEnd) const
{
    return m_format.FormatSet(index, channel, value, withLineEnd);
}

std::string CRsCmd::FormatQuery(int index, int channel, int withLineEnd) const
{
    return m_format.FormatQuery(index, channel, withLineEnd);
}

int CRsCmd::ParseCommand(const std::string& line, CommandFields& fields) const
{
    return m_format.ParseCommand(line, fields);
}

std::string CRsCmd::GetMnemonic(int index) const
{
    return m_format.GetMnemonic(index);
}

std::string CRsCmd::EncodeRegisterBase(const std::string& command)
{
    return m_format.EncodeRegisterBase(command);
}

std::string CRsCmd::DecodeReply(const std::string& line) const
{
    return m_format.DecodeReply(line);
}
