// Every page control's events, over the session's value store.
#include "mainwin/CKavroDlg.h"

#include <QAbstractButton>

#include "comm/NumberText.h"
#include "mainwin/PageButtons.h"
#include "params/ControlKind.h"
#include "params/CtrlRegistry.h"
#include "params/KavroSpinBox.h"
#include "session/Operation.h"

// A control reports nothing the operator meant while a camera operation
// blocks: such reports come from the program itself, as the focus an error box
// takes from an edit whose value is being sent.
void CKavroDlg::OnCtrlNotify(QWidget* control, CtrlNotification what, int ctrlId, int position, int step)
{
    if (Operation::IsRunning())
        return;
    switch (what) {
    case CtrlNotification::Clicked:
        if (ControlKind::GetCtrlClass(control) != ControlKind::ClassButton)
            return;
        switch (ControlKind::GetCtrlType(control)) {
        case ControlKind::TypePush:
            m_pageButtons->Press(ctrlId);
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
    auto* spin = qobject_cast<KavroSpinBox*>(m_pages->Registry().Find(ctrlId));
    if (!spin)
        return;
    const auto [lo, hi] = m_pages->Registry().SpinRange(ctrlId);
    int32_t typed = 0;
    int value = 0;
    if (!NumberText::IsWhole(spin->Text().trimmed().toStdString(), typed) ||
        !ParamStore::TypedValue(ctrlId, typed, lo, hi, value)) {
        spin->SetPos(spin->Pos());   // shows the previous value again
        return;
    }
    m_session.SetParam(ctrlId, value);
    spin->SetPos(value);
    AdjustLinked(ctrlId, 0);
}

void CKavroDlg::OnSpinDelta(int ctrlId, int position, int step)
{
    AdjustLinked(ctrlId, step);
    const auto [lo, hi] = m_pages->Registry().SpinRange(ctrlId);
    const int value = ParamStore::SteppedValue(ctrlId, position, step, lo, hi);
    WriteCtrlValue(ctrlId, value);
    m_session.SetParam(ctrlId, value);
    SendAndCommit();
}

// A check box takes the road of a combo box.
void CKavroDlg::OnCheckClicked(int ctrlId)
{
    OnComboSelChange(ctrlId);
}

void CKavroDlg::OnComboSelChange(int ctrlId)
{
    const int value = m_session.Params().ValueOfControl(ctrlId, ReadCtrlValue(ctrlId));
    m_session.SetParam(ctrlId, value);
    SendAndCommit();
    UpdateEnables(ctrlId, value);
}

void CKavroDlg::OnRadioClicked(int ctrlId)
{
    auto* button = qobject_cast<QAbstractButton*>(m_pages->Registry().Find(ctrlId));
    if (!button)
        return;
    int index = 0;
    QAbstractButton* head = ControlKind::FindRadioGroupHead(button, &index);
    const int headId = head ? m_pages->CtrlIdOf(head) : ctrlId;
    m_session.SetParam(headId, index);
    SendAndCommit();
    UpdateEnables(headId, index);
}

void CKavroDlg::AdjustLinked(int primaryCtrl, int step)
{
    const auto shown = [this](int ctrlId) { return ReadCtrlValue(ctrlId); };
    for (const ParamStore::LinkedMove& move : m_session.Params().MoveLinked(primaryCtrl, step, shown))
        WriteCtrlValue(move.ctrlId, move.value);
    SendAndCommit();
}

void CKavroDlg::SendAndCommit()
{
    m_session.SendChangedParams();
    m_session.CommitParams();
}
