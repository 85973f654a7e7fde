// The pages over the value store: lookups with their error boxes, and every page control's events.
#include "mainwin/CKavroDlg.h"

#include <QAbstractButton>
#include <QWidget>

#include "settings/AppSettings.h"
#include "params/ControlKind.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/NumberText.h"
#include "dialogs/BlockingScope.h"
#include "mainwin/CCompareDlg.h"
#include "params/ControlIds.h"
#include "params/ControlRules.h"
#include "params/CtrlRegistry.h"
#include "params/CtrlTbl.h"
#include "params/KavroSpinBox.h"
#include "params/ParamStore.h"

int CKavroDlg::CtrlId2ParamIndex(int ctrlId)
{
    const int index = ParamStore::CommandOf(ctrlId);
    if (index < 0)
        ShowUnexpected("CtrlId2ParamIndex");
    return index;
}

int CKavroDlg::GetParam(int ctrlId)
{
    if (CtrlId2ParamIndex(ctrlId) < 0) {
        ShowUnexpected("GetParam");
        return -1;
    }
    return m_params.GetParam(ctrlId);
}

void CKavroDlg::SetParam(int ctrlId, int value)
{
    if (CtrlId2ParamIndex(ctrlId) < 0)
        return;
    if (m_params.SetParam(ctrlId, value) && m_initialised)
        ApplyLineCoupling(ParamStore::LineCoupling(ctrlId, value));
}

int CKavroDlg::ParamIndex2CtrlId(int commandIndex) const
{
    return ParamStore::ParamIndex2CtrlId(commandIndex);
}

void CKavroDlg::ApplyLineCoupling(const ParamStore::CoupledBound& bound)
{
    if (bound.ctrlId == 0)
        return;
    const auto [lo, hi] = m_registry->SpinRange(bound.ctrlId);
    if (bound.lower)
        m_registry->SetSpinRange(bound.ctrlId, bound.value, hi);
    else
        m_registry->SetSpinRange(bound.ctrlId, lo, bound.value);
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

// The controls of a refused setting and of every later change of its pass
// show their committed values again.
void CKavroDlg::SendChangedParams()
{
    if (!m_initialised || !m_params.HasChanges())
        return;
    BlockingScope blocking;
    const auto send = [this](int commandIndex, int value) {
        return m_engine->SetInt(commandIndex, 0, value, m_commandTimeoutMs) != 0;
    };
    for (int commandIndex : m_params.SendChanges(send))
        WriteParamToControls(commandIndex, m_params.Cur(commandIndex));
}

// Every control bound to the command shows the value ("CM" has four).
void CKavroDlg::WriteParamToControls(int commandIndex, int value)
{
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int row = 0; row < CtrlTbl::Count(); ++row)
        if (rows[row].commandIndex == commandIndex && rows[row].ctrlId != 0)
            WriteCtrlValue(rows[row].ctrlId, value);
}

// Committed values are what the camera holds: an open comparison follows them.
void CKavroDlg::CommitParams()
{
    m_params.Commit();
    if (m_compareDlg)
        m_compareDlg->FollowCamera([this](int commandIndex) { return m_params.Prev(commandIndex); });
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

    static const int sdm = CtrlId::Bound("SDM");
    if (m_settings.IsFactory() && (ctrlId == 0 || ctrlId == sdm) && ReadCtrlValue(sdm) == 1) {
        m_registry->SetEnabled(CtrlId::Bound("RS"), true);
        m_registry->SetEnabled(CtrlId::RecalibrateColor, true);
    }
}

void CKavroDlg::AdjustLinked(int primaryCtrl, int step)
{
    const auto shown = [this](int ctrlId) { return ReadCtrlValue(ctrlId); };
    for (const ParamStore::LinkedMove& move : m_params.MoveLinked(primaryCtrl, step, shown))
        WriteCtrlValue(move.ctrlId, move.value);
    SendChangedParams();
    CommitParams();
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
    int32_t typed = 0;
    int value = 0;
    if (!NumberText::IsWhole(spin->Text().trimmed().toStdString(), typed) ||
        !ParamStore::TypedValue(ctrlId, typed, lo, hi, value)) {
        spin->SetPos(spin->Pos());   // shows the previous value again
        return;
    }
    SetParam(ctrlId, value);
    spin->SetPos(value);
    AdjustLinked(ctrlId, 0);
}

void CKavroDlg::OnSpinDelta(int ctrlId, int position, int step)
{
    AdjustLinked(ctrlId, step);
    const auto [lo, hi] = m_registry->SpinRange(ctrlId);
    const int value = ParamStore::SteppedValue(ctrlId, position, step, lo, hi);
    WriteCtrlValue(ctrlId, value);
    SetParam(ctrlId, value);
    SendChangedParams();
    CommitParams();
}

void CKavroDlg::OnComboSelChange(int ctrlId)
{
    const int value = m_params.ValueOfControl(ctrlId, ReadCtrlValue(ctrlId));
    SetParam(ctrlId, value);
    SendChangedParams();
    CommitParams();
    UpdateEnables(ctrlId, value);
}

void CKavroDlg::OnCheckClicked(int ctrlId)
{
    const int value = m_params.ValueOfControl(ctrlId, ReadCtrlValue(ctrlId));
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
