#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "RecordingSink.h"
#include "TestPage.h"
#include "comm/CommandTable.h"
#include "params/CDlgParameterSheet.h"
#include "params/CtrlRegistry.h"
#include "params/CtrlTbl.h"
#include "params/KavroSpinBox.h"

using namespace TestPage;

namespace {

class PageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        page.show();
        QApplication::setActiveWindow(&page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        registry.Find(kMode)->setFocus();   // away from the first edit, whose focus loss would notify
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

TEST_F(PageTest, UserActionsNotifyOnceAndWritesNever)
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

    auto spin = static_cast<KavroSpinBox*>(registry.Find(kGain));
    registry.WriteCtrlValue(kGain, 12);
    QTest::keyClick(spin, Qt::Key_Down);
    ExpectSingle("a spin step", CtrlNotification::DeltaPos, kGain, 12, -1);
    spin->setFocus();
    mode->setFocus();
    ExpectSingle("leaving an edit", CtrlNotification::KillFocus, kGain);

    for (int id : registry.Ids())
        registry.WriteCtrlValue(id, 1);
    registry.WriteCtrlValue(kShutter, 0);
    EXPECT_TRUE(sink.notices.empty()) << "values written by the program notify nothing";
}

TEST_F(PageTest, KeysReachTheMainWindowFirst)
{
    auto spin = static_cast<KavroSpinBox*>(registry.Find(kGain));
    QSignalSpy finished(spin, &QAbstractSpinBox::editingFinished);
    spin->setFocus();

    sink.swallow = [](int key) { return key == Qt::Key_Return; };
    QTest::keyClick(spin, Qt::Key_Return);
    ASSERT_EQ(sink.keys.size(), 1u) << "the key is offered once, not again on its way up";
    EXPECT_EQ(sink.keys[0].source, spin);
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
        const int ctrlId = CtrlTbl::Rows()[i].ctrlId;
        EXPECT_TRUE(ctrlId == 0 || registry.Find(ctrlId)) << "binding row " << i << " has no control " << ctrlId;
        const int command = CtrlTbl::Rows()[i].commandIndex;
        if (ctrlId != 0 && command >= 0 && registry.Find(ctrlId)) {
            EXPECT_TRUE(registry.Find(ctrlId)->toolTip().startsWith(CommandTable::Row(command).mnemonic))
                << "binding row " << i << " shows \"" << registry.Find(ctrlId)->toolTip().toStdString() << "\"";
        }
    }
    auto tip = [&registry](const char* mnemonic) {
        return registry.Find(CtrlId::Bound(CommandTable::Find(mnemonic)))->toolTip();
    };
    EXPECT_EQ(tip("GA"), QString::fromUtf8("GA \u00b7 \u221292 \u2026 605"));
    EXPECT_EQ(tip("TR"), "TR\n0 = NORMAL\n1 = EPS\n2 = PWC\n3 = RCT") << "a list names what each entry sends";


    const QSize tabArea(1000, 700);
    for (const auto& page : pages) {
        const QSize needed = page->minimumSizeHint();
        EXPECT_TRUE(needed.width() <= tabArea.width() && needed.height() <= tabArea.height())
            << "page \"" << page->GetPageTitle().toStdString() << "\" needs " << needed.width() << "x"
            << needed.height();
    }
}
