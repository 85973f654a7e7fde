// Reading the virtual camera into the value store, without any window.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <unistd.h>

#include "session/SessionRig.h"
#include "support/Faults.h"
#include "support/FileQueries.h"

TEST(SessionReading, AReloadReadsTheRowsOfTheLevelInOrderAndASilentCameraChangesNothing)
{
    SessionRig rig;
    rig.camera.SetRegister("GA", 120);
    rig.camera.SetRegister("STL", 100);
    rig.camera.SetRegister("TPN", 3);
    ASSERT_EQ(rig.session.ConnectCamera(), 1);
    rig.session.StartUpDone();
    rig.session.ReloadAll();

    const std::vector<std::string> wire = rig.Wire();
    ASSERT_FALSE(wire.empty());
    EXPECT_EQ(wire.front(), "EA?") << "the camera is probed with the area query first";
    EXPECT_EQ(std::vector<std::string>(wire.begin() + 1, wire.end() - 1), FileQueries(false))
        << "every user row, in the settings-file order";
    EXPECT_EQ(wire.back(), "TPN=3") << "exactly one test-pattern setting, as the page shows it, ends the reload";
    EXPECT_EQ(rig.host.shown[SessionRig::Id("GA")], 120) << "the control shows what was read";
    EXPECT_EQ(rig.Cur("GA"), rig.Prev("GA")) << "the reading is committed";
    ASSERT_FALSE(rig.host.bounds.empty());
    EXPECT_EQ(rig.host.bounds.front().ctrlId, SessionRig::Id("ETL")) << "the start line bounds the end line";
    EXPECT_EQ(rig.host.bounds.front().value, 101);
    EXPECT_TRUE(rig.host.boxes.empty());

    rig.camera.SetRegister("GAR", 17);
    EXPECT_EQ(rig.session.ReloadCtrl(SessionRig::Id("GAR")), 1);
    EXPECT_EQ(rig.Wire(), std::vector<std::string>{"GAR?"}) << "one control alone is read again";
    EXPECT_EQ(rig.host.shown[SessionRig::Id("GAR")], 17);

    rig.SetCommandLimit(30);
    rig.camera.SetFaults(SwallowingReplies(1000));
    rig.camera.SetRegister("GA", 125);
    rig.session.ReadAllSettings();
    EXPECT_EQ(rig.Cur("GA"), 120) << "a setting that was not read keeps its value";
    ASSERT_FALSE(rig.host.positions.empty());
    EXPECT_EQ(rig.host.positions.back(), 100) << "the bar reaches the end";
    EXPECT_TRUE(rig.host.progress.empty()) << "and the progress window is gone";
    EXPECT_TRUE(rig.host.boxes.empty()) << "time-outs during a reload show nothing";
}

// A camera that stops answering at "KSR": the Cancel comes while the query
// waits. The wait ends at once, nothing more is asked, and what was read stays.
TEST(SessionReading, ACancelEndsAReadingAtOnceAndKeepsWhatWasRead)
{
    SessionRig rig;
    rig.Start();
    rig.camera.SetFaults(SilentTo({"KSR"}));
    rig.camera.SetRegister("SM", 2);    // read before "KSR"
    rig.camera.SetRegister("NRS", 9);   // after it
    rig.host.whileWaiting = [&] {
        const std::vector<std::string> lines = rig.camera.ReceivedLines();
        if (!lines.empty() && lines.back() == "KSR?")
            StopRequest::RaiseCancel();
    };
    const auto start = std::chrono::steady_clock::now();
    rig.session.Reload();
    rig.host.whileWaiting = nullptr;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "the wait in flight ended at once";
    EXPECT_FALSE(StopRequest::CancelRaised()) << "the Cancel ends with the operation";
    const std::vector<std::string> wire = rig.Wire();
    ASSERT_FALSE(wire.empty());
    EXPECT_EQ(wire.back(), "KSR?") << "nothing is asked after the Cancel, the test pattern neither";
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.LastText(), "Reading cancelled: 29 of 64 settings read.");
    EXPECT_EQ(rig.host.boxes[0].icon, EngineHost::Icon::Information);
    EXPECT_EQ(rig.Cur("SM"), 2) << "what was read is kept";
    EXPECT_EQ(rig.Cur("NRS"), 0) << "the rest as before";
    EXPECT_EQ(rig.Cur("SM"), rig.Prev("SM"));

    rig.camera.SetFaults({});
    rig.session.Reload();
    EXPECT_EQ(rig.Cur("NRS"), 9) << "the next reading reads everything";
}

