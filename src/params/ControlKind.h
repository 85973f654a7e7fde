#pragma once

class QWidget;
class QAbstractButton;

// What kind of control a page widget is, and the radio-group operations the
// bindings use: a group starts at its head button and holds the buttons that follow it.
class ControlKind {
public:
    enum CtrlClass { ClassOther = 0, ClassEdit = 1, ClassCombo = 3, ClassButton = 4 };
    enum CtrlType { TypeOther = 0, TypeButton = 4, TypePush = 5, TypeCheck = 6, TypeRadio = 7 };

    static int GetCtrlClass(const QWidget* window);
    static int GetCtrlType(const QWidget* window);
    static int GetRadioGroupIndex(const QAbstractButton* head);
    static void SetRadioGroupIndex(QAbstractButton* head, int index);
    // The head of the clicked button's group and the button's position in it.
    static QAbstractButton* FindRadioGroupHead(QAbstractButton* button, int* index);
};
