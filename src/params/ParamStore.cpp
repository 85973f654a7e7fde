#include "params/ParamStore.h"

#include <algorithm>

#include "comm/NumberText.h"
#include "params/ControlIds.h"
#include "params/ControlRules.h"
#include "params/CtrlTbl.h"

namespace {

// Array slot of a command index already known to be inside the table.
size_t Slot(int commandIndex)
{
    return static_cast<size_t>(commandIndex);
}

constexpr int kCmComboBits = 0x0F;    // the centre marker's pattern
constexpr int kCmColourBits = 0x70;   // its R, G and B check boxes
constexpr int kCmKeptBits = 0xF0;     // what a change of the pattern keeps

// "CM" bit of the R, G or B check box, or -1.
int CmCheckBit(int ctrlId)
{
    switch (ctrlId) {
    case CtrlId::CmR:
        return 4;
    case CtrlId::CmG:
        return 5;
    case CtrlId::CmB:
        return 6;
    default:
        return -1;
    }
}

// The binding row of the control, or nullptr.
const CtrlTblEntry* RowOf(int ctrlId)
{
    const int row = CtrlTbl::FindByCtrl(ctrlId);
    return row < 0 ? nullptr : &CtrlTbl::Rows()[row];
}

}  // namespace

int ParamStore::CommandOf(int ctrlId)
{
    const CtrlTblEntry* row = RowOf(ctrlId);
    if (!row)
        return -1;
    return row->commandIndex < 0 ? kNoCommand : row->commandIndex;
}

int ParamStore::Cur(int commandIndex) const
{
    return IsCommand(commandIndex) ? m_cur[Slot(commandIndex)] : 0;
}

int ParamStore::Prev(int commandIndex) const
{
    return IsCommand(commandIndex) ? m_prev[Slot(commandIndex)] : 0;
}

int ParamStore::ParamIndex2CtrlId(int commandIndex)
{
    const int row = CtrlTbl::FindByCommand(commandIndex);
    return row < 0 ? -1 : CtrlTbl::Rows()[row].ctrlId;
}

int ParamStore::GetParam(int ctrlId) const
{
    const int index = CommandOf(ctrlId);
    if (index < 0)
        return -1;
    return index == kNoCommand ? 0 : m_cur[Slot(index)];
}

bool ParamStore::SetParam(int ctrlId, int value)
{
    const int index = CommandOf(ctrlId);
    if (!IsCommand(index))
        return false;
    m_cur[Slot(index)] = value;
    return true;
}

int ParamStore::ValueOfControl(int ctrlId, int shown) const
{
    if (ctrlId == CtrlId::Bound("CM"))
        return (GetParam(ctrlId) & kCmKeptBits) | (shown & kCmComboBits);
    const int bit = CmCheckBit(ctrlId);
    if (bit >= 0)
        return (GetParam(ctrlId) & ~(1 << bit)) | ((shown & 1) << bit);
    return shown;
}

void ParamStore::StoreDefaults()
{
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int row = 0; row < CtrlTbl::Count(); ++row)
        if (IsCommand(rows[row].commandIndex))
            m_cur[Slot(rows[row].commandIndex)] = rows[row].defaultValue;
    Commit();
}

bool ParamStore::HasChanges() const
{
    return m_cur != m_prev;
}

std::vector<int> ParamStore::SendChanges(const std::function<bool(int, int)>& send)
{
    std::vector<int> reverted;
    int refused = CommandTable::kCount;
    for (int i = 0; i < CommandTable::kCount && refused == CommandTable::kCount; ++i)
        if (m_cur[Slot(i)] != m_prev[Slot(i)] && !send(i, m_cur[Slot(i)]))
            refused = i;
    for (int i = refused; i < CommandTable::kCount; ++i) {
        if (m_cur[Slot(i)] == m_prev[Slot(i)])
            continue;
        m_cur[Slot(i)] = m_prev[Slot(i)];
        reverted.push_back(i);
    }
    return reverted;
}

void ParamStore::Commit()
{
    m_prev = m_cur;
}

bool ParamStore::AcceptedRange(int commandIndex, int& min, int& max)
{
    const int row = CtrlTbl::FindByCommand(commandIndex);
    if (row < 0)
        return false;
    const CtrlTblEntry& entry = CtrlTbl::Rows()[row];
    if (entry.ctrlId == 0 || entry.kind == CtrlKindNone || entry.kind == CtrlKindButton)
        return false;
    min = entry.min;
    max = commandIndex == CmdCM ? entry.max | kCmColourBits : entry.max;
    return true;
}

bool ParamStore::Accepts(int commandIndex, long long value)
{
    int min = 0;
    int max = 0;
    if (!AcceptedRange(commandIndex, min, max) || value < min || value > max)
        return false;
    // The centre marker's pattern is one of its combo box's entries.
    return commandIndex != CmdCM || (value & kCmComboBits) <= CtrlTbl::Rows()[CtrlTbl::FindByCommand(CmdCM)].max;
}

