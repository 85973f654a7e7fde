// Reading every setting from the virtual camera into the pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

#include <cstdlib>
#include <unistd.h>

#include "dialogs/CProgDlg.h"
#include "support/FileQueries.h"
#include "support/MainWindowRig.h"
#include "support/Faults.h"

namespace {

// Records the values a progress bar shows each time it is painted.
class BarWatcher : public QObject {
public:
    BarWatcher() { qApp->installEventFilter(this); }
    ~BarWatcher() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            if (auto* bar = qobject_cast<QProgressBar*>(watched))
                shown.push_back(bar->value());
        return false;
    }
    std::vector<int> shown;
};

}  // namespace

TEST(Reading, StartUpReadsTheUserRowsInOrderAndASilentCameraChangesNothing)
{
    MainWindowRig rig;
    rig.camera.SetRegister("GA", 120);
    rig.camera.SetRegister("STL", 100);
    rig.camera.SetRegister("TPN", 3);
    rig.window->show();
    rig.window->Initialise();

    const std::vector<std::string> wire = rig.Wire();
    ASSERT_FALSE(wire.empty());
    EXPECT_EQ(wire.front(), "EA?") << "the camera is probed with the area query first";
    EXPECT_EQ(std::vector<std::string>(wire.begin() + 1, wire.end() - 1), FileQueries(false))
        << "every user row, in the settings-file order";
    EXPECT_EQ(wire.back(), "TPN=3") << "exactly one test-pattern setting ends the reload";
    EXPECT_EQ(rig.Spin(rig.Id("GA"))->Text(), "120");
    EXPECT_EQ(rig.Registry().SpinRange(rig.Id("ETL")).first, 101) << "the start line bounds the end line";
    EXPECT_EQ(rig.window->CurParam(rig.Cmd("GA")), rig.window->PrevParam(rig.Cmd("GA"))) << "the reading is committed";
    EXPECT_TRUE(rig.prompts.prompts.empty());
    EXPECT_EQ(rig.settings.lineOnline, 1u);

    rig.camera.SetRegister("GAR", 17);
    EXPECT_EQ(rig.window->ReloadCtrl(rig.Id("GAR")), 1);
    EXPECT_EQ(rig.Wire(), std::vector<std::string>{"GAR?"}) << "one control alone is read again";
    EXPECT_EQ(rig.Spin(rig.Id("GAR"))->Text(), "17");

    rig.window->SetCommandTimeout(30);
    rig.camera.SetFaults(SwallowingReplies(1000));
    rig.camera.SetRegister("GA", 125);
    BarWatcher watcher;
    rig.window->ReadAllSettings();
    EXPECT_EQ(rig.window->CurParam(rig.Cmd("GA")), 120) << "a setting that was not read keeps its value";
    ASSERT_FALSE(watcher.shown.empty());
    EXPECT_EQ(watcher.shown.back(), 100) << "the bar reaches the end";
    EXPECT_TRUE(rig.window->isEnabled()) << "the main window is enabled again";
    EXPECT_TRUE(rig.prompts.prompts.empty()) << "time-outs during a reload show nothing";
}

// A camera that stops answering at "KSR": the operator presses Esc while the
// query waits. The wait ends at once, nothing more is asked, and the pages
// keep what was read.
TEST(Reading, CancelEndsAReadingAtOnceAndKeepsWhatWasRead)
{
    MainWindowRig rig;
    rig.window->show();
    rig.window->Initialise();
    rig.camera.SetFaults(SilentTo({"KSR"}));
    rig.camera.SetRegister("SM", 2);    // read before "KSR"
    rig.camera.SetRegister("NRS", 9);   // after it
    QTimer hand;
    QObject::connect(&hand, &QTimer::timeout, [&] {
        const std::vector<std::string> lines = rig.camera.ReceivedLines();
        if (!lines.empty() && lines.back() == "KSR?" && rig.window->Progress().IsCreated())
            QTest::keyClick(rig.window.get(), Qt::Key_Escape);
    });
    hand.start(10);
    rig.Wire();
    QElapsedTimer took;
    took.start();
    rig.window->OnReload();
    hand.stop();
    EXPECT_LT(took.elapsed(), 2000) << "the wait in flight ended at once (limit 3000 ms)";
    const std::vector<std::string> wire = rig.Wire();
    ASSERT_FALSE(wire.empty());
    EXPECT_EQ(wire.back(), "KSR?") << "nothing is asked after the Cancel, the test pattern neither";
    ASSERT_EQ(rig.prompts.prompts.size(), 1u) << "no exit question: Esc is the Cancel";
    EXPECT_EQ(rig.prompts.LastText(), "Reading cancelled: 29 of 64 settings read.");
    EXPECT_EQ(rig.window->CurParam(rig.Cmd("SM")), 2) << "what was read is shown";
    EXPECT_EQ(rig.window->CurParam(rig.Cmd("NRS")), 0) << "the rest as before";
    EXPECT_EQ(rig.window->CurParam(rig.Cmd("SM")), rig.window->PrevParam(rig.Cmd("SM")));
    EXPECT_EQ(rig.settings.lineOnline, 1u) << "a Cancel says nothing about the line";

    rig.camera.SetFaults({});
    rig.window->OnReload();
    EXPECT_EQ(rig.window->CurParam(rig.Cmd("NRS")), 9) << "the next reading reads everything";
}

// The box says why the port would not open, not only standard error.
TEST(Reading, APortThatWouldNotOpenSaysWhy)
{
    MainWindowRig rig;
    SerialPort other;   // another program has the camera's port
    other.SetDeviceResolver([&](int) { return rig.pty.DevicePath(); });
    ASSERT_EQ(other.Open("COM1", 115200, 8, 0, 0, 0), 1);
    rig.window->Initialise();
    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    EXPECT_EQ(rig.prompts.LastText(), QString::fromStdString("Failed to initialize!\nCOM1 (" + rig.pty.DevicePath() +
                                                             ") is in use by another program, or it is not a serial port."));
}

// The packaging checks run this as an ordinary user, on a device of the group
// "dialout" named in KAVRO_DENIED_DEVICE; root may open any device.
TEST(Reading, DeniedPortNamesItsGroupInTheDetails)
{
    const char* device = std::getenv("KAVRO_DENIED_DEVICE");
    if (device == nullptr || geteuid() == 0)
        GTEST_SKIP() << "needs an ordinary user and a device it may not open";
    MainWindowRig rig;
    rig.port.SetDeviceResolver([device](int) { return std::string(device); });
    rig.window->Initialise();
    ASSERT_EQ(rig.prompts.prompts.size(), 1u);
    const ScriptedUiPrompts::Prompt& box = rig.prompts.prompts[0];
    EXPECT_TRUE(box.text.startsWith("Failed to initialize!\n")) << "the box's own text stays";
    EXPECT_TRUE(box.text.endsWith("may not be used by this user.")) << box.text.toStdString();
    EXPECT_TRUE(box.details.contains("group \"dialout\"")) << box.details.toStdString();
    EXPECT_TRUE(box.details.contains("sudo usermod -aG dialout $USER")) << box.details.toStdString();
}
