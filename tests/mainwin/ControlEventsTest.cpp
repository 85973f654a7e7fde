// What the operator's actions on the pages send to the virtual camera.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTabWidget>

#include <thread>

#include "support/MainWindowRig.h"
#include "support/PaintProbe.h"
#include "support/WaitFor.h"

using Lines = std::vector<std::string>;

namespace {

// A started window whose camera holds the table defaults; the wire is clean.
struct StartedRig : MainWindowRig {
    explicit StartedRig(int level = ActiveUser) : MainWindowRig(level)
    {
        window->Initialise();
        Wire();
    }
    // Shown and active, as the operator uses it.
    void ShowActive()
    {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void Focus(int id)
    {
        Spin(id)->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Spin(id)->hasFocus(); }));
    }
};

// The middle of a spin box's up arrow.
QPoint UpArrow(const QAbstractSpinBox* spin)
{
    QStyleOptionSpinBox option;
    option.initFrom(spin);
    option.frame = true;
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame;
    return spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin).center();
}

size_t Sent(MainWindowRig& rig, const std::string& prefix)
{
    const std::vector<std::string> lines = rig.camera.ReceivedLines();
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                             [&](const std::string& line) { return line.rfind(prefix, 0) == 0; }));
}

}  // namespace

// A camera that takes 150 ms over each reply: an arrow held repeats only while
// it is held, and a click is one step, its release arriving while the step's
// setting waits for its reply.
TEST(ControlEvents, ASpinArrowStepsOnlyWhileItIsHeld)
{
    StartedRig rig;
    rig.ShowActive();
    camsim::Faults slow;
    slow.replyDelayMs = 150;
    rig.camera.SetFaults(slow);
    KavroSpinBox* spin = rig.Spin(rig.Id("KSR"));
    const QPoint up = UpArrow(spin);

    QTest::mousePress(spin, Qt::LeftButton, Qt::NoModifier, up);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Sent(rig, "KSR=") >= 3; }, 5000)) << "held, the arrow repeats";
    QTest::mouseRelease(spin, Qt::LeftButton, Qt::NoModifier, up);
    const size_t whileHeld = Sent(rig, "KSR=");
    EXPECT_FALSE(QTest::qWaitFor([&] { return Sent(rig, "KSR=") > whileHeld; }, 700)) << "released, it stops";
    EXPECT_EQ(rig.Spin(rig.Id("KSR"))->Text().toInt(), 667 + static_cast<int>(whileHeld));

    rig.Wire();
    const QPoint global = spin->mapToGlobal(up);
    std::thread hand([&] {   // lets go about 100 ms after pressing, as a quick click does
        if (WaitFor([&] { return Sent(rig, "KSR=") == 1; }))
            QCoreApplication::postEvent(spin, new QMouseEvent(QEvent::MouseButtonRelease, up, global, Qt::LeftButton,
                                                              Qt::NoButton, Qt::NoModifier));
    });
    QTest::mousePress(spin, Qt::LeftButton, Qt::NoModifier, up);
    hand.join();
    EXPECT_FALSE(QTest::qWaitFor([&] { return Sent(rig, "KSR=") > 1; }, 900)) << "one click, one step";
    EXPECT_EQ(rig.Wire(), Lines{"KSR=" + std::to_string(668 + whileHeld)});
    QTest::mouseRelease(spin, Qt::LeftButton, Qt::NoModifier, QPoint(-1, -1));   // QTest's own record of the button
}

TEST(ControlEvents, TypedValuesAreJudgedThenSentOnce)
{
    StartedRig rig;
    const int pe = rig.Id("PE");

    rig.Type(pe, "2000");
    EXPECT_EQ(rig.Spin(pe)->Text(), "1056") << "out of range: the previous value comes back";
    rig.Type(pe, "12abc");
    EXPECT_EQ(rig.Spin(pe)->Text(), "1056") << "not a number: the previous value comes back";
    EXPECT_TRUE(rig.Wire().empty());

    rig.Type(pe, "1000");
    EXPECT_EQ(rig.Wire(), Lines{"PE=1000"});
    EXPECT_EQ(rig.camera.Register("PE"), 1000);
    rig.Type(pe, "1000");
    EXPECT_TRUE(rig.Wire().empty()) << "leaving an unchanged edit sends nothing";

    // The start and end lines bound each other.
    rig.Type(rig.Id("STL"), "100");
    rig.Type(rig.Id("ETL"), "500");
    EXPECT_EQ(rig.Registry().SpinRange(rig.Id("ETL")).first, 101);
    rig.Type(rig.Id("STL"), "600");
    EXPECT_EQ(rig.Spin(rig.Id("STL"))->Text(), "100") << "a start line after the end line is refused";
}

