#include "files/SettingsFile.h"

#include "comm/CommandFormat.h"
#include "comm/CommandTable.h"
#include "comm/NumberText.h"
#include "files/SafeFile.h"
#include "params/CtrlTbl.h"

namespace {

bool HoldsValue(const CtrlTblEntry& row)
{
    return row.ctrlId != 0 && row.kind != CtrlKindNone && row.kind != CtrlKindButton;
}

bool Skip(std::string& reason, const char* why)
{
    reason = why;
    return false;
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

bool SettingsFile::Write(const std::string& path, bool factory, const ValueOfCtrl& valueOf, std::string* why)
{
    return SafeFile::WriteAll(path, Compose(factory, valueOf), why);
}

bool SettingsFile::ParseLine(const CommandFormat& format, const std::string& piece, bool factory, SettingsLine& line,
                             std::string& reason)
{
    CommandFields fields;
    format.ParseCommand(piece, fields);
    if (fields.op.empty())
        return Skip(reason, "not a setting: no \"=\"");
    if (fields.index < 0)
        return Skip(reason, "no such command");
    if (fields.op != "=")
        return Skip(reason, "a query, not a setting");
    const int row = CtrlTbl::FindByCommand(fields.index);
    const CommandEntry& command = CommandTable::Row(fields.index);
    if (row < 0 || !HoldsValue(CtrlTbl::Rows()[row]) || command.kind != KindInteger)
        return Skip(reason, "not a setting of the pages");   // areas, identity, operations
    const CtrlTblEntry& entry = CtrlTbl::Rows()[row];
    if (entry.access == AccessFactory && !factory)
        return Skip(reason, "a factory setting, applied only at the factory level");
    const std::string& valueText = command.hasChannel ? fields.param2 : fields.param1;
    int32_t value = 0;
    switch (NumberText::ReadWhole(valueText, value)) {
    case NumberText::WholeRead::NotWhole:
        return Skip(reason, "not a whole number");
    case NumberText::WholeRead::TooLarge:
        return Skip(reason, "does not fit the camera's register");
    case NumberText::WholeRead::Ok:
        break;
    }
    line = SettingsLine{fields.index, entry.ctrlId, value, line.lineNumber};
    return true;
}
