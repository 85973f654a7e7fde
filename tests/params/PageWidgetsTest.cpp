// The parameter pages with real widgets off screen: a small page with one
// control of every kind, and the real pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <functional>
#include <memory>
#include <vector>

#include "comm/CommandTable.h"
#include "params/CDlgParameterSheet.h"
#include "params/ControlIds.h"
#include "params/ControlKind.h"
#include "params/CtrlNotifySink.h"
#include "params/CtrlRegistry.h"
#include "params/CtrlTbl.h"
#include "params/KavroSpinBox.h"
#include "params/PageContents.h"

namespace {

// A small page with one control of every kind, independent of the real page
// data. Only the "CM" and "SM" ids matter to the code; the others are any free ids.
constexpr int kGain = CtrlId::Bound(CmdGA);
constexpr int kMode = CtrlId::Bound(13);
constexpr int kScan = CtrlId::Bound(19);
constexpr int kKnee = CtrlId::Bound(39);
constexpr int kMarker = CtrlId::Bound(CmdCM);
constexpr int kShutter = CtrlId::Bound(CmdSM);
constexpr int kPush = CtrlId::Bound(CmdAW);
constexpr int kVpp = CtrlId::Bound(300);

// Radio buttons all join the page's one group, that of the shutter.
PageCell Cell(CellKind kind, int ctrlId, const char* text = "", std::vector<std::string> entries = {})
{
    PageCell cell;
    cell.kind = kind;
    cell.ctrlId = ctrlId;
    cell.text = text;
    cell.entries = std::move(entries);
    cell.groupHead = kind == CellKind::Radio ? kShutter : 0;
    return cell;
}

PageContent Content()
{
    using K = CellKind;
    PageGroup values{"Values", {}, 0, 0, 1, 1};
    values.rows = {
        {{Cell(K::Label, 0, "Gain"), Cell(K::Edit, kGain)}},
        {{Cell(K::Label, 0, "Mode"), Cell(K::List, kMode, "", {"NORMAL", "EPS", "PWC", "RCT"})}},
        {{Cell(K::Label, 0, "Scan"), Cell(K::List, kScan, "", {"FULL Frame", "Partial", "Third"})}},
        {{Cell(K::Check, kKnee, "Knee On")}},
        {{Cell(K::Label, 0, "CenterMarker"), Cell(K::List, kMarker, "", {"OFF", "Vertical", "Horizontal", "Both"}),
          Cell(K::Check, CtrlId::CmR, "R"), Cell(K::Check, CtrlId::CmG, "G"), Cell(K::Check, CtrlId::CmB, "B")}},
    };
    // The head is listed after another button: the group must still start at the head.
    PageGroup shutter{"Shutter", {}, 1, 0, 1, 1};
    shutter.rows = {
        {{Cell(K::Radio, CtrlId::SmProgrammableCommon, "Programmable exposure")}},
        {{Cell(K::Radio, kShutter, "Preset")}},
        {{Cell(K::Radio, CtrlId::SmProgrammableRgb, "Programmable exposure")}},
        {{Cell(K::Radio, CtrlId::SmAuto, "Auto exposure")}},
    };
    PageCell hidden = Cell(K::Check, CtrlId::ProtectEnable, "Enable to Protected Controls");
    hidden.hidden = true;
    PageCell vppLabel = Cell(K::Label, 0, "VPP");
    vppLabel.factoryOnly = true;
    PageCell vpp = Cell(K::List, kVpp, "", {"Video Process", "Direct Output"});
    vpp.factoryOnly = true;
    PageGroup loose{"", {}, 0, 1, 1, 2};
    loose.rows = {
        {{Cell(K::Button, kPush, "One-Push AWB"), Cell(K::ReadOut, CtrlId::TemperatureText)}},
        {{hidden}},
        {{vppLabel, vpp}},
    };
    return {"Test Page", FactoryPage, {values, shutter, loose}};
}

// Stands in for the main window: records every notification and key press,
// and swallows the keys the test chooses.
struct RecordingSink : CtrlNotifySink {
    struct Notice {
        QWidget* control;
        CtrlNotification what;
        int ctrlId, position, step;
    };