// The numbers are the value store's; here both controls of a pair are sent, and a
// control without a command shows its step only until the next refresh.
TEST(ControlEvents, LinkedControlsAreSentTogether)
{
    StartedRig rig(ActiveFactory);
    rig.Type(rig.Id("AASX"), "3");
    rig.Type(rig.Id("AAOX"), "5");
    rig.Wire();

    rig.Type(rig.Id("AASX"), "8");
    EXPECT_EQ(rig.Spin(rig.Id("AAOX"))->Text(), "0");
    EXPECT_EQ(rig.Wire(), (Lines{"AASX=8", "AAOX=0"}));

    rig.Step(CtrlId::DouOffset1, 1);
    EXPECT_EQ(rig.Wire(), (Lines{"DPHP=44", "DPHN=7"}));
    EXPECT_EQ(rig.Spin(rig.Id("DPHP"))->Text(), "44");
    EXPECT_EQ(rig.Spin(CtrlId::DouOffset1)->Text(), "1");
    rig.Inside().Session().RefreshAllCtrls();
    EXPECT_EQ(rig.Spin(CtrlId::DouOffset1)->Text(), "0");
}

// Which controls each mode greys out is the rule table's; here the rules of
// two controls act together on the page.
TEST(ControlEvents, TriggerModesGreyOutWhatTheyOverride)
{
    StartedRig rig;
    const int tr = rig.Id("TR");
    rig.Choose(tr, 2);
    EXPECT_EQ(rig.Wire(), Lines{"TR=2"});
    EXPECT_FALSE(rig.Enabled(rig.Id("SH"))) << "under PWC";
    EXPECT_FALSE(rig.Enabled(CtrlId::SmAuto)) << "under PWC";

    rig.Choose(tr, 0);
    EXPECT_TRUE(rig.Enabled(rig.Id("SH"))) << "Preset exposure still uses the shutter";
    EXPECT_TRUE(rig.Enabled(CtrlId::SmAuto));
    EXPECT_FALSE(rig.Enabled(rig.Id("PE"))) << "still greyed by the Preset exposure mode";
    EXPECT_FALSE(rig.Enabled(rig.Id("RF"))) << "still greyed by NORMAL";

    rig.Click(CtrlId::SmProgrammableCommon);
    EXPECT_EQ(rig.Wire().back(), "SM=1");
    EXPECT_TRUE(rig.Enabled(rig.Id("PE")));
    EXPECT_FALSE(rig.Enabled(rig.Id("SH")));
}

// The error box takes the focus from the edit whose value it refuses, as a real
// box does: that focus loss is no second commit.
TEST(ControlEvents, ARefusedChangeIsSentOnceAndRevertsEverythingOfItsPass)
{
    StartedRig rig;
    rig.ShowActive();
    rig.Inside().Tabs().setCurrentIndex(1);
    rig.Type(rig.Id("AASX"), "3");
    rig.Type(rig.Id("AAOX"), "5");
    rig.Wire();
    rig.prompts.boxesTakeFocus = true;
    camsim::Faults faults;
    faults.refuseAll = true;
    rig.camera.SetFaults(faults);

    rig.Focus(rig.Id("AASX"));
    rig.Type(rig.Id("AASX"), "8");
    EXPECT_EQ(rig.Wire(), Lines{"AASX=8"}) << "one commit is one send; nothing is sent after the refusal";
    EXPECT_EQ(rig.Spin(rig.Id("AASX"))->Text(), "3");
    EXPECT_EQ(rig.Spin(rig.Id("AAOX"))->Text(), "5") << "the unsent offset shows its old value too";
    ASSERT_EQ(rig.prompts.prompts.size(), 1u) << "one error box";
    EXPECT_EQ(rig.prompts.LastText(), "01 Unknown Command!! for AASX=8");

    rig.prompts.Clear();
    rig.Click(CtrlId::CmR);
    EXPECT_FALSE(rig.Button(CtrlId::CmR)->isChecked()) << "a refused check box unchecks again";
    rig.Wire();

    rig.camera.SetFaults({});   // the camera would take the value now
    rig.Focus(rig.Id("AAOX"));  // the operator leaves the edit
    EXPECT_TRUE(rig.Wire().empty()) << "nothing more is sent";
    EXPECT_EQ(rig.camera.Register("AASX"), 3) << "the camera keeps the value it was never given";
}

// A setting that waits on a silent line shows the operator what is going on:
// the radio clicked is painted checked, under the wait cursor, before the wait.
TEST(ControlEvents, ASettingOnASilentLineShowsItsWait)
{
    StartedRig rig;
    rig.ShowActive();
    rig.Inside().SetCommandTimeout(300);
    QAbstractButton* radio = rig.Button(CtrlId::SmProgrammableCommon);
    const auto waitCursorShown = [] {
        return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    };
    PaintProbe probe(radio, [&] { return radio->isChecked() && waitCursorShown(); });
    camsim::Faults faults;
    faults.swallowReplies = 1;
    rig.camera.SetFaults(faults);

    rig.Click(CtrlId::SmProgrammableCommon);
    EXPECT_EQ(rig.Wire(), Lines{"SM=1"});
    EXPECT_TRUE(probe.Seen()) << "painted checked under the wait cursor while the line was silent";
    EXPECT_FALSE(radio->isChecked()) << "no answer: the committed choice comes back";
    EXPECT_FALSE(waitCursorShown());
}
