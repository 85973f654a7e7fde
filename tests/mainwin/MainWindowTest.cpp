// The main window as a whole: level switch, idle check, simulator, exit question.
#include <gtest/gtest.h>

#include <QMenu>
#include <QTabWidget>
#include <QElapsedTimer>
#include <QTest>

#include "comm/CRsCmd.h"
#include "dialogs/CCommSelDlg.h"
#include "support/MainWindowRig.h"
#include "support/PtyPair.h"
#include "support/WaitFor.h"

using Lines = std::vector<std::string>;

namespace {

void TypeLevelSequence(QWidget* window, const char* letters = "KVR")
{
    QTest::keyClick(window, Qt::Key_F10, Qt::ControlModifier | Qt::ShiftModifier);
    for (const char* c = letters; *c; ++c)
        QTest::keyClick(window, static_cast<Qt::Key>(Qt::Key_A + (*c - 'A')));
}

// Runs the event loop until the condition holds (timers fire meanwhile).
bool ProcessUntil(const std::function<bool()>& condition, int deadlineMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > deadlineMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

}  // namespace

TEST(MainWindow, TheLevelSwitchNeedsTheChordTheCodeAndAUserPage)
{
    MainWindowRig rig;
    rig.window->Initialise();
    ASSERT_FALSE(rig.window->UtilityMenu()->isEnabled()) << "Utility is greyed at user level";
    rig.window->Tabs().setCurrentIndex(1);
    rig.Wire();

    TypeLevelSequence(rig.window.get(), "KXR");
    EXPECT_EQ(rig.window->Tabs().count(), 2) << "a wrong letter cancels the sequence";
    EXPECT_EQ(rig.window->KeySequenceState(), 0);

    QWidget* vpp = rig.Registry().Find(rig.Id("VPP"));
    EXPECT_FALSE(vpp->isVisibleTo(vpp->parentWidget())) << "the video path is a factory setting";

    TypeLevelSequence(rig.window.get());
    EXPECT_EQ(rig.settings.activeMode, ActiveFactory);
    EXPECT_EQ(rig.window->Tabs().count(), 8);
    EXPECT_EQ(rig.window->Tabs().tabText(7), "Factory G");
    EXPECT_EQ(rig.window->Tabs().currentIndex(), 0);
    EXPECT_TRUE(rig.window->UtilityMenu()->isEnabled());
    EXPECT_TRUE(vpp->isVisibleTo(vpp->parentWidget()));
    const Lines wire = rig.Wire();
    ASSERT_EQ(wire.size(), 1u + 344u + 1u) << "the area, every factory-readable row, the test pattern";
    EXPECT_EQ(wire.front(), "EA?");
    EXPECT_EQ(wire[1], "SM?") << "the rows are read in the settings-file order";
    EXPECT_EQ(wire[wire.size() - 2], "TCNB3?");

    rig.window->Tabs().setCurrentIndex(3);   // Factory B
    TypeLevelSequence(rig.window.get());
    EXPECT_EQ(rig.prompts.LastText(), "This operation is performed only in 'User Parameter' Page!");
    EXPECT_EQ(rig.prompts.prompts.back().icon, UiPrompts::Icon::Information);
    EXPECT_EQ(rig.window->Tabs().count(), 8) << "the level stays";
    EXPECT_TRUE(rig.Wire().empty());
}

TEST(MainWindow, EnterCommitsAndEscAsksBeforeClosing)
{
    MainWindowRig rig;
    rig.window->show();
    rig.window->Initialise();
    rig.Wire();

    rig.Type(rig.Id("GA"), "77");
    EXPECT_EQ(rig.Wire(), Lines{"GA=77"});
    EXPECT_TRUE(rig.window->isVisible()) << "Enter never closes the window";

    rig.prompts.yesNoAnswers = {false};
    QTest::keyClick(rig.window.get(), Qt::Key_Escape);
    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(rig.prompts.prompts[0].text, "Are you sure to terminate the Camera Kavro ?");
    EXPECT_EQ(rig.prompts.prompts[0].caption, "Exit Camera Kavro");
    EXPECT_TRUE(rig.window->isVisible()) << "No keeps the window";

    rig.prompts.yesNoAnswers = {true};
    rig.window->OnExit();
    EXPECT_FALSE(rig.window->isVisible()) << "Yes closes it";
}

TEST(MainWindow, TheIdleCheckAsksForTheModelUnlessOffline)
{
    MainWindowRig rig;
    rig.window->SetIdleCheckPeriod(150);
    rig.window->Initialise();
    rig.Wire();
    ASSERT_TRUE(ProcessUntil([&] { return !rig.camera.ReceivedLines().empty(); }));
    EXPECT_EQ(rig.Wire().front(), "MD?");
    EXPECT_EQ(rig.settings.lineOnline, 1u);

    camsim::Faults faults;
    faults.swallowReplies = 1000;
    rig.camera.SetFaults(faults);
    rig.window->SetCommandTimeout(100);
    ASSERT_TRUE(ProcessUntil([&] { return rig.settings.lineOnline == 0; })) << "silence turns the link offline";
    EXPECT_EQ(rig.window->CommSel().LineStatusText(), "Offline") << "every window shows it";
    EXPECT_TRUE(rig.prompts.prompts.empty()) << "without a message";

    rig.settings.offline = 1;
    rig.Wire();
    QTest::qWait(400);
    EXPECT_TRUE(rig.Wire().empty()) << "offline, the camera is never asked";
}

TEST(MainWindow, TheSimulatorAnswersAsACameraWould)
{
    PtyPair line;   // the test plays the other end of COM1
    MainWindowRig rig;
    rig.port.SetDeviceResolver([&](int) { return line.SlavePath(); });
    rig.settings.simulation = 1;
    rig.window->SetCommandTimeout(100);
    rig.window->Initialise();   // the probe goes unanswered: an offline start
    line.ReceiveUntil("never", std::chrono::milliseconds(50));

    const auto wait = [] { QTest::qWait(5); };
    line.Send("EA?\r\n");
    EXPECT_NE(line.ReceiveUntil("EA=0\r\n", std::chrono::seconds(3), wait).find("EA=0\r\n"), std::string::npos);
    line.Send("GA=5\r\n");
    EXPECT_NE(line.ReceiveUntil("COMPLETE\r\n", std::chrono::seconds(3), wait).find("COMPLETE\r\n"), std::string::npos);
    line.Send("VN?\r\n");
    EXPECT_NE(line.ReceiveUntil("321\r\n", std::chrono::seconds(3), wait).find("321\r\n"), std::string::npos);
}
