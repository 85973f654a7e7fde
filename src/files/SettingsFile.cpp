#include "files/SettingsFile.h"

#include <cctype>

#include "comm/CommandFormat.h"
#include "comm/CommandTable.h"
#include "files/SafeFile.h"
#include "files/SettingsFileReader.h"
#include "params/CtrlTbl.h"

namespace {

// Choice controls (combo boxes, check boxes, radio groups) hold small
// indexes; the centre marker packs its four controls into seven bits.
constexpr int kChoiceMax = 127;
constexpr size_t kMaxDecimalDigits = 10;
constexpr size_t kMaxHexDigits = 8;

bool AllOf(const std::string& text, size_t from, int (*isDigit)(int))
{
    for (size_t i = from; i < text.size(); ++i)
        if (!isDigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

// "-12", "605" or "&H1F"; the parser has upper-cased it already.
bool IsWholeNumber(const std::string& text)
{
    if (text.compare(0, 2, "&H") == 0)
        return text.size() > 2 && text.size() <= 2 + kMaxHexDigits && AllOf(text, 2, std::isxdigit);
    const size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    const size_t digits = text.size() - start;
    return digits > 0 && digits <= kMaxDecimalDigits && AllOf(text, start, std::isdigit);
}

bool HoldsValue(const CtrlTblEntry& row)
{
    return row.ctrlId != 0 && row.kind != CtrlKindNone && row.kind != CtrlKindButton;
}

bool InRange(const CtrlTblEntry& row, long long value)
{
    if (row.kind == CtrlKindEdit)
        return value >= row.min && value <= row.max;
    return value >= 0 && value <= kChoiceMax;
}

}  // namespace

bool SettingsFile::IsWritten(int row, bool factory)
{
    const CtrlTblEntry& entry = CtrlTbl::Rows()[row];
    if (entry.access == AccessNever || (entry.access == AccessFactory && !factory))
        return false;
    return entry.commandIndex != CmdNone;
}

std::string SettingsFile::Compose(bool factory, const ValueOfCtrl& valueOf)
{
    std::string text;
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int row = 0; row < CtrlTbl::Count(); ++row) {
        if (!IsWritten(row, factory))
            continue;
        text += CommandTable::Row(rows[row].commandIndex).mnemonic;
        text += "=" + std::to_string(valueOf(rows[row].ctrlId)) + "\r\n";
    }
    return text;
}

bool SettingsFile::Write(const std::string& path, bool factory, const ValueOfCtrl& valueOf)
{
    return SafeFile::WriteAll(path, Compose(factory, valueOf));
}

bool SettingsFile::ParseLine(const CommandFormat& format, const std::string& piece, bool factory, SettingsLine& line)
{
    CommandFields fields;
    if (!format.ParseCommand(piece, fields) || fields.op != "=")
        return false;   // no operator, an unknown name, or a query
    const CommandEntry& command = CommandTable::Row(fields.index);
    const std::string& valueText = command.hasChannel ? fields.param2 : fields.param1;
    if (command.kind != KindInteger || !IsWholeNumber(valueText))
        return false;
    const int row = CtrlTbl::FindByCommand(fields.index);
    if (row < 0 || !HoldsValue(CtrlTbl::Rows()[row]))
        return false;   // area, identity and operation commands never come from a file
    const CtrlTblEntry& entry = CtrlTbl::Rows()[row];
    if (entry.access == AccessFactory && !factory)
        return false;
    if (!InRange(entry, fields.intValue))
        return false;
    line = SettingsLine{fields.index, entry.ctrlId, fields.intValue};
    return true;
}

// The bar follows the pieces read, so that it moves through a long file
// however few of its lines are usable.
bool SettingsFile::Apply(const std::string& path, const CommandFormat& format, bool factory, SettingsSink& sink)
{
    SettingsFileReader reader;
    if (!reader.Open(path))
        return false;
    const long long count = reader.PieceCount();
    long long handled = 0;
    int shown = -1;
    std::string piece;
    while (reader.Next(piece)) {
        const int position = static_cast<int>(handled * 100 / count);
        if (position != shown)
            sink.Progress(shown = position);
        SettingsLine line;
        if (ParseLine(format, piece, factory, line))
            sink.Apply(line);
        ++handled;
    }
    return true;
}
