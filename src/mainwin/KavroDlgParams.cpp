// The value store and the handling of every page control's events.
#include "mainwin/CKavroDlg.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

#include <climits>

#include "settings/AppSettings.h"
#include "params/ControlKind.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/NumberText.h"
#include "dialogs/BlockingScope.h"
#include "params/ControlIds.h"
#include "params/ControlRules.h"
#include "params/CtrlRegistry.h"
#include "params/CtrlTbl.h"
#include "params/KavroSpinBox.h"

namespace {

constexpr int kNoCommand = 65535;   // what CtrlId2ParamIndex gives for a control without a parameter
const int kCmBits[] = {4, 5, 6};    // "CM" bits of the R, G and B check boxes

int Bound(const char* mnemonic)
{
    return CtrlId::Bound(CommandTable::Find(mnemonic));
}

int CmCheckBit(int ctrlId)
{
    if (ctrlId == CtrlId::CmR)
        return kCmBits[0];
    if (ctrlId == CtrlId::CmG)
        return kCmBits[1];
    if (ctrlId == CtrlId::CmB)
        return kCmBits[2];
    return -1;
}

// Text that is a whole number and nothing else.
bool ParseWholeNumber(const QString& text, int& value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok, 10);
    return ok;
}

}  // namespace

int CKavroDlg::CtrlId2TblIndex(int ctrlId)
{
    const int row = CtrlTbl::FindByCtrl(ctrlId);
    if (row < 0)
        ShowUnexpected("CtrlId2TblIndex");
    return row;
}

int CKavroDlg::CtrlId2ParamIndex(int ctrlId)
{
    const int row = CtrlTbl::FindByCtrl(ctrlId);
    if (row < 0) {
        ShowUnexpected("CtrlId2ParamIndex");
        return -1;
    }
    const int command = CtrlTbl::Rows()[row].commandIndex;
    return command < 0 ? kNoCommand : command;
}

int CKavroDlg::GetParam(int ctrlId)
{
    const int index = CtrlId2ParamIndex(ctrlId);
    if (index < 0) {
        ShowUnexpected("GetParam");
        return -1;
    }
    return index == kNoCommand ? 0 : m_curParam[index];
}

void CKavroDlg::SetParam(int ctrlId, int value)
{
    const int index = CtrlId2ParamIndex(ctrlId);
    if (index < 0 || index == kNoCommand)
        return;
    ApplyLineCoupling(ctrlId, value);
    m_curParam[index] = value;
}

// The start line stays before the end line: each bounds the other's spin.
void CKavroDlg::ApplyLineCoupling(int ctrlId, int value)
{
    if (!m_initialised)
        return;
    static const int start = Bound("STL");
    static const int end = Bound("ETL");
    // A value read from the camera may sit at the edge of int: the bound stops there.
    if (ctrlId == start)
        m_registry->SetSpinRange(end, value < INT_MAX ? value + 1 : value, m_registry->SpinRange(end).second);
    else if (ctrlId == end)
        m_registry->SetSpinRange(start, m_registry->SpinRange(start).first, value > INT_MIN ? value - 1 : value);
}

int CKavroDlg::ParamIndex2CtrlId(int commandIndex) const
{
    const int row = CtrlTbl::FindByCommand(commandIndex);
    return row < 0 ? -1 : CtrlTbl::Rows()[row].ctrlId;
}

QWidget* CKavroDlg::FindCtrl(int ctrlId) const
{
    return m_registry->Find(ctrlId);
}

int CKavroDlg::ReadCtrlValue(int ctrlId) const
{
    return m_registry->ReadCtrlValue(ctrlId);
}

void CKavroDlg::WriteCtrlValue(int ctrlId, int value)
{
    m_registry->WriteCtrlValue(ctrlId, value);
}

bool CKavroDlg::HasChangedParams() const
{
    for (int i = 0; i < CommandTable::kCount; ++i)
        if (m_curParam[i] != m_prevParam[i])
            return true;
    return false;
}

void CKavroDlg::SendChangedParams()
{
    if (!m_initialised || !HasChangedParams())
        return;
    BlockingScope blocking;
    for (int i = 0; i < CommandTable::kCount; ++i) {
        if (m_curParam[i] == m_prevParam[i])
            continue;
        if (!m_engine->SetInt(i, 0, m_curParam[i], m_commandTimeoutMs)) {
            RevertUnsentParams(i);
            return;
        }
    }
}