    void OnCtrlNotify(QWidget* control, CtrlNotification what, int ctrlId, int position, int step) override
    {
        notices.push_back({control, what, ctrlId, position, step});
    }
    bool OnKeyDownMsg(QWidget* source, QKeyEvent* event) override
    {
        keys.push_back({source, event->key()});
        return swallow && swallow(event->key());
    }

    void Clear()
    {
        notices.clear();
        keys.clear();
    }

    std::vector<Notice> notices;
    std::vector<std::pair<QWidget*, int>> keys;   // source and key
    std::function<bool(int key)> swallow;
};

// The test page shown and active, the focus on a combo box so that no edit's focus loss notifies.
class PageWidgets : public ::testing::Test {
protected:
    void SetUp() override
    {
        page.show();
        QApplication::setActiveWindow(&page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        registry.Find(kMode)->setFocus();
        sink.Clear();
    }

    // The action gave exactly this one notification since the last call.
    void ExpectSingle(const char* action, CtrlNotification what, int ctrlId, int position = 0, int step = 0)
    {
        ASSERT_EQ(sink.notices.size(), 1u) << action << " gives exactly one notification";
        const RecordingSink::Notice& notice = sink.notices.front();
        EXPECT_EQ(notice.what, what) << action;
        EXPECT_EQ(notice.ctrlId, ctrlId) << action;
        EXPECT_EQ(notice.control, registry.Find(ctrlId)) << action;
        EXPECT_EQ(notice.position, position) << action;
        EXPECT_EQ(notice.step, step) << action;
        sink.Clear();
    }

    RecordingSink sink;
    CtrlRegistry registry;
    CDlgParameterSheet page{Content(), 3, registry, sink};
};

}  // namespace

// Edits read decimal text. Combo boxes show the entry whose item data equals
// the value, else the entry of that index; only 1 checks a check box; a radio
// group counts from its head, whichever of its buttons is written or read.
TEST_F(PageWidgets, WrittenValuesAreShownAndReadBack)
{
    auto spin = static_cast<KavroSpinBox*>(registry.Find(kGain));
    for (const auto& [text, value] : {std::pair{"  -12abc", -12}, {"+7", 7}, {"abc", 0}, {"", 0}, {"3.9", 3}}) {
        spin->findChild<QLineEdit*>()->setText(text);   // as if typed
        EXPECT_EQ(registry.ReadCtrlValue(kGain), value) << "text \"" << text << "\"";
    }
    registry.SetComboItemData(kScan, {0, 7});
    const auto shown = [&](int ctrlId) {   // the number, entry, check or radio position on screen
        if (auto spin = qobject_cast<KavroSpinBox*>(registry.Find(ctrlId)))
            return spin->Pos() == spin->Text().toInt() ? spin->Pos() : INT_MIN;   // both move together
        if (auto edit = qobject_cast<QLineEdit*>(registry.Find(ctrlId)))
            return edit->text().toInt();
        if (auto combo = qobject_cast<QComboBox*>(registry.Find(ctrlId)))
            return combo->currentIndex();
        if (qobject_cast<QRadioButton*>(registry.Find(ctrlId))) {   // the page's one group
            const QButtonGroup* group = registry.RadioGroup(kShutter);
            return static_cast<int>(group->buttons().indexOf(group->checkedButton()));
        }
        auto check = qobject_cast<QCheckBox*>(registry.Find(ctrlId));
        return check ? int(check->isChecked()) : -1;
    };
    struct Row {
        int written, value, readFrom, shown, read;
    };
    const Row rows[] = {{kGain, -42, kGain, -42, -42}, {CtrlId::TemperatureText, 25, CtrlId::TemperatureText, 25, 25},
                        {kMode, 2, kMode, 2, 2},   {kMode, 9, kMode, -1, -1},   // no entry: no selection
                        {kScan, 7, kScan, 1, 7},   {kScan, 0, kScan, 0, 0},     // item data 0 reads as the index
                        {kScan, 2, kScan, 2, 2},   {kKnee, 1, kKnee, 1, 1},     {kKnee, 2, kKnee, 0, 0},
                        {kShutter, 2, CtrlId::SmAuto, 2, 2}, {CtrlId::SmAuto, 3, kShutter, 3, 3},
                        {kShutter, 7, kShutter, -1, 0},   // past the group: no button checked, reads as 0
                        {kPush, 1, kPush, -1, -1},  {4321, 1, 4321, -1, -1},   // no value
                        // The centre marker's controls each show their own bits of one value.
                        {kMarker, 0x52, kMarker, 2, 2}, {CtrlId::CmR, 0x52, CtrlId::CmR, 1, 1},
                        {CtrlId::CmG, 0x52, CtrlId::CmG, 0, 0}, {CtrlId::CmB, 0x52, CtrlId::CmB, 1, 1},
                        {CtrlId::CmG, 0x20, CtrlId::CmG, 1, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "control " << row.written << " written " << row.value);
        registry.WriteCtrlValue(row.written, row.value);
        EXPECT_EQ(shown(row.readFrom), row.shown);
        EXPECT_EQ(registry.ReadCtrlValue(row.readFrom), row.read);
    }
    EXPECT_TRUE(registry.RadioGroup(kShutter)->exclusive()) << "unchecking all leaves the group exclusive";
}

TEST_F(PageWidgets, FactoryAndHiddenControlsShowOnlyWhenTheyMay)
{
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

    EXPECT_EQ(ControlKind::GetCtrlClass(nullptr), ControlKind::ClassOther);
}

TEST_F(PageWidgets, UserActionsNotifyOnceAndWritesNever)
{
    EXPECT_EQ(page.findChildren<QGroupBox*>().size(), 2) << "a group without caption has no box";

    QTest::mouseClick(registry.Find(kKnee), Qt::LeftButton);
    ExpectSingle("clicking a check box", CtrlNotification::Clicked, kKnee);
    QTest::mouseClick(registry.Find(CtrlId::SmAuto), Qt::LeftButton);
    ExpectSingle("clicking a radio button", CtrlNotification::Clicked, CtrlId::SmAuto);
    EXPECT_EQ(registry.ReadCtrlValue(kShutter), 3) << "the head leads the group although it was listed second";
    QTest::mouseClick(registry.Find(kPush), Qt::LeftButton);
    ExpectSingle("clicking a push button", CtrlNotification::Clicked, kPush);

    auto mode = static_cast<QComboBox*>(registry.Find(kMode));
    mode->setFocus();
    QTest::keyClick(mode, Qt::Key_Down);
    ExpectSingle("choosing a combo entry", CtrlNotification::SelChange, kMode);
    EXPECT_EQ(mode->currentIndex(), 1);

    for (int id : registry.Ids())
        registry.WriteCtrlValue(id, 1);
    registry.WriteCtrlValue(kShutter, 0);
    EXPECT_TRUE(sink.notices.empty()) << "values written by the program notify nothing";
}

// A spin box only reports steps and the focus loss: judging typed text and
// moving the position are the main window's.
TEST_F(PageWidgets, SpinStepsAndTypedTextAreLeftToTheMainWindow)
{
    auto spin = static_cast<KavroSpinBox*>(registry.Find(kGain));
    registry.SetSpinRange(kGain, 0, 10);
    registry.WriteCtrlValue(kGain, 5);
    QTest::keyClick(spin, Qt::Key_Down);
    ExpectSingle("a spin step", CtrlNotification::DeltaPos, kGain, 5, -1);
    EXPECT_EQ(spin->Pos(), 5) << "a step must not move the spin";
    EXPECT_EQ(spin->Text(), "5") << "nor change the text";
    registry.WriteCtrlValue(kGain, 10);
    QTest::keyClick(spin, Qt::Key_Up);
    ExpectSingle("a step at the top, which wrap rows need", CtrlNotification::DeltaPos, kGain, 10, 1);

    // Typed text is neither refused nor fixed up; a step starts from it when it is in range.
    const std::pair<const char*, int> typed[] = {{"5000", 10}, {"abc", 10}, {"7", 7}};
    for (const auto& [text, base] : typed) {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, text);
        registry.Find(kMode)->setFocus();
        ExpectSingle("leaving an edit", CtrlNotification::KillFocus, kGain);
        EXPECT_EQ(spin->Text(), text);
        EXPECT_EQ(spin->Pos(), 10) << "the position waits for the main window";
        QTest::keyClick(spin, Qt::Key_Up);
        ExpectSingle(text, CtrlNotification::DeltaPos, kGain, base, 1);
    }
}

