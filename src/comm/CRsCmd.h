#pragma once

#include <chrono>
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
// time limit; nothing is retried. A command's reply is first looked for once
// the reply wait of the settings has passed since the command was sent (20 ms
// unless the operator chose less), and from then on taken the moment it is
// complete. Operations return 1 for success and 0 for failure, and report
// their own failures through the host under the caption kCommError.
class CRsCmd {
public:
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
    // Sends free text and waits for nothing: the terminal's lines, the
    // simulator's answers. Whatever comes back is gathered by the timer.
    int SendText(std::string& text, int mode);
    // Sends a command whose answer follows: every reply not yet taken and every
    // byte already received (a partial line included) is dropped first, so
    // whatever comes next answers this command. Every operation below that
    // waits for an answer sends this way; a caller that reads the answer
    // itself (kavro-cli raw) does too.
    int SendCommand(std::string& text, int mode);
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
    // A free command line, with its line end, that the camera acknowledges with "COMPLETE".
    int SetRaw(const std::string& text, int timeoutMs);
    // A table read: identical queries whose answers carry no index, so one
    // answer too many shifts every entry after it. StartSeries marks where it
    // begins. EndSeries, after the last answer, listens for quietMs more, and
    // fails with a box naming what came when anything but a notice came
    // unasked since the mark: dropped before a query, or arriving now.
    void StartSeries();
    int EndSeries(int quietMs, const std::string& lastCommand);
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
    using LineReader = int (CRsCmd::*)(int logMode);

    bool IsOffline() const;
    bool LineHungUp() const;
    bool PortClosed() const;
    uint32_t ReplyWaitMs() const;
    bool WholeLines() const;
    LineAssembler::Ending ReplyEnding() const;

    // Receiving (CRsCmdReceive.cpp).
    bool ReadPortByte(uint8_t* destination, int timeoutMs);
    bool ReadCamLinkByte(uint8_t* destination, int timeoutMs);
    void DropReceived(int logMode);
    bool ReadLine(LineAssembler::Ending ending, std::string& line);
    long long ReadDeadline() const;
    void FinishLine(const std::string& line, int logMode);
    bool WaitForLine(LineReader reader, int logMode, int timeoutMs);
    void PauseBeforeFirstLook() const;
    bool WaitEndsEarly() const;

    // Waiting for a setting's acknowledgement.
    int WaitComplete(int timeoutMs);
    int WaitCompleteCr(int timeoutMs);
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

    // What came when no answer was awaited, dropped before a command.
    long long m_unaskedCount = 0;
    std::string m_lastUnasked;
    long long m_seriesMark = 0;   // m_unaskedCount when the series began
    std::chrono::steady_clock::time_point m_sentAt;   // when the last line had been written
};