// After a refused setting neither it nor any later change of the same pass
// reached the camera: all of them go back to their committed values.
void CKavroDlg::RevertUnsentParams(int fromIndex)
{
    for (int i = fromIndex; i < CommandTable::kCount; ++i) {
        if (m_curParam[i] == m_prevParam[i])
            continue;
        m_curParam[i] = m_prevParam[i];
        WriteParamToControls(i, m_prevParam[i]);
    }
}

// Every control bound to the command shows the value ("CM" has four).
void CKavroDlg::WriteParamToControls(int commandIndex, int value)
{
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int row = 0; row < CtrlTbl::Count(); ++row)
        if (rows[row].commandIndex == commandIndex && rows[row].ctrlId != 0)
            WriteCtrlValue(rows[row].ctrlId, value);
}

void CKavroDlg::CommitParams()
{
    for (int i = 0; i < CommandTable::kCount; ++i)
        m_prevParam[i] = m_curParam[i];
}

void CKavroDlg::RefreshAllCtrls()
{
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int row = 0; row < CtrlTbl::Count(); ++row)
        if (rows[row].ctrlId != 0)
            WriteCtrlValue(rows[row].ctrlId, GetParam(rows[row].ctrlId));
}

bool CKavroDlg::IsDisabledByRules(int dependentCtrl) const
{
    const DisableRule* rules = DisableRuleTbl::Rows();
    for (int i = 0; i < DisableRuleTbl::Count(); ++i)
        if (rules[i].dependentCtrl == dependentCtrl && ReadCtrlValue(rules[i].controllingCtrl) == rules[i].value)
            return true;
    return false;
}

void CKavroDlg::UpdateEnables(int ctrlId, int /*value*/)
{
    const DisableRule* rules = DisableRuleTbl::Rows();
    for (int i = 0; i < DisableRuleTbl::Count(); ++i)
        if (ctrlId == 0 || rules[i].controllingCtrl == ctrlId)
            m_registry->SetEnabled(rules[i].dependentCtrl, !IsDisabledByRules(rules[i].dependentCtrl));

    static const int sdm = Bound("SDM");
    if (m_settings.IsFactory() && (ctrlId == 0 || ctrlId == sdm) && ReadCtrlValue(sdm) == 1) {
        m_registry->SetEnabled(Bound("RS"), true);
        m_registry->SetEnabled(CtrlId::RecalibrateColor, true);
    }
}

bool CKavroDlg::IsWrapRow(int ctrlId) const
{
    const int row = CtrlTbl::FindByCtrl(ctrlId);
    return row >= 0 && CtrlTbl::Rows()[row].wrap == 1;
}

void CKavroDlg::AdjustLinked(int primaryCtrl, int step)
{
    const LinkedPair* pairs = LinkedPairTbl::Rows();
    for (int i = 0; i < LinkedPairTbl::Count(); ++i)
        if (pairs[i].primaryCtrl == primaryCtrl)
            AdjustOneLink(primaryCtrl, pairs[i].secondaryCtrl, pairs[i].reverse, pairs[i].sumLimit, step);
    SendChangedParams();
    CommitParams();
}

bool CKavroDlg::AdjustOneLink(int primaryCtrl, int secondaryCtrl, int reverse, int limit, int step)
{
    const CtrlTblEntry& primaryRow = CtrlTbl::Rows()[CtrlTbl::FindByCtrl(primaryCtrl)];
    const CtrlTblEntry& secondaryRow = CtrlTbl::Rows()[CtrlTbl::FindByCtrl(secondaryCtrl)];
    const int primary = ReadCtrlValue(primaryCtrl) + step;
    if (!primaryRow.wrap && (primary < primaryRow.min || primary > primaryRow.max))
        return false;

    const int secondary = ReadCtrlValue(secondaryCtrl);
    int candidate = reverse ? secondary - step : secondary + step;
    const int span = secondaryRow.max - secondaryRow.min + 1;
    if (secondaryRow.wrap) {
        if (candidate > secondaryRow.max)
            candidate -= span;
        else if (candidate < secondaryRow.min)
            candidate += span;
    } else if (candidate < secondaryRow.min || candidate > secondaryRow.max) {
        return false;
    }
    if (limit != 0) {
        if (secondary + primary < limit)
            return false;
        candidate = limit - primary;
    }
    WriteCtrlValue(secondaryCtrl, candidate);
    SetParam(secondaryCtrl, candidate);
    return true;
}

