#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "comm/CommandTable.h"
#include "comm/CommandValue.h"

struct AppSettings;

// The text that travels on the line: settings and queries of a command row,
// reply parsing, and the register-base form with its two-character check.
// Holds the engine's own copy of the command rows.
class CommandFormat {
public:
    explicit CommandFormat(const AppSettings& settings);

    std::string FormatSet(int index, int channelArgument, const CommandValue& value, int withLineEnd) const;
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
    std::string EncodeRegisterBase(const std::string& command);
    std::string DecodeReply(const std::string& line) const;

    static uint8_t CrcStep(uint8_t r, uint8_t b);
    static std::string CrcText(const uint8_t* bytes, size_t length);
    static std::string CrcText(const std::string& text);

    int FindRow(const std::string& name) const;
    bool IsValidIndex(int index) const { return index >= 0 && index < CommandTable::kCount; }
    // A negative or too large index throws instead of reaching past the table.
    CommandEntry& Row(int index) { return m_rows.at(static_cast<size_t>(index)); }
    const CommandEntry& Row(int index) const { return m_rows.at(static_cast<size_t>(index)); }
    int CurrentCommandIndex() const { return m_currentCommandIndex; }

private:
    void ReadValue(const std::string& valueText, CommandFields& fields) const;
    std::string DecodeCheckedValue(const std::string& line) const;

    const AppSettings& m_settings;
    std::array<CommandEntry, CommandTable::kCount> m_rows;
    int m_currentCommandIndex = -1;   // row whose register-base reply is expected
};