TEST_F(PageWidgets, KeysReachTheMainWindowFirst)
{
    auto spin = static_cast<KavroSpinBox*>(registry.Find(kGain));
    QSignalSpy finished(spin, &QAbstractSpinBox::editingFinished);
    spin->setFocus();

    sink.swallow = [](int key) { return key == Qt::Key_Return; };
    QTest::keyClick(spin, Qt::Key_Return);
    ASSERT_EQ(sink.keys.size(), 1u) << "the key is offered once, not again on its way up";
    EXPECT_EQ(sink.keys[0].first, spin);
    EXPECT_EQ(finished.count(), 0) << "a swallowed Enter never reaches the edit";

    sink.Clear();
    sink.swallow = nullptr;
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(sink.keys.size(), 1u) << "an Enter the edit passes on to its parents is still offered once";
    EXPECT_EQ(finished.count(), 1) << "a key the main window leaves alone reaches the edit";

    auto push = registry.Find(kPush);
    push->setFocus();
    sink.Clear();
    QTest::keyClick(push, Qt::Key_Return);
    EXPECT_TRUE(sink.notices.empty()) << "Enter never presses a page button";
    EXPECT_EQ(sink.keys.size(), 1u);

    sink.Clear();
    sink.swallow = [](int key) { return key == Qt::Key_Space; };
    QTest::keyClick(registry.Find(kKnee), Qt::Key_Space);
    EXPECT_TRUE(sink.notices.empty()) << "a swallowed Space does not toggle the check box";
    EXPECT_FALSE(static_cast<QCheckBox*>(registry.Find(kKnee))->isChecked());
}