// A control reports nothing the operator meant while a camera operation
// blocks: such reports come from the program itself, as the focus an error box
// takes from an edit whose value is being sent.
void CKavroDlg::OnCtrlNotify(QWidget* control, CtrlNotification what, int ctrlId, int position, int step)
{
    if (BlockingScope::IsActive())
        return;
    switch (what) {
    case CtrlNotification::Clicked:
        if (ControlKind::GetCtrlClass(control) != ControlKind::ClassButton)
            return;
        switch (ControlKind::GetCtrlType(control)) {
        case ControlKind::TypePush:
            OnButtonClicked(ctrlId);
            break;
        case ControlKind::TypeRadio:
            OnRadioClicked(ctrlId);
            break;
        case ControlKind::TypeCheck:
            OnCheckClicked(ctrlId);
            break;
        default:
            break;
        }
        break;
    case CtrlNotification::KillFocus:
        if (ControlKind::GetCtrlClass(control) == ControlKind::ClassEdit)
            OnEditCommit(ctrlId);
        break;
    case CtrlNotification::SelChange:
        if (ControlKind::GetCtrlClass(control) == ControlKind::ClassCombo)
            OnComboSelChange(ctrlId);
        break;
    case CtrlNotification::DeltaPos:
        OnSpinDelta(ctrlId, position, step);
        break;
    }
}

void CKavroDlg::OnEditCommit(int ctrlId)
{
    auto* spin = qobject_cast<KavroSpinBox*>(FindCtrl(ctrlId));
    if (!spin)
        return;
    const auto [lo, hi] = m_registry->SpinRange(ctrlId);
    int value = 0;
    if (!ParseWholeNumber(spin->Text(), value) || value < lo || value > hi) {
        spin->SetPos(spin->Pos());   // shows the previous value again
        return;
    }
    if (IsWrapRow(ctrlId)) {
        const CtrlTblEntry& row = CtrlTbl::Rows()[CtrlTbl::FindByCtrl(ctrlId)];
        value = value <= row.min - 1 ? row.min : value >= row.max + 1 ? row.max : value;
    }
    SetParam(ctrlId, value);
    spin->SetPos(value);
    AdjustLinked(ctrlId, 0);
}

void CKavroDlg::OnSpinDelta(int ctrlId, int position, int step)
{
    AdjustLinked(ctrlId, step);
    const auto [lo, hi] = m_registry->SpinRange(ctrlId);
    int value = position + step;
    if (IsWrapRow(ctrlId)) {
        const CtrlTblEntry& row = CtrlTbl::Rows()[CtrlTbl::FindByCtrl(ctrlId)];
        value = value <= lo ? row.max : value >= hi ? row.min : value;
    } else {
        value = std::clamp(value, lo, hi);
    }
    WriteCtrlValue(ctrlId, value);
    SetParam(ctrlId, value);
    SendChangedParams();
    CommitParams();
}

void CKavroDlg::OnComboSelChange(int ctrlId)
{
    int value = ReadCtrlValue(ctrlId);
    if (ctrlId == Bound("CM"))
        value = (GetParam(ctrlId) & 0xF0) | (value & 0x0F);
    SetParam(ctrlId, value);
    SendChangedParams();
    CommitParams();
    UpdateEnables(ctrlId, value);
}

void CKavroDlg::OnCheckClicked(int ctrlId)
{
    int value = ReadCtrlValue(ctrlId);
    const int bit = CmCheckBit(ctrlId);
    if (bit >= 0)
        value = (GetParam(ctrlId) & ~(1 << bit)) | (value << bit);
    SetParam(ctrlId, value);
    SendChangedParams();
    CommitParams();
    UpdateEnables(ctrlId, value);
}

void CKavroDlg::OnRadioClicked(int ctrlId)
{
    auto* button = qobject_cast<QAbstractButton*>(FindCtrl(ctrlId));
    if (!button)
        return;
    int index = 0;
    QAbstractButton* head = ControlKind::FindRadioGroupHead(button, &index);
    const int headId = head ? CtrlIdOf(head) : ctrlId;
    SetParam(headId, index);
    SendChangedParams();
    CommitParams();
    UpdateEnables(headId, index);
}

int CKavroDlg::CtrlIdOf(const QWidget* control) const
{
    for (int id : m_registry->Ids())
        if (m_registry->Find(id) == control)
            return id;
    return 0;
}
