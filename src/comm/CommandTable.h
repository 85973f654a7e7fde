#pragma once

#include <cstdint>
#include <string>

// One camera command: its mnemonic and how its value travels on the wire.
struct CommandEntry {
    uint32_t index;           // the row's own index, equal to its position
    const char* mnemonic;     // 2..6 upper-case letters and digits, unique
    int32_t hasChannel;       // non-zero: NAME=channel,value and NAME?channel
    int32_t channel;          // channel written when hasChannel is set
    int32_t kind;             // 0 integer, 1 decimal, 2 text
    int32_t decimals;         // digits after the point for kind 1
    const char* regAddress;   // four hex digits, or kNoRegAddress
};

enum CommandKind : int32_t {
    KindOfRow = -1,   // as a parameter: whatever kind the row has
    KindInteger = 0,
    KindDecimal = 1,
    KindText = 2,
};

// The fixed vocabulary of the camera: 372 rows. Everywhere else a command is
// named by its row index; -1 means "no command".
class CommandTable {
public:
    static constexpr int kCount = 372;
    static const char* const kNoRegAddress;   // "FFFF"

    static const CommandEntry* Rows();        // kCount rows
    static const CommandEntry& Row(int index);
    // Row whose mnemonic equals name exactly (callers upper-case first), or -1.
    static int Find(const std::string& name);
    static bool HasRegAddress(int index);
};

// Rows that callers name directly.
enum CommandIndex : int {
    CmdNone = -1,
    CmdEB = 0,
    CmdVN = 3, CmdID = 4, CmdMD = 5, CmdUD = 6, CmdSM = 7,
    CmdGA = 24, CmdAGCF = 33, CmdBL = 34, CmdBLR = 35, CmdBLB = 36,
    CmdRS = 38, CmdAW = 50, CmdLUTR = 57, CmdLUTG = 58, CmdLUTB = 59, CmdTPN = 60,
    CmdCM = 62, CmdLD = 68, CmdSA = 69, CmdEA = 70, CmdSA00 = 71, CmdULCK = 72, CmdMD00 = 73,
    CmdTMS = 349, CmdPSCM = 357, CmdPSHD = 358,
};