std::string ParamStore::AcceptedText(int commandIndex)
{
    int min = 0;
    int max = 0;
    if (!AcceptedRange(commandIndex, min, max))
        return "";
    if (commandIndex == CmdCM)
        return "0..3, plus 16, 32, 64 for its R, G, B marks";
    return std::to_string(min) + ".." + std::to_string(max);
}

std::pair<int, int> ParamStore::SpinRangeOf(int ctrlId)
{
    const CtrlTblEntry* row = RowOf(ctrlId);
    if (!row)
        return {0, 0};
    if (row->wrap)
        return {NumberText::ClampToInt(row->min - 1LL), NumberText::ClampToInt(row->max + 1LL)};
    return {row->min, row->max};
}

bool ParamStore::IsWrapRow(int ctrlId)
{
    const CtrlTblEntry* row = RowOf(ctrlId);
    return row && row->wrap == 1;
}

bool ParamStore::TypedValue(int ctrlId, int typed, int lo, int hi, int& value)
{
    if (typed < lo || typed > hi)
        return false;
    value = typed;
    if (IsWrapRow(ctrlId)) {
        const CtrlTblEntry& row = *RowOf(ctrlId);
        value = std::clamp(typed, row.min, row.max);
    }
    return true;
}

int ParamStore::SteppedValue(int ctrlId, int position, int step, int lo, int hi)
{
    const long long value = static_cast<long long>(position) + step;
    const CtrlTblEntry* wrapRow = IsWrapRow(ctrlId) ? RowOf(ctrlId) : nullptr;
    // The values the spin offers; a wrap row's extra ends only turn it round.
    const int first = wrapRow ? wrapRow->min : lo;
    const int last = wrapRow ? wrapRow->max : hi;
    if (position < first)
        return step > 0 ? static_cast<int>(std::min<long long>(value, first)) : position;
    if (position > last)
        return step < 0 ? static_cast<int>(std::max<long long>(value, last)) : position;
    if (wrapRow)
        return value <= lo ? wrapRow->max : value >= hi ? wrapRow->min : static_cast<int>(value);
    return static_cast<int>(std::clamp<long long>(value, lo, hi));
}

bool ParamStore::MoveSecondary(const LinkedPair& pair, int primaryShown, int secondaryShown, int step, int& moved)
{
    const CtrlTblEntry* primaryRow = RowOf(pair.primaryCtrl);
    const CtrlTblEntry* secondaryRow = RowOf(pair.secondaryCtrl);
    if (!primaryRow || !secondaryRow)
        return false;
    const long long primary = static_cast<long long>(primaryShown) + step;
    if (!primaryRow->wrap && (primary < primaryRow->min || primary > primaryRow->max))
        return false;

    const long long secondary = secondaryShown;
    long long candidate = pair.reverse ? secondary - step : secondary + step;
    const long long span = static_cast<long long>(secondaryRow->max) - secondaryRow->min + 1;
    if (secondaryRow->wrap) {
        if (candidate > secondaryRow->max)
            candidate -= span;
        else if (candidate < secondaryRow->min)
            candidate += span;
    } else if (candidate < secondaryRow->min || candidate > secondaryRow->max) {
        return false;
    }
    if (pair.sumLimit != 0) {
        if (secondary + primary < pair.sumLimit)
            return false;
        candidate = pair.sumLimit - primary;
    }
    moved = NumberText::ClampToInt(candidate);
    return true;
}

std::vector<ParamStore::LinkedMove> ParamStore::MoveLinked(int primaryCtrl, int step,
                                                           const std::function<int(int)>& shown)
{
    std::vector<LinkedMove> moves;
    const LinkedPair* pairs = LinkedPairTbl::Rows();
    for (int i = 0; i < LinkedPairTbl::Count(); ++i) {
        const LinkedPair& pair = pairs[i];
        int moved = 0;
        if (pair.primaryCtrl != primaryCtrl ||
            !MoveSecondary(pair, shown(pair.primaryCtrl), shown(pair.secondaryCtrl), step, moved))
            continue;
        SetParam(pair.secondaryCtrl, moved);
        moves.push_back({pair.secondaryCtrl, moved});
    }
    return moves;
}

ParamStore::CoupledBound ParamStore::LineCoupling(int ctrlId, int value)
{
    static const int start = CtrlId::Bound("STL");
    static const int end = CtrlId::Bound("ETL");
    // A value the camera holds may lie anywhere: the bound stays within the other's range.
    const auto within = [](int other, long long bound) {
        const CtrlTblEntry& row = *RowOf(other);
        return static_cast<int>(std::clamp<long long>(bound, row.min, row.max));
    };
    if (ctrlId == start)
        return {end, true, within(end, value + 1LL)};
    if (ctrlId == end)
        return {start, false, within(start, value - 1LL)};
    return {};
}
