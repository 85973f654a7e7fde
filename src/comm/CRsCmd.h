#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "comm/CommandFormat.h"
#include "comm/CommandValue.h"
#include "comm/EngineHost.h"
#include "comm/LineAssembler.h"

struct AppSettings;
class SerialPort;
class ClSerialLib;

// The one object through which the program talks to the camera. Every
// operation blocks the calling (user-interface) thread until the reply or its
// time limit, sleeping in 20 ms steps; nothing is retried. Operations return
// 1 for success and 0 for failure, and report their own failures through the
// host under the caption kCommError.
class CRsCmd {
public:
    static constexpr int kPollMs = 20;
    static constexpr int kTimerPeriodMs = 50;
    // The caption of the engine's failure boxes and the text of a missing answer.
    static constexpr const char* kCommError = "Communication Error";
    static constexpr const char* kNoAnswer =
        "No answer from Camera! (Timeout error)\nCheck power on Camera or serial cable connection.";

    CRsCmd(AppSettings& settings, SerialPort& port, ClSerialLib& camLink, EngineHost& host);
    ~CRsCmd();
    CRsCmd(const CRsCmd&) = delete;
    CRsCmd& operator=(const CRsCmd&) = delete;

    // Transport.
    int OpenPort(int portIndex);
    int ClosePort();
    int SendText(std::string& text, int mode);
    int ReadBytes(uint8_t* destination, int count, int timeoutMs);

    // Received lines, oldest first.
    void ClearReplies();
    int GetReplyCount() const;
    std::string PopReply();
    int PopAndParse(CommandFields& fields);

    // Commands.
    int SetValue(int index, int channel, const CommandValue& value, int timeoutMs);
    int SetInt(int index, int channel, int value, int timeoutMs);
    int SetText(int index, int channel, const std::string& text, int timeoutMs);
    int GetValue(int index, int channel, CommandValue& value, int timeoutMs, int showErrors, int logMode);
    int GetValueReg(int index, int channel, CommandValue& value, int timeoutMs);
    int GetInt(int index, int channel, int& intOut, int timeoutMs);
    int QueryRaw(int& intOut, const std::string& text, int timeoutMs);
    int WaitComplete(int timeoutMs);
    int WaitCompleteCr(int timeoutMs);
    int ReceiveLines(int logMode);
    int ReadLineCr(int logMode);
    // The 50 ms tick: gathers lines that arrive while no command waits; inside
    // a wait (a message box's loop runs the timer) it leaves the line alone.
    void OnTimer();
    // A stop was asked for or the line hung up: every wait ends at once and
    // no further command is sent until the port is opened again.
    bool Interrupted() const;
    // The last command's wait for its reply ran out of time without one: the
    // camera was silent, or talked without ever ending a line. A refusal or
    // any other reply is an answer; so is a command not yet waited for.
    bool LastWaitUnanswered() const { return m_lastWaitUnanswered; }

    // Formats of the engine's own command rows.
    std::string FormatSet(int index, int channel, const CommandValue& value, int withLineEnd) const;
    std::string FormatQuery(int index, int channel, int withLineEnd) const;
    int ParseCommand(const std::string& line, CommandFields& fields) const;
    std::string GetMnemonic(int index) const;
    std::string EncodeRegisterBase(const std::string& command);
    std::string DecodeReply(const std::string& line) const;

    uint32_t quietMode = 0;   // suppresses failure boxes and logging of unknown-command replies
    const std::string& LastSentLine() const { return m_lastSentLine; }

private:
    bool IsOffline() const;
    bool LineHungUp() const;
    bool ReadLine(LineAssembler::Ending ending, std::string& line);
    long long ReadDeadline() const;
    void FinishLine(const std::string& line, int logMode);
    bool WaitForLine(int (CRsCmd::*reader)(int), int logMode, int timeoutMs, long long startMs);
    int SetValueAs(int32_t kind, int index, int channel, const CommandValue& value, int timeoutMs);
    bool CanSend(int index, const CommandValue& value, int32_t kind);
    bool Refused();
    static bool IsNumberAnswerTo(const CommandFields& fields, const std::string& query, int32_t& number);
    void ShowError(const std::string& text);
    void ShowReplyFailure(const std::string& reply, const std::string& command);
    void ShowNoAnswer();

    // Shared state and the two transports, all owned by the application.
    AppSettings& m_settings;
    SerialPort& m_port;
    ClSerialLib& m_camLink;
    EngineHost& m_host;

    CommandFormat m_format;

    LineAssembler m_rxLine;   // the line being received; it survives between reader calls
    bool m_lineRanDry = false;   // the last reader call found no byte within its time

    // The wait in progress, if any.
    int m_waitDepth = 0;
    long long m_waitDeadlineMs = 0;   // readers hand back control by then
    bool m_lastWaitUnanswered = false;

    std::deque<std::string> m_replyList;
    std::string m_lastSentLine;
};
