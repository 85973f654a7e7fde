#include "comm/CommandFormat.h"

#include <cctype>
#include <cstdio>

#include "settings/AppSettings.h"
#include "comm/NumberText.h"

namespace {

const char kRegisterPrefix[] = ":R0000@";
const char kLineEnd[] = "\r\n";

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string WithoutBlanks(const std::string& line)
{
    std::string text;
    text.reserve(line.size());
    for (char c : line)
        if (c != ' ' && c != '\r' && c != '\n')
            text += c;
    return text;
}

bool EndsWithLineEnd(const std::string& text)
{
    return text.size() >= 2 && text.compare(text.size() - 2, 2, kLineEnd) == 0;
}

std::string TwoHexDigits(size_t value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02zx", value);
    return buffer;
}

}  // namespace

CommandFormat::CommandFormat(const AppSettings& settings, const CommandEntry* rows)
    : m_settings(settings), m_rows(rows)
{
}

std::string CommandFormat::FormatSet(int index, int /*channelArgument*/, const CommandValue& value,
                                     int withLineEnd, int32_t kind) const
{
    const CommandEntry& row = Row(index);
    std::string valueText;
    switch (kind == KindOfRow ? row.kind : kind) {
    case KindInteger:
        valueText = std::to_string(value.intValue);
        break;
    case KindDecimal: {
        char format[16];
        char buffer[64];
        std::snprintf(format, sizeof format, "%%.%df", row.decimals);
        std::snprintf(buffer, sizeof buffer, format, value.floatValue);
        valueText = buffer;
        break;
    }
    case KindText:
        valueText = value.text;
        break;
    default:
        break;
    }
    std::string line = row.mnemonic;
    line += row.hasChannel ? "=" + std::to_string(row.channel) + "," + valueText : "=" + valueText;
    if (withLineEnd)
        line += kLineEnd;
    return line;
}

std::string CommandFormat::FormatQuery(int index, int /*channelArgument*/, int withLineEnd) const
{
    const CommandEntry& row = Row(index);
    std::string line = std::string(row.mnemonic) + "?";
    if (row.hasChannel)
        line += std::to_string(row.channel);
    if (withLineEnd)
        line += kLineEnd;
    return line;
}

int CommandFormat::ParseCommand(const std::string& line, CommandFields& fields) const
{
    fields.text = WithoutBlanks(line);
    const std::string upper = UpperCase(fields.text);

    size_t op = upper.find('=');
    if (op == std::string::npos)
        op = upper.find('?');
    if (op == std::string::npos) {
        fields.error = 1;
        return 0;
    }
    // Only a comma after the operator separates two parameters.
    const size_t comma = upper.find(',', op + 1);
    fields.name = upper.substr(0, op);
    fields.op = upper.substr(op, 1);
    if (fields.op == "?") {
        fields.param1 = upper.substr(op + 1);
        fields.paramCount = fields.param1.empty() ? 0 : 1;
    } else if (comma == std::string::npos) {
        fields.param1 = upper.substr(op + 1);
        fields.paramCount = 1;
    } else {
        fields.param1 = upper.substr(op + 1, comma - op - 1);
        fields.param2 = upper.substr(comma + 1);
        fields.channelParam = NumberText::Decimal(fields.param1);
        fields.paramCount = 2;
    }

    fields.index = FindRow(fields.name);
    if (fields.index < 0) {
        fields.error = 1;
        return 0;
    }
    const CommandEntry& row = Row(fields.index);
    fields.kind = static_cast<uint32_t>(row.kind);
    ReadValue(row.hasChannel ? fields.param2 : fields.param1, fields);
    fields.error = 0;
    return 1;
}

void CommandFormat::ReadValue(const std::string& valueText, CommandFields& fields) const
{
    switch (fields.kind) {
    case KindInteger:
        fields.intValue = valueText.compare(0, 2, "&H") == 0 ? NumberText::Hex(valueText.substr(2))
                                                            : NumberText::Decimal(valueText);
        break;
    case KindDecimal:
        fields.floatValue = NumberText::Floating(valueText);
        break;
    case KindText:
        fields.textValue = valueText;
        break;
    default:
        break;
    }
}

std::string CommandFormat::GetMnemonic(int index) const
{
    return IsValidIndex(index) ? Row(index).mnemonic : "";
}

