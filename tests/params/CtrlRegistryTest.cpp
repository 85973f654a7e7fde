#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "RecordingSink.h"
#include "TestPage.h"
#include "params/ControlKind.h"
#include "params/CDlgParameterSheet.h"
#include "params/CtrlRegistry.h"
#include "params/KavroSpinBox.h"

using namespace TestPage;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    RecordingSink sink;
    CtrlRegistry registry;
    CDlgParameterSheet page{Content(), 3, registry, sink};

    template <typename T>
    T* Control(int ctrlId)
    {
        T* control = qobject_cast<T*>(registry.Find(ctrlId));
        EXPECT_NE(control, nullptr) << "control " << ctrlId;
        return control;
    }
};

}  // namespace

TEST_F(RegistryTest, EditsShowAndReadDecimalText)
{
    auto spin = Control<KavroSpinBox>(kGain);
    registry.WriteCtrlValue(kGain, -42);
    EXPECT_EQ(spin->Text(), "-42");
    EXPECT_EQ(spin->Pos(), -42) << "writing moves the position with the text";
    EXPECT_EQ(registry.ReadCtrlValue(kGain), -42);

    const std::pair<const char*, int> texts[] = {{"  -12abc", -12}, {"+7", 7}, {"abc", 0}, {"", 0}, {"3.9", 3}};
    for (const auto& [text, value] : texts) {
        spin->findChild<QLineEdit*>()->setText(text);   // as if typed
        EXPECT_EQ(registry.ReadCtrlValue(kGain), value) << "text \"" << text << "\"";
    }

    EXPECT_EQ(registry.SpinRange(kMode), std::make_pair(0, 0)) << "a combo box has no spin range";

    registry.WriteCtrlValue(CtrlId::TemperatureText, 25);
    EXPECT_EQ(Control<QLineEdit>(CtrlId::TemperatureText)->text(), "25") << "a read-out is an edit too";
}

// A combo box shows the entry whose item data equals the value; without item
// data, or where none matches, the value is the index. Item data 0 reads as the index.
TEST_F(RegistryTest, CombosUseItemDataWhereItIsSet)
{
    registry.SetComboItemData(kScan, {0, 7});
    struct Row {
        int ctrlId, written, index, read;
    };
    const Row rows[] = {{kMode, 2, 2, 2}, {kMode, 9, -1, -1},   // no entry: no selection
                        {kScan, 7, 1, 7}, {kScan, 0, 0, 0},   {kScan, 2, 2, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "control " << row.ctrlId << " written " << row.written);
        registry.WriteCtrlValue(row.ctrlId, row.written);
        EXPECT_EQ(Control<QComboBox>(row.ctrlId)->currentIndex(), row.index);
        EXPECT_EQ(registry.ReadCtrlValue(row.ctrlId), row.read);
    }
}

TEST_F(RegistryTest, ChecksRadiosAndButtons)
{
    registry.WriteCtrlValue(kKnee, 1);
    EXPECT_TRUE(Control<QCheckBox>(kKnee)->isChecked());
    EXPECT_EQ(registry.ReadCtrlValue(kKnee), 1);
    registry.WriteCtrlValue(kKnee, 2);
    EXPECT_FALSE(Control<QCheckBox>(kKnee)->isChecked()) << "only the value 1 checks a check box";
    EXPECT_EQ(registry.ReadCtrlValue(kKnee), 0);

    registry.WriteCtrlValue(kShutter, 2);
    EXPECT_TRUE(Control<QRadioButton>(CtrlId::SmProgrammableRgb)->isChecked()) << "the group counts from its head";
    EXPECT_FALSE(Control<QRadioButton>(kShutter)->isChecked());
    EXPECT_EQ(registry.ReadCtrlValue(kShutter), 2);
    EXPECT_EQ(registry.ReadCtrlValue(CtrlId::SmAuto), 2) << "any button of the group reads the group";
    registry.WriteCtrlValue(CtrlId::SmAuto, 3);
    EXPECT_EQ(registry.ReadCtrlValue(kShutter), 3) << "any button of the group writes the group";
    registry.WriteCtrlValue(kShutter, 7);
    EXPECT_EQ(registry.RadioGroup(kShutter)->checkedButton(), nullptr) << "an index past the group unchecks all";
    EXPECT_TRUE(registry.RadioGroup(kShutter)->exclusive()) << "and the group stays exclusive";
    EXPECT_EQ(registry.ReadCtrlValue(kShutter), 0) << "no checked button reads as 0";

    registry.WriteCtrlValue(kPush, 1);
    EXPECT_EQ(registry.ReadCtrlValue(kPush), -1) << "a push button has no value";
    EXPECT_EQ(registry.ReadCtrlValue(4321), -1) << "an unknown id has no value";
}

TEST_F(RegistryTest, CenterMarkerControlsShowTheirOwnBits)
{
    const int value = 0x52;   // Horizontal, R on, G off, B on
    for (int id : {kMarker, int(CtrlId::CmR), int(CtrlId::CmG), int(CtrlId::CmB)})
        registry.WriteCtrlValue(id, value);
    EXPECT_EQ(Control<QComboBox>(kMarker)->currentText(), "Horizontal");
    EXPECT_TRUE(Control<QCheckBox>(CtrlId::CmR)->isChecked()) << "bit 4";
    EXPECT_FALSE(Control<QCheckBox>(CtrlId::CmG)->isChecked()) << "bit 5";
    EXPECT_TRUE(Control<QCheckBox>(CtrlId::CmB)->isChecked()) << "bit 6";
    EXPECT_EQ(registry.ReadCtrlValue(kMarker), 2);
    EXPECT_EQ(registry.ReadCtrlValue(CtrlId::CmB), 1);

    registry.WriteCtrlValue(CtrlId::CmG, 0x20);
    EXPECT_TRUE(Control<QCheckBox>(CtrlId::CmG)->isChecked());
}

TEST_F(RegistryTest, FactoryAndHiddenControlsShowOnlyWhenTheyMay)
{
    page.show();
    auto vppLabel = page.findChildren<QLabel*>(QString(), Qt::FindChildrenRecursively);
    auto label = std::find_if(vppLabel.begin(), vppLabel.end(), [](QLabel* l) { return l->text() == "VPP"; });
    ASSERT_NE(label, vppLabel.end());
    EXPECT_TRUE(registry.Find(kVpp)->isVisible()) << "factory-level controls exist and show until hidden";
    registry.SetVisible(kVpp, false);
    EXPECT_FALSE(registry.Find(kVpp)->isVisible());
    EXPECT_FALSE((*label)->isVisible()) << "the caption of a factory-level control goes with it";
    registry.SetVisible(kVpp, true);
    EXPECT_TRUE((*label)->isVisible());

    ASSERT_NE(registry.Find(CtrlId::ProtectEnable), nullptr) << "hidden controls are registered";
    EXPECT_FALSE(registry.Find(CtrlId::ProtectEnable)->isVisible());
    registry.SetVisible(CtrlId::ProtectEnable, true);
    EXPECT_FALSE(registry.Find(CtrlId::ProtectEnable)->isVisible()) << "hidden controls are never shown";

    EXPECT_EQ(ControlKind::GetCtrlClass(*label), ControlKind::ClassOther);
    EXPECT_EQ(ControlKind::GetCtrlClass(nullptr), ControlKind::ClassOther);
}
