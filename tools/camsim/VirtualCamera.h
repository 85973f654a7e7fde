#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "camsim/CameraMemory.h"
#include "camsim/LutCursor.h"

namespace camsim {

struct RegisterBaseRequest;

// Talk that never ends, in place of every answer from the next command on.
enum class Stream { None, Notices, EndlessLine };

// How the camera misbehaves. Counters count down as they are used.
struct Faults {
    int replyDelayMs = 0;          // every reply waits this long before it is sent (PtyCamera only)
    int swallowReplies = 0;        // the next N replies are never sent
    int repeatReplyAt = 0;         // the Nth reply from now is sent twice, back to back, once
    bool refuseAll = false;        // every command answers "01 Unknown Command!!" (register base: ":er")
    std::string noticeBeforeReply; // a line (e.g. "!!Overheat") sent before each reply; "" = none
    int garbageBytes = 0;          // N random printable bytes (no CR, LF or "!") sent before the next reply, once
    int overlongLine = 0;          // a line of N bytes without CR or LF sent instead of the next reply, once
    bool hangUpAfterNextCommand = false;  // close the line instead of answering the next command (PtyCamera only)
    int hangUpAtCommand = 0;       // the Nth command from now closes the line instead of being answered (PtyCamera only)
    Stream stream = Stream::None;  // the next command starts the talk instead of an answer, once (PtyCamera only)
    int storeDelayMs = 0;          // "SA" and "SA00" answer this much later, as a real store takes (PtyCamera only)
    int awbResult = -1;            // "AWRS" after "AW": -1 as the trigger mode decides (0, or 6 when not NORMAL)
    std::set<std::string> silent;  // short-ASCII commands (upper-case names) received but never answered
    int silentFromCommand = 0;     // the Nth command from now and every later one are never answered (0: none)
    bool numbersInEveryForm = false;  // table entries and block averages answer in decimal, "&H" hexadecimal,
                                      // "0x" hexadecimal and octal in turn
};

// What the camera sends back for the bytes it was fed.
struct Response {
    std::vector<std::string> replies;  // each with its line end, faults applied, in order
    int delayMs = 0;                   // to wait before each reply
    bool hangUp = false;               // the line is to be closed; nothing after it was answered
    std::string stream;                // bytes to repeat without end from now on; nothing after it was answered
};

// The camera's side of the protocol, on its own: registers with power-on
// values, four setting areas, identity texts, three look-up tables,
// short-ASCII and register-base forms. Bytes go in through Feed; what the
// camera answers comes back. Thread-safe: the pseudo-terminal thread feeds
// it while tests inspect it.
class VirtualCamera {
public:
    static constexpr int kVersion = 126;
    static constexpr int kUnlockNumber = 5963104;   // "ULCK=5963104" allows writing ID
    static constexpr int kAreaCount = CameraMemory::kAreaCount;
    static constexpr int kLutSize = CameraMemory::kLutSize;
    static constexpr size_t kMaxLineLength = 1023;  // longer lines are dropped unanswered
    static constexpr size_t kMaxReceivedLines = 65536;  // the oldest are forgotten beyond this

    VirtualCamera();

    // Feeds received bytes; returns the bytes the camera sends back (may be
    // empty). Faults apply except the delay and the hang-up.
    std::string Feed(const std::string& bytes);
    // The same with the reply delay and the hang-up for PtyCamera to carry out.
    Response Respond(const std::string& bytes);

    // Mnemonics in any case. Unknown mnemonics read 0 and "" and ignore writes.
    int Register(const std::string& mnemonic) const;           // current value; "EA" is the current area
    void SetRegister(const std::string& mnemonic, int value);  // also read-outs such as TMS
    std::string Text(const std::string& mnemonic) const;       // ID, UD, MD, MD00
    void SetText(const std::string& mnemonic, const std::string& text);
    bool Knows(const std::string& mnemonic) const;

