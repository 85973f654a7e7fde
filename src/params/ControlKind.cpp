#include "params/ControlKind.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "params/KavroSpinBox.h"

int ControlKind::GetCtrlClass(const QWidget* window)
{
    if (qobject_cast<const KavroSpinBox*>(window) || qobject_cast<const QLineEdit*>(window))
        return ClassEdit;
    if (qobject_cast<const QComboBox*>(window))
        return ClassCombo;
    if (qobject_cast<const QAbstractButton*>(window))
        return ClassButton;
    return ClassOther;
}

int ControlKind::GetCtrlType(const QWidget* window)
{
    if (qobject_cast<const QPushButton*>(window))
        return TypePush;
    if (qobject_cast<const QCheckBox*>(window))
        return TypeCheck;
    if (qobject_cast<const QRadioButton*>(window))
        return TypeRadio;
    if (qobject_cast<const QAbstractButton*>(window))
        return TypeButton;
    return TypeOther;
}

int ControlKind::GetRadioGroupIndex(const QAbstractButton* head)
{
    if (!head || !head->group())
        return 0;
    const QList<QAbstractButton*> buttons = head->group()->buttons();
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked())
            return i;
    }
    return 0;
}

void ControlKind::SetRadioGroupIndex(QAbstractButton* head, int index)
{
    if (!head)
        return;
    QButtonGroup* group = head->group();
    if (!group) {
        // A lone radio button refuses to uncheck itself while it is auto-exclusive.
        const bool autoExclusive = head->autoExclusive();
        head->setAutoExclusive(false);
        head->setChecked(index == 0);
        head->setAutoExclusive(autoExclusive);
        return;
    }
    // An exclusive group refuses to uncheck its last checked button.
    const bool exclusive = group->exclusive();
    group->setExclusive(false);
    const QList<QAbstractButton*> buttons = group->buttons();
    for (int i = 0; i < buttons.size(); ++i)
        buttons[i]->setChecked(i == index);
    group->setExclusive(exclusive);
}

QAbstractButton* ControlKind::FindRadioGroupHead(QAbstractButton* button, int* index)
{
    QAbstractButton* head = button;
    int position = 0;
    if (button && button->group()) {
        const QList<QAbstractButton*> buttons = button->group()->buttons();
        head = buttons.first();
        position = static_cast<int>(buttons.indexOf(button));
    }
    if (index)
        *index = position;
    return head;
}
