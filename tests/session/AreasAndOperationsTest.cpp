// Setting areas, camera operations and the simulator between the session and
// the virtual camera.
#include <gtest/gtest.h>

#include <chrono>

#include "comm/CRsCmd.h"
#include "session/SessionRig.h"
#include "support/Faults.h"
#include "support/FileSizeLimit.h"
#include "support/PtyPair.h"
#include "support/TempFolder.h"

namespace {

// Only the camera's answers are slow here, so the limits can be short.
void ShortenLimits(SessionRig& rig)
{
    CameraSession::Limits limits = rig.session.GetLimits();
    limits.calibrationMs = limits.averageDataMs = limits.prismShadingMs = 1500;
    rig.session.SetLimits(limits);
}

void SetFault(camsim::VirtualCamera& camera, void (*change)(camsim::Faults&))
{
    camsim::Faults faults = camera.GetFaults();
    change(faults);
    camera.SetFaults(faults);
}

// The file of blocks 1 .. n when every channel averages 500.
std::string AverageFile(int blocks)
{
    std::string text = "Average data\r\n";
    for (int block = 1; block <= blocks; ++block)
        text += std::to_string(block) + "," + std::to_string(500 + (block * 7) % 16 - 8) + "\r\n";
    return text;
}

}  // namespace

TEST(SessionAreas, StoresAndLoadsReachTheCameraInOrder)
{
    SessionRig rig;
    rig.Start();
    camsim::Faults slowStore;
    slowStore.storeDelayMs = 300;
    rig.camera.SetFaults(slowStore);
    const auto start = std::chrono::steady_clock::now();
    rig.session.StoreSettings(2);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300)) << "a store takes its time";
    rig.camera.SetFaults({});
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"SA=2"}));
    EXPECT_EQ(rig.session.CurrentArea(), 2);
    EXPECT_EQ(rig.host.LastText(), "Completed to store current setting data!");
    EXPECT_EQ(rig.host.boxes.back().icon, EngineHost::Icon::Information);
    EXPECT_EQ(rig.host.positions.back(), 100) << "the bar is full before the window goes";
    EXPECT_TRUE(rig.host.progress.empty());

    rig.camera.SetRegister("GA", 321);
    rig.session.StoreSettings(3);
    rig.camera.SetRegister("GA", 0);
    rig.Wire();
    rig.session.LoadSettings(3);
    std::vector<std::string> wire = rig.Wire();
    ASSERT_GT(wire.size(), 60u);
    EXPECT_EQ(wire[0], "LD=3");
    EXPECT_EQ(wire[1], "SM?") << "a full re-read follows an accepted load";
    EXPECT_EQ(rig.Cur("GA"), 321);

    rig.host.boxes.clear();
    rig.session.StoreAll();
    EXPECT_TRUE(rig.Wire().empty()) << "No keeps every area";
    EXPECT_EQ(rig.host.LastText(), "Are you sure you want to overwrite into all EEPROM areas?");
    rig.host.answers = {true};
    rig.session.StoreAll();
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"SA=3", "SA=2", "SA=1", "SA00=0"}));

    rig.camera.SetFaults(RefusingAll());
    rig.host.answers = {true};
    rig.session.StoreAll();
    EXPECT_EQ(rig.Wire().size(), 4u) << "a refusal does not stop the other areas";
    EXPECT_EQ(rig.host.LastText(), "Couldn't store current setting data!");
    EXPECT_EQ(rig.host.boxes.back().icon, EngineHost::Icon::Exclamation);
    rig.Wire();
    EXPECT_EQ(rig.session.LoadArea(1), 0);
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"LD=1"})) << "a refused load reads nothing";

    rig.camera.SetFaults(slowStore);
    rig.CancelAt(2);   // while the second area is stored
    rig.host.answers = {true};
    rig.session.StoreAll();
    rig.host.whileWaiting = nullptr;
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"SA=3", "SA=2"})) << "no area after the Cancel";
    EXPECT_EQ(rig.host.LastText(), "Storing cancelled: 1 of 4 areas stored.");
    rig.camera.SetFaults({});

    rig.settings.offline = 1;
    rig.host.boxes.clear();
    rig.host.answers = {true};
    rig.session.StoreFactory();
    EXPECT_EQ(rig.host.boxes.size(), 1u) << "offline: the question only, no outcome box";
}

