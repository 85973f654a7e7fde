// Every bound control of every page reaches the camera, at the factory level.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

#include "dialogs/BlockingScope.h"
#include "comm/CRsCmd.h"
#include "params/CtrlTbl.h"
#include "support/MainWindowRig.h"

namespace {

// The camera's answer in the unit the pages show; the engine tick keeps off it.
int AskCamera(MainWindowRig& rig, int command)
{
    BlockingScope asking;
    int value = 0;
    EXPECT_TRUE(rig.Inside().Owner().Camera()->GetInt(command, 0, value, rig.Inside().Session().GetLimits().commandMs));
    return value;
}

int IdOf(MainWindowRig& rig, const QWidget* control)
{
    for (int id : rig.Registry().Ids())
        if (rig.Registry().Find(id) == control)
            return id;
    return 0;
}

// Changes the control to another valid value the way its own event would.
void ChangeControl(MainWindowRig& rig, const CtrlTblEntry& row)
{
    MainWindowAccess window = rig.Inside();
    const int id = row.ctrlId;
    switch (row.kind) {
    case CtrlKindEdit: {
        const auto [spinLo, spinHi] = rig.Registry().SpinRange(id);   // narrowed by the line coupling
        const int lo = std::max(spinLo, row.min);
        const int hi = std::min(spinHi, row.max);
        const int middle = lo / 2 + hi / 2;
        const int value = middle != window.Cur(row.commandIndex) ? middle : middle < hi ? middle + 1 : middle - 1;
        rig.Spin(id)->findChild<QLineEdit*>()->setText(QString::number(value));
        window.EditCommit(id);
        break;
    }
    case CtrlKindCombo: {
        QComboBox* combo = rig.Combo(id);
        combo->setCurrentIndex((combo->currentIndex() + 1) % combo->count());
        window.ComboSelChange(id);
        break;
    }
    case CtrlKindCheck:
        rig.Button(id)->setChecked(!rig.Button(id)->isChecked());
        window.CheckClicked(id);
        break;
    case CtrlKindRadio:
        for (QAbstractButton* button : rig.Registry().RadioGroup(id)->buttons())
            if (!button->isChecked()) {
                button->setChecked(true);
                window.RadioClicked(IdOf(rig, button));
                break;
            }
        break;
    default:
        break;
    }
}

}  // namespace

TEST(RoundTrip, EveryControlReachesTheCamera)
{
    MainWindowRig rig(ActiveFactory);
    rig.window->Initialise();
    int changed = 0;
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int i = 0; i < CtrlTbl::Count(); ++i) {
        const CtrlTblEntry& row = rows[i];
        if (row.ctrlId == 0 || row.commandIndex < 0 || row.kind == CtrlKindButton)
            continue;
        const int before = rig.Inside().Cur(row.commandIndex);
        ChangeControl(rig, row);
        const int after = rig.Inside().Cur(row.commandIndex);
        const std::string name = CommandTable::Row(row.commandIndex).mnemonic;
        EXPECT_NE(after, before) << name << " (control " << row.ctrlId << ") did not change";
        EXPECT_EQ(AskCamera(rig, row.commandIndex), after) << name << " did not reach the camera";
        EXPECT_EQ(rig.Inside().Prev(row.commandIndex), after) << name << " was not committed";
        changed += after != before ? 1 : 0;
    }
    EXPECT_GE(changed, 290) << "nearly every row is a control of its own";
    EXPECT_TRUE(rig.prompts.prompts.empty()) << rig.prompts.LastText().toStdString();
}
