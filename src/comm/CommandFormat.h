#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "comm/CommandTable.h"
#include "comm/CommandValue.h"

struct AppSettings;

// The text that travels on the line: settings and queries of a command row,
// reply parsing, and the register-base form with its two-character check.
// Reads the command rows, never changes them.
class CommandFormat {
public:
    // rows: kCount rows in index order that outlive the object.
    explicit CommandFormat(const AppSettings& settings, const CommandEntry* rows = CommandTable::Rows());

    // The value is written as `kind` (a text such as "1,0" for a number row), by default as the row's kind.
    std::string FormatSet(int index, int channelArgument, const CommandValue& value, int withLineEnd,
                          int32_t kind = KindOfRow) const;
    std::string FormatQuery(int index, int channelArgument, int withLineEnd) const;
    // 1 when the line names a row, else 0 with fields.error set.
    int ParseCommand(const std::string& line, CommandFields& fields) const;
    std::string GetMnemonic(int index) const;
    // The answer to a query of row index: NAME=value naming that row, the
    // value in the row's form. An echo ("GA?") or an empty number ("GA=") is not.
    bool IsAnswer(const CommandFields& fields, int index) const;
    // CR, LF or another control character: such a text would end the command
    // line early and start another, so it is never sent.
    static bool HoldsControlCharacter(const std::string& text);
    // "" when the command names no row or its row has no register address.
    // The value is marked as `kind`, by default as the row's kind.
    std::string EncodeRegisterBase(const std::string& command, int32_t kind = KindOfRow);
    std::string DecodeReply(const std::string& line) const;

    static uint8_t CrcStep(uint8_t r, uint8_t b);
    static std::string CrcText(const uint8_t* bytes, size_t length);
    static std::string CrcText(const std::string& text);

    int FindRow(const std::string& name) const;
    bool IsValidIndex(int index) const { return index >= 0 && index < CommandTable::kCount; }
    const CommandEntry& Row(int index) const { return m_rows[index]; }

private:
    void ReadValue(const std::string& valueText, CommandFields& fields) const;
    std::string DecodeCheckedValue(const std::string& line) const;

    const AppSettings& m_settings;
    const CommandEntry* m_rows;
    int m_currentCommandIndex = -1;   // row whose register-base reply is expected
};
