#include "params/CtrlRegistry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>

#include "params/ControlKind.h"
#include "comm/CommandTable.h"
#include "comm/NumberText.h"
#include "params/ControlIds.h"
#include "params/ControlRules.h"
#include "params/KavroSpinBox.h"

namespace {

int ComboValue(const QComboBox* combo)
{
    const int index = combo->currentIndex();
    if (index < 0)
        return -1;   // no selection reads as an error value
    const int data = combo->itemData(index).toInt();   // absent data reads as 0
    return data != 0 ? data : index;
}

void SelectComboValue(QComboBox* combo, int value)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemData(i).toInt() == value) {
            combo->setCurrentIndex(i);
            return;
        }
    }
    // An index outside the entries leaves no selection.
    combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
}

QString EditText(const QWidget* control)
{
    if (auto spin = qobject_cast<const KavroSpinBox*>(control))
        return spin->Text();
    return static_cast<const QLineEdit*>(control)->text();
}

void WriteEdit(QWidget* control, int value)
{
    if (auto spin = qobject_cast<KavroSpinBox*>(control))
        spin->SetPos(value);
    else
        static_cast<QLineEdit*>(control)->setText(QString::number(value));
}

int ReadButton(const QWidget* control)
{
    switch (ControlKind::GetCtrlType(control)) {
    case ControlKind::TypeCheck:
        return static_cast<const QAbstractButton*>(control)->isChecked() ? 1 : 0;
    case ControlKind::TypeRadio:   // any member of a group reads the group, as its head does
        return ControlKind::GetRadioGroupIndex(static_cast<const QAbstractButton*>(control));
    default:
        return -1;
    }
}

void WriteButton(QWidget* control, int value)
{
    auto button = static_cast<QAbstractButton*>(control);
    switch (ControlKind::GetCtrlType(control)) {
    case ControlKind::TypeCheck:
        button->setChecked(value == 1);
        break;
    case ControlKind::TypeRadio:
        ControlKind::SetRadioGroupIndex(ControlKind::FindRadioGroupHead(button, nullptr), value);
        break;
    default:
        break;
    }
}

}  // namespace

bool CtrlRegistry::Add(int ctrlId, QWidget* control)
{
    if (ctrlId == 0 || !control || Find(ctrlId))
        return false;
    m_controls[ctrlId] = control;
    return true;
}

void CtrlRegistry::MarkNeverShown(int ctrlId)
{
    m_neverShown.insert(ctrlId);
}

void CtrlRegistry::AddCompanion(int ctrlId, QWidget* companion)
{
    m_companions[ctrlId].emplace_back(companion);
}

void CtrlRegistry::AddRadio(int headId, QRadioButton* button)
{
    QPointer<QButtonGroup>& group = m_radioGroups[headId];
    if (!group) {
        // Lives as long as its head button, which is the group's first member.
        group = new QButtonGroup(button);
        group->setExclusive(true);
    }
    group->addButton(button);
}

QWidget* CtrlRegistry::Find(int ctrlId) const
{
    const auto found = m_controls.find(ctrlId);
    return found == m_controls.end() ? nullptr : found->second.data();
}

QButtonGroup* CtrlRegistry::RadioGroup(int headId) const
{
    const auto found = m_radioGroups.find(headId);
    return found == m_radioGroups.end() ? nullptr : found->second.data();
}

std::vector<int> CtrlRegistry::Ids() const
{
    std::vector<int> ids;
    for (const auto& [id, control] : m_controls) {
        if (control)
            ids.push_back(id);
    }
    return ids;
}

int CtrlRegistry::ReadCtrlValue(int ctrlId) const
{
    const QWidget* control = Find(ctrlId);
    switch (control ? ControlKind::GetCtrlClass(control) : ControlKind::ClassOther) {
    case ControlKind::ClassEdit:
        return NumberText::Decimal(EditText(control).toStdString());
    case ControlKind::ClassCombo:
        return ComboValue(static_cast<const QComboBox*>(control));
    case ControlKind::ClassButton:
        return ReadButton(control);
    default:
        return -1;
    }
}

void CtrlRegistry::WriteCtrlValue(int ctrlId, int value)
{
    QWidget* control = Find(ctrlId);
    if (!control)
        return;
    value = OwnBitsOfSharedValue(ctrlId, value);
    switch (ControlKind::GetCtrlClass(control)) {
    case ControlKind::ClassEdit:
        WriteEdit(control, value);
        break;
    case ControlKind::ClassCombo:
        SelectComboValue(static_cast<QComboBox*>(control), value);
        break;
    case ControlKind::ClassButton:
        WriteButton(control, value);
        break;
    default:
        break;
    }
}

// The centre marker value packs its combo box (bits 0..3) and the R, G, B
// check boxes (bits 4, 5, 6); each control shows only its own part.
int CtrlRegistry::OwnBitsOfSharedValue(int ctrlId, int value)
{
    switch (ctrlId) {
    case CtrlId::Bound(CmdCM):
        return value & 0x0F;
    case CtrlId::CmR:
        return (value >> 4) & 1;
    case CtrlId::CmG:
        return (value >> 5) & 1;
    case CtrlId::CmB:
        return (value >> 6) & 1;
    default:
        return value;
    }
}

void CtrlRegistry::SetEnabled(int ctrlId, bool enabled)
{
    if (QWidget* control = Find(ctrlId))
        control->setEnabled(enabled);
}

void CtrlRegistry::ApplyDisableRules(int ctrlId)
{
    const DisableRule* rules = DisableRuleTbl::Rows();
    for (int i = 0; i < DisableRuleTbl::Count(); ++i)
        if (ctrlId == 0 || rules[i].controllingCtrl == ctrlId)
            SetEnabled(rules[i].dependentCtrl, !IsDisabledByRules(rules[i].dependentCtrl));
}

bool CtrlRegistry::IsDisabledByRules(int dependentCtrl) const
{
    const DisableRule* rules = DisableRuleTbl::Rows();
    for (int i = 0; i < DisableRuleTbl::Count(); ++i)
        if (rules[i].dependentCtrl == dependentCtrl && ReadCtrlValue(rules[i].controllingCtrl) == rules[i].value)
            return true;
    return false;
}

void CtrlRegistry::SetVisible(int ctrlId, bool visible)
{
    QWidget* control = Find(ctrlId);
    if (!control || (visible && m_neverShown.count(ctrlId)))
        return;
    control->setVisible(visible);
    for (const QPointer<QWidget>& companion : m_companions[ctrlId]) {
        if (companion)
            companion->setVisible(visible);
    }
}

void CtrlRegistry::SetSpinRange(int ctrlId, int lo, int hi)
{
    if (auto spin = qobject_cast<KavroSpinBox*>(Find(ctrlId)))
        spin->SetRange(lo, hi);
}

std::pair<int, int> CtrlRegistry::SpinRange(int ctrlId) const
{
    if (auto spin = qobject_cast<const KavroSpinBox*>(Find(ctrlId)))
        return spin->Range();
    return {0, 0};
}

void CtrlRegistry::SetComboItemData(int ctrlId, const std::vector<int>& data)
{
    auto combo = qobject_cast<QComboBox*>(Find(ctrlId));
    if (!combo)
        return;
    const int count = std::min(combo->count(), static_cast<int>(data.size()));
    for (int i = 0; i < count; ++i)
        combo->setItemData(i, data[static_cast<size_t>(i)]);
}