    int CurrentArea() const;               // 0 Factory, 1..3 User1..User3
    int AreaRegister(int area, const std::string& mnemonic) const;  // a setting as stored in an area
    std::vector<int> Lut(char channel) const;                       // 'R', 'G' or 'B'
    bool Unlocked() const;                 // "ULCK" with the unlock number was received
    void SetLutClock(LutCursor::Clock clock);   // tests pass the table pause without waiting
    // The analogue front ends: "AFES=<front end>" selects one, "AFED=<address>,<data>" writes
    // a register of the selected one. -1 for a register never written.
    std::string AfeSelected() const;
    int AfeRegister(const std::string& frontEnd, int address) const;

    // A complete line as received, without CR LF; when it was complete (behind
    // a pseudo-terminal keeping wire time: when its last byte had crossed); and
    // how many bytes the camera sent back for it, line ends included.
    struct Received {
        std::string line;
        std::chrono::steady_clock::time_point at;
        size_t answerBytes = 0;
    };
    std::vector<Received> ReceivedLog() const;
    std::vector<std::string> ReceivedLines() const;   // the lines of the log alone
    void ClearReceivedLines();

    void SetFaults(const Faults& f);
    Faults GetFaults() const;

    bool SaveState(const std::string& path) const;   // the four areas, identity texts and tables
    // Restores them and loads the current area into the registers, as at
    // power-on. False (nothing changed) when the file is unreadable or malformed.
    bool LoadState(const std::string& path);

private:
    // What one command came to, before it is written in either form.
    struct Outcome {
        enum class Kind { Done, Value, Error } kind = Kind::Done;
        std::string text;   // the value, or the error line
    };
    using ActionHandler = Outcome (VirtualCamera::*)(const std::string& value);

    void TakeByte(char byte, Response& response);
    void AnswerLine(const std::string& line, Response& response);
    std::string AnswerShortAscii(const std::string& line);
    std::string AnswerRegisterBase(const std::string& line);
    void AddReply(const std::string& reply, const std::string& lineEnd, Response& response);
    std::string GarbageBytes(int count);
    bool TakesLineAway(Response& response);

    Outcome Query(const std::string& name, bool continuing);
    Outcome Set(const std::string& name, const std::string& value, bool continuing);
    Outcome QueryBlockAverage(const std::string& name);
    Outcome SetSetting(int row, const std::string& value);
    Outcome SetTextRow(int row, const std::string& value);
    Outcome LutEntry(int row, const std::string* value, bool continuing);
    Outcome RunAction(int row, const std::string& value);

    Outcome WhiteBalance(const std::string& value);
    Outcome BlemishRecalibration(const std::string& value);
    Outcome ShadingRecalibration(const std::string& value);
    Outcome PrismShading(const std::string& value);
    Outcome LoadArea(const std::string& value);
    Outcome StoreArea(const std::string& value);
    Outcome StoreFactoryArea(const std::string& value);
    Outcome Unlock(const std::string& value);
    Outcome FrontEnd(const std::string& name, const std::string& value);
    bool IsSilenced(const std::string& line) const;
    bool FallsSilent();
    void Store(int area);
    void Recall(int area);

    int ValueOf(int row) const;
    int RowOf(const std::string& mnemonic) const;
    int LutChannelOf(int row) const;
    std::string NumberText(int value);

    mutable std::mutex m_mutex;  // Protects everything below.
    std::vector<int> m_registers;    // by row; rows sharing an address use their first row
    std::vector<std::string> m_actionValues;  // last value written to each action row
    CameraMemory m_memory;
    LutCursor m_lutCursor;
    std::string m_lastCommand;       // name and operator of the previous command
    bool m_unlocked = false;
    int m_blemishRuns = 0;           // each blemish recalibration finds other points
    int m_pendingDelayMs = 0;        // added to the next response's delay (a store in progress)
    std::string m_afeSelected;
    std::map<std::pair<std::string, int>, int> m_afeRegisters;   // (front end, address) -> data
    std::string m_rxLine;
    bool m_droppingLine = false;     // an overlong line is being skipped up to its line end
    std::deque<Received> m_receivedLines;
    Faults m_faults;
    std::minstd_rand m_garbage;
    int m_numberForm = 0;            // the form of the next number, with numbersInEveryForm
};

}  // namespace camsim
