// The communication window against the virtual camera: the automatic port
// search, changing the line kind, and the camera's setting areas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QLabel>

#include "CommWindowRig.h"
#include "support/PtyPair.h"
#include "support/Faults.h"

namespace {

bool Received(const camsim::VirtualCamera& camera, const std::string& line)
{
    const auto lines = camera.ReceivedLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST(CommSelDlgCamera, AutoSearchFindsTheCameraBehindSilentPorts)
{
    CommWindowRig rig;
    PtyPair silent1;
    PtyPair silent2;
    rig.comDevices = {{1, silent1.SlavePath()}, {2, silent2.SlavePath()}};
    CCommSelDlg& dialog = rig.Open();

    rig.Click("auto");
    ASSERT_EQ(rig.prompts.prompts.size(), 1u) << "no camera anywhere";
    EXPECT_EQ(rig.prompts.prompts[0].text,
              "No answer from Camera! (Timeout error)\nCheck power on Camera or serial cable connection.");
    EXPECT_EQ(rig.owner.LastStatus(), 0);
    EXPECT_FALSE(rig.port.IsOpen()) << "the line stays closed";
    EXPECT_EQ(silent1.ReceiveUntil("MD?\r\n", std::chrono::milliseconds(500)), "MD?\r\n") << "COM1 was asked for its model";

    rig.comDevices[3] = rig.pty.DevicePath();
    rig.prompts.Clear();
    rig.Click("auto");
    EXPECT_TRUE(rig.prompts.prompts.empty());
    EXPECT_EQ(rig.settings.commPort, 2u) << "found on COM3";
    EXPECT_EQ(rig.List("portName")->currentText(), "COM3");
    EXPECT_TRUE(rig.port.IsOpen()) << "the line stays open";
    EXPECT_EQ(rig.owner.LastStatus(), 1);
    EXPECT_EQ(rig.owner.reloads, 1);
    EXPECT_TRUE(dialog.Messages().contains("MD?")) << "the probe is listed";
}

TEST(CommSelDlgCamera, ChangingTheLineKindClosesTheOldLineAndReconnects)
{
    const std::string libraries = std::getenv("LD_LIBRARY_PATH") ? std::getenv("LD_LIBRARY_PATH") : "";
    ASSERT_NE(libraries.find(KAVRO_CLSIM_DIR), std::string::npos)
        << "run through ctest: the stand-in libraries are found through LD_LIBRARY_PATH";
    CommWindowRig rig;
    setenv("KAVRO_CLSIM", ("device=" + rig.pty.DevicePath()).c_str(), 1);
    CCommSelDlg& dialog = rig.Open();
    ASSERT_EQ(rig.owner.ConnectCamera(), 1) << "start-up on COM1";
    ASSERT_TRUE(rig.port.IsOpen());

    rig.Choose("category", LineClSpec2000);   // no grabber library in the folder
    EXPECT_EQ(rig.List("portName")->count(), 0);
    EXPECT_EQ(rig.settings.dllNo, 0u);
    EXPECT_EQ(rig.settings.selectedPortName, "");
    EXPECT_FALSE(rig.port.IsOpen()) << "the serial port was closed before the kind changed";
    ASSERT_FALSE(rig.owner.boxes.empty());
    EXPECT_EQ(rig.owner.boxes.back(), "Failed to initialize!");
    EXPECT_EQ(dialog.LineStatusText(), "Offline");
    EXPECT_FALSE(rig.Button("auto")->isEnabled());

    rig.camera.ClearReceivedLines();
    rig.Choose("category", LineClSpecV11);
    EXPECT_EQ(rig.settings.serialMode, static_cast<uint32_t>(LineClSpecV11));
    EXPECT_EQ(rig.Entries("portName"), QStringList({"Kavro Grabbers - Port 0"}));
    EXPECT_EQ(rig.settings.selectedPortName, "Kavro Grabbers - Port 0");
    EXPECT_TRUE(Received(rig.camera, "EA?")) << "reconnected through the library";
    EXPECT_EQ(dialog.LineStatusText(), "Online");
    EXPECT_EQ(rig.owner.reloads, 1);

    rig.camera.ClearReceivedLines();
    rig.Choose("category", LineComPort);
    EXPECT_EQ(rig.List("portName")->currentText(), "COM1");
    EXPECT_TRUE(rig.port.IsOpen()) << "the library's channel was closed and COM1 opened";
    EXPECT_TRUE(Received(rig.camera, "EA?"));
    EXPECT_EQ(rig.owner.reloads, 2);
    EXPECT_TRUE(rig.Button("auto")->isEnabled());
    unsetenv("KAVRO_CLSIM");
}

TEST(CommSelDlgCamera, AreasAreQueriedStoredAndLoaded)
{
    CommWindowRig rig;
    rig.Open();
    ASSERT_EQ(rig.owner.ConnectCamera(), 1);

    rig.Click("getArea");
    EXPECT_EQ(rig.Find<QLabel>("currentArea")->text(), "Factory Data");

    rig.Choose("settingArea", 2);
    rig.Click("store");
    EXPECT_TRUE(Received(rig.camera, "SA=2"));
    rig.Click("getArea");
    EXPECT_EQ(rig.Find<QLabel>("currentArea")->text(), "User 2 Data");

    rig.Click("load");
    EXPECT_TRUE(Received(rig.camera, "LD=2"));
    EXPECT_EQ(rig.owner.reloads, 1) << "an accepted load re-reads the camera";

    rig.camera.SetFaults(SwallowingReplies(1));
    rig.Click("getArea");
    EXPECT_EQ(rig.Find<QLabel>("currentArea")->text(), "?") << "an unanswered query shows no area";
}