TEST(SessionOperations, UserLevelWhiteBalanceShadingAndTemperature)
{
    SessionRig rig;
    rig.camera.SetRegister("SDM", 3);
    rig.camera.SetRegister("TMS", -16);
    rig.Start();
    ShortenLimits(rig);

    // A white balance re-reads the gains it changed and tells its result.
    rig.session.OnePushAwb();
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"AW=1", "AWRS?", "GAR?", "GAB?", "DGR?", "DGG?", "DGB?"}));
    EXPECT_EQ(rig.host.shown[SessionRig::Id("GAR")], 37);
    EXPECT_EQ(rig.Prev("GAB"), -21);
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.LastText(), "Completed the Auto White Balance. The RB gain values were updated.");
    EXPECT_EQ(rig.host.boxes.back().icon, EngineHost::Icon::Information);

    SetFault(rig.camera, [](camsim::Faults& f) { f.awbResult = 6; });
    rig.session.OnePushAwb();
    EXPECT_EQ(rig.host.LastText(), "Error6. Trig is not set as Normal");
    EXPECT_EQ(rig.host.boxes.back().icon, EngineHost::Icon::Exclamation);

    // No result at all counts as result 1; the engine has reported the silence first.
    SetFault(rig.camera, [](camsim::Faults& f) { f.silent = {"AWRS"}; });
    rig.Wire();
    rig.session.OnePushAwb();
    EXPECT_EQ(rig.Wire().size(), 7u) << "the gains are re-read all the same";
    EXPECT_EQ(rig.host.LastText(), "Error1. too bright.");

    // A Cancel while the result is awaited: nothing more is asked, no result is told.
    rig.host.boxes.clear();
    rig.CancelAt(2);
    rig.session.OnePushAwb();
    rig.host.whileWaiting = nullptr;
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"AW=1", "AWRS?"}));
    ASSERT_EQ(rig.host.boxes.size(), 1u) << "the Cancel's report, no result";
    EXPECT_EQ(rig.host.LastText(), "One-Push AWB cancelled.");
    rig.camera.SetFaults({});

    // The shading text names the user table in use and the kind.
    rig.session.ShadingRecal(true);
    rig.session.ShadingRecal(false);
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"RS=1,1", "RS=1,0"}));

    // The factory table is not the user level's to recalibrate: told so, nothing sent.
    rig.session.SetParam(SessionRig::Id("SDM"), 1);
    rig.host.boxes.clear();
    rig.session.ShadingRecal(true);
    EXPECT_TRUE(rig.Wire().empty());
    EXPECT_EQ(rig.host.LastText(), "Unknown error occurred.");

    // Sixteenths of a degree, below zero too.
    double degrees = 0;
    ASSERT_TRUE(rig.session.ReadTemperature(degrees));
    EXPECT_EQ(degrees, -1.0);
}

TEST(SessionOperations, FactoryLevelRecalibrationsAndReadOuts)
{
    SessionRig rig(ActiveFactory);
    rig.camera.SetRegister("SDM", 1);
    rig.Start();
    ShortenLimits(rig);

    // The black points, red to blue, each re-read.
    rig.session.BlemishRecal(false);
    const std::vector<std::string> wire = rig.Wire();
    ASSERT_EQ(wire.size(), 97u);
    EXPECT_EQ((std::vector<std::string>{wire[0], wire[1], wire[33], wire[96]}),
              (std::vector<std::string>{"BMRC=0", "BMBR1?", "BMBG1?", "BMBB32?"}));
    EXPECT_EQ(rig.Cur("BMBB32"), rig.camera.Register("BMBB32"));
    EXPECT_NE(rig.camera.Register("BMBB32"), 0);
    EXPECT_EQ(rig.host.LastText(), "Finished the ReCalibrate Blemish . The Blemish Point values were updated.");

    // The factory table in use is recalibrated through "RS00".
    rig.session.ShadingRecal(true);
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"RS00=2,1"}));

    rig.camera.SetRegister("QELS", 42);
    int number = 0;
    ASSERT_TRUE(rig.session.ReadSNumber(number));
    EXPECT_EQ(number, 42);
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"QELS?"}));

    // Prism shading shows nothing, even when the camera refuses.
    rig.host.boxes.clear();
    rig.camera.SetFaults(RefusingAll());
    rig.session.PrismShadingGet();
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"PSHD=0"}));
    EXPECT_TRUE(rig.host.boxes.empty());
}

TEST(SessionOperations, AverageDataKeepsTheBlocksReadBeforeAFailure)
{
    TempFolder folder;
    const std::string path = folder.File("average.csv");
    SessionRig rig(ActiveFactory);
    rig.Start();
    ShortenLimits(rig);
    for (const char* channel : {"AVDR", "AVDG", "AVDB"})
        rig.camera.SetRegister(channel, 500);

    // Block 10 goes unanswered: the file ends after block 9, nothing later is asked. The
    // camera writes its numbers in every form a free answer may take; the file holds decimals.
    SetFault(rig.camera, [](camsim::Faults& f) {
        f.silent = {"AVDY10"};
        f.numbersInEveryForm = true;
    });
    rig.session.ReadAverageData("AVDY", path);
    const std::vector<std::string> wire = rig.Wire();
    ASSERT_EQ(wire.size(), 10u);
    EXPECT_EQ(wire.front(), "AVDY01?");
    EXPECT_EQ(FileText(path), AverageFile(9));

    // A disk that fills up: the box, and the file keeps the blocks that fitted.
    SetFault(rig.camera, [](camsim::Faults& f) { f.silent.clear(); });
    rig.host.boxes.clear();
    {
        FileSizeLimit full(60);
        rig.session.ReadAverageData("AVDY", path);
    }
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].caption, "File Open Error");
    EXPECT_EQ(rig.host.boxes[0].text, path + "\nCouldn't open this file");
    EXPECT_EQ(FileText(path), AverageFile(6)) << "60 bytes hold the header and six blocks";
    EXPECT_EQ(rig.Wire().size(), 7u) << "the export ends at the block that could not be written";
}

TEST(SessionOperations, TheSimulatorAnswersAsACameraWould)
{
    PtyPair line;   // the test plays the other end of COM1
    SessionRig rig;
    rig.port.SetDeviceResolver([&](int) { return line.SlavePath(); });
    ASSERT_EQ(rig.session.Engine()->OpenPort(0), 1);
    rig.session.SetCurrentArea(2);
    for (const auto& [asked, answer] : {std::pair{"EA?", "EA=2"}, {"GA=5", "COMPLETE"}, {"VN?", "321"}}) {
        line.Send(std::string(asked) + "\r\n");
        const std::string ending = std::string(answer) + "\r\n";
        const auto answered = [&] {
            rig.session.Engine()->OnTimer();   // the engine's tick takes the line in
            rig.session.AnswerAsCamera();
        };
        EXPECT_NE(line.ReceiveUntil(ending, std::chrono::seconds(3), answered).find(ending), std::string::npos)
            << asked;
    }
}