// The box says why the port would not open; the details say what to do.
TEST(SessionReading, APortThatWouldNotOpenSaysWhy)
{
    SessionRig rig;
    SerialPort other;   // another program has the camera's port
    other.SetDeviceResolver([&](int) { return rig.pty.DevicePath(); });
    ASSERT_EQ(other.Open("COM1", 115200, 8, 0, 0, 0), 1);
    EXPECT_EQ(rig.session.ConnectCamera(), 0);
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.LastText(), "Failed to initialize!\nCOM1 (" + rig.pty.DevicePath() +
                                       ") is in use by another program, or it is not a serial port.");

    rig.settings.commPort = 1;   // COM2: no such device
    rig.host.boxes.clear();
    EXPECT_EQ(rig.session.ConnectCamera(), 0);
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.LastText(), "Failed to initialize!\nCOM2 (/nonexistent/ttyS2) does not exist: is the adapter "
                                   "plugged in, and is the port chosen right?");
    EXPECT_EQ(rig.host.boxes[0].details, "/nonexistent/ttyS2: open: No such file or directory")
        << "what failed, and no group to join for a missing device";

    rig.settings.serialMode = LineClSpec2000;
    rig.settings.selectedPortName = "clserkavro.so";
    EXPECT_EQ(rig.session.ConnectCamera(), 0);
    EXPECT_EQ(rig.host.boxes.back().details,
              "/nonexistent/clserkavro.so: No such file or directory; the folder holds no grabber library (clser*.so)")
        << "a Camera Link line names its cause too";
}

// The packaging checks run this as an ordinary user, on a device of the group
// "dialout" named in KAVRO_DENIED_DEVICE; root may open any device.
TEST(SessionReading, DeniedPortNamesItsGroupInTheDetails)
{
    const char* device = std::getenv("KAVRO_DENIED_DEVICE");
    if (device == nullptr || geteuid() == 0)
        GTEST_SKIP() << "needs an ordinary user and a device it may not open";
    SessionRig rig;
    rig.port.SetDeviceResolver([device](int) { return std::string(device); });
    EXPECT_EQ(rig.session.ConnectCamera(), 0);
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    const RecordingSessionHost::Box& box = rig.host.boxes[0];
    EXPECT_EQ(box.text.rfind("Failed to initialize!\n", 0), 0u) << "the box's own text stays";
    EXPECT_NE(box.text.find("may not be used by this user."), std::string::npos) << box.text;
    EXPECT_NE(box.details.find("group \"dialout\""), std::string::npos) << box.details;
    EXPECT_NE(box.details.find("sudo usermod -aG dialout $USER"), std::string::npos) << box.details;
}

TEST(SessionReading, TheIdleCheckAsksForTheModelUnlessOffline)
{
    SessionRig rig;
    rig.Start();
    rig.session.CheckLine();
    EXPECT_EQ(rig.Wire(), std::vector<std::string>{"MD?"});
    EXPECT_EQ(rig.host.statuses.back(), 1);

    rig.SetCommandLimit(50);
    rig.camera.SetFaults(SwallowingReplies(1000));
    rig.session.CheckLine();
    EXPECT_EQ(rig.host.statuses.back(), 0) << "silence turns the link offline";
    EXPECT_TRUE(rig.host.boxes.empty()) << "without a message";

    rig.settings.offline = 1;
    rig.Wire();
    const size_t statuses = rig.host.statuses.size();
    rig.session.CheckLine();
    EXPECT_TRUE(rig.Wire().empty()) << "offline, the camera is never asked";
    EXPECT_EQ(rig.host.statuses.size(), statuses) << "nor is the link judged by a query that cannot be sent";
}