// The real pages: every bound control built and shown with its command, and room enough.
TEST(AllPages, EveryControlIsBuiltAndEveryPageFitsTheTabs)
{
    RecordingSink sink;
    CtrlRegistry registry;
    std::vector<std::unique_ptr<CDlgParameterSheet>> pages;
    for (size_t i = 0; i < PageContents().size(); ++i)
        pages.push_back(std::make_unique<CDlgParameterSheet>(PageContents()[i], static_cast<int>(i), registry, sink));
    for (int i = 0; i < CtrlTbl::Count(); ++i) {
        const CtrlTblEntry& row = CtrlTbl::Rows()[i];
        const QWidget* control = row.ctrlId != 0 ? registry.Find(row.ctrlId) : nullptr;
        EXPECT_TRUE(row.ctrlId == 0 || control) << "binding row " << i << " has no control " << row.ctrlId;
        if (control && row.commandIndex >= 0) {
            EXPECT_TRUE(control->toolTip().startsWith(CommandTable::Row(row.commandIndex).mnemonic))
                << "binding row " << i << " shows \"" << control->toolTip().toStdString() << "\"";
        }
    }
    // A list names what each entry sends.
    for (const auto& [mnemonic, tip] : {std::pair{"GA", QString::fromUtf8("GA \u00b7 \u221292 \u2026 605")},
                                        {"TR", QString("TR\n0 = NORMAL\n1 = EPS\n2 = PWC\n3 = RCT")}})
        EXPECT_EQ(registry.Find(CtrlId::Bound(CommandTable::Find(mnemonic)))->toolTip(), tip);

    for (const auto& page : pages) {
        const QSize needed = page->minimumSizeHint();
        EXPECT_TRUE(needed.width() <= 1000 && needed.height() <= 700)
            << "page \"" << page->GetPageTitle().toStdString() << "\" needs " << needed.width() << "x" << needed.height();
    }
}
