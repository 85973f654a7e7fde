#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <map>
#include <set>
#include <utility>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QRadioButton;

// Every page control by its id, and the radio groups. The pages fill it while
// they are built; the main window reads and writes the controls through it.
// Writing a value never emits the notifications that user actions emit.
class CtrlRegistry {
public:
    // False (and nothing registered) when the id is 0 or already taken.
    bool Add(int ctrlId, QWidget* control);
    // A control that stays hidden whatever SetVisible asks.
    void MarkNeverShown(int ctrlId);
    // Widgets (a label beside the control) that SetVisible shows and hides with it.
    void AddCompanion(int ctrlId, QWidget* companion);
    // Appends the button to the group led by headId; the head's own call creates
    // the group, so the head must come first.
    void AddRadio(int headId, QRadioButton* button);

    QWidget* Find(int ctrlId) const;
    QButtonGroup* RadioGroup(int headId) const;
    std::vector<int> Ids() const;

    // What the control shows: edit text read as a decimal integer; combo item
    // data of the selection, or its index when that data is 0; check 1/0; radio
    // its group's index. -1 for push buttons and missing or unknown controls.
    int ReadCtrlValue(int ctrlId) const;
    // Makes the control show the value (the "CM" controls take their own bits).
    void WriteCtrlValue(int ctrlId, int value);

    void SetEnabled(int ctrlId, bool enabled);
    // The controls a disable rule of this control (0: of any control) governs
    // are enabled unless a rule holds for what the controls show.
    void ApplyDisableRules(int ctrlId);
    void SetVisible(int ctrlId, bool visible);
    // Spin range; {0, 0} when the control is no spin.
    void SetSpinRange(int ctrlId, int lo, int hi);
    std::pair<int, int> SpinRange(int ctrlId) const;
    void SetComboItemData(int ctrlId, const std::vector<int>& data);

private:
    static int OwnBitsOfSharedValue(int ctrlId, int value);
    bool IsDisabledByRules(int dependentCtrl) const;

    std::map<int, QPointer<QWidget>> m_controls;
    std::map<int, QPointer<QButtonGroup>> m_radioGroups;
    std::map<int, std::vector<QPointer<QWidget>>> m_companions;
    std::set<int> m_neverShown;
};