bool CommandFormat::IsAnswer(const CommandFields& fields, int index) const
{
    if (!IsValidIndex(index) || fields.error || fields.op != "=" || fields.name != Row(index).mnemonic)
        return false;
    const CommandEntry& row = Row(index);
    if (row.hasChannel && fields.paramCount != 2)
        return false;
    const std::string& value = row.hasChannel ? fields.param2 : fields.param1;
    switch (row.kind) {
    case KindInteger:
        return value.compare(0, 2, "&H") == 0 ? NumberText::IsHex(value.substr(2)) : NumberText::IsDecimal(value);
    case KindDecimal:
        return NumberText::IsFloating(value);
    default:
        return true;
    }
}

bool CommandFormat::HoldsControlCharacter(const std::string& text)
{
    for (char c : text)
        if (std::iscntrl(static_cast<unsigned char>(c)))
            return true;
    return false;
}

int CommandFormat::FindRow(const std::string& name) const
{
    for (size_t i = 0; i < static_cast<size_t>(CommandTable::kCount); ++i)
        if (name == m_rows[i].mnemonic)
            return static_cast<int>(i);
    return -1;
}

std::string CommandFormat::EncodeRegisterBase(const std::string& command, int32_t kind)
{
    const size_t equals = command.find('=');
    const bool isSetting = equals != std::string::npos;
    const std::string name = isSetting ? command.substr(0, equals) : command.substr(0, command.find('?'));
    std::string value = isSetting ? command.substr(equals + 1) : "";

    m_currentCommandIndex = FindRow(name);
    // Without a register address there is nothing to send: the setting fails.
    if (m_currentCommandIndex < 0 || std::string(Row(m_currentCommandIndex).regAddress) == CommandTable::kNoRegAddress)
        return "";

    const CommandEntry& row = Row(m_currentCommandIndex);
    const bool isText = (kind == KindOfRow ? row.kind : kind) == KindText;
    const std::string head = std::string(kRegisterPrefix) + row.regAddress + (isText ? "$" : "#");
    if (!m_settings.commandCrc)
        return isSetting ? head + "=" + value : head + "?";
    if (!isSetting) {
        const std::string query = head + "04?";
        return query + CrcText(query);
    }
    // The check covers the command without its line end and stands before it,
    // so the camera sees one complete line.
    const bool hadLineEnd = EndsWithLineEnd(value);
    if (hadLineEnd)
        value.resize(value.size() - 2);
    const std::string setting = head + TwoHexDigits(value.size()) + "=" + value;
    return setting + CrcText(setting) + (hadLineEnd ? kLineEnd : "");
}

std::string CommandFormat::DecodeReply(const std::string& line) const
{
    const std::string mnemonic = GetMnemonic(m_currentCommandIndex);
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
        return line.size() >= 2 && line[1] == 'o' ? "COMPLETE" : "";
    if (!m_settings.commandCrc)
        return mnemonic + "=" + line.substr(equals + 1);
    const std::string value = DecodeCheckedValue(line);
    return value == "CRC errer" ? value : mnemonic + "=" + value;
}

std::string CommandFormat::DecodeCheckedValue(const std::string& line) const
{
    if (line.size() < 2)
        return "CRC errer";
    const std::string body = line.substr(0, line.size() - 2);
    if (line.substr(line.size() - 2) != CrcText(body))
        return "CRC errer";

    size_t marker = line.find('#');
    if (marker == std::string::npos)
        marker = line.find('$');
    if (marker == std::string::npos)
        marker = line.find('=');
    const int length = NumberText::Hex(line.substr(marker + 1, 2));
    const size_t start = marker + 4;
    // A length past the end takes what is there, never the check characters.
    return start < body.size() && length > 0 ? body.substr(start, static_cast<size_t>(length)) : "";
}

uint8_t CommandFormat::CrcStep(uint8_t r, uint8_t b)
{
    uint32_t w = static_cast<uint32_t>((b ^ r) & 0xFF) << 8;
    for (int bit = 0; bit < 8; ++bit) {
        if (w & 0x8000)
            w ^= 0x3868;
        w = (w << 1) & 0xFFFF;
    }
    return static_cast<uint8_t>(w >> 8);
}

std::string CommandFormat::CrcText(const uint8_t* bytes, size_t length)
{
    uint8_t r = 0;
    for (size_t i = 0; i < length; ++i)
        r = CrcStep(r, bytes[i]);
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%02x", r);
    return buffer;
}

std::string CommandFormat::CrcText(const std::string& text)
{
    return CrcText(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}
