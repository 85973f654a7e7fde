// The engine against the virtual camera over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "support/CameraLine.h"

namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

long long ElapsedMs(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(EngineCamera, SettingsAndQueriesRoundTrip)
{
    CameraLine line;
    ASSERT_TRUE(line.Open());
    CRsCmd& engine = *line.engine;

    ASSERT_EQ(engine.SetInt(CmdGA, 0, 100, 3000), 1);
    EXPECT_EQ(line.camera.Register("GA"), 100) << "the camera holds the new gain";
    EXPECT_EQ(engine.LastSentLine(), "GA=100");
    EXPECT_TRUE(Contains(line.host.traffic, "Tx: GA=100"));
    EXPECT_TRUE(Contains(line.host.traffic, "Rx: COMPLETE"));
    EXPECT_TRUE(Contains(line.host.messages, "GA=100")) << "the message list shows bare lines";
    EXPECT_EQ(line.host.LastStatus(), 1);
    EXPECT_FALSE(line.host.waitCursorOn);

    int value = 0;
    ASSERT_EQ(engine.GetInt(CmdGA, 0, value, 3000), 1);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(line.host.idleRestarts, 2) << "every command sent restarts the idle check";

    ASSERT_EQ(engine.SetText(CmdUD, 0, "line 7", 3000), 1);
    EXPECT_EQ(line.camera.Text("UD"), "line7") << "the camera ignores spaces";
    CommandValue text;
    ASSERT_EQ(engine.GetValue(CmdUD, 0, text, 3000, 1, 1), 1);
    EXPECT_EQ(text.text, "LINE7") << "text values come back upper-cased";

    // AGCF is held in sixteenths, the black levels with an offset of 511.
    ASSERT_EQ(engine.SetInt(CmdAGCF, 0, 5, 3000), 1);
    EXPECT_EQ(line.camera.Register("AGCF"), 80);
    ASSERT_EQ(engine.SetInt(CmdBL, 0, 0, 3000), 1);
    EXPECT_EQ(line.camera.Register("BL"), 511);
    line.camera.SetRegister("AGCF", 83);
    line.camera.SetRegister("BLR", 600);
    ASSERT_EQ(engine.GetInt(CmdAGCF, 0, value, 3000), 1);
    EXPECT_EQ(value, 5) << "sixteenths are rounded down";
    ASSERT_EQ(engine.GetInt(CmdBLR, 0, value, 3000), 1);
    EXPECT_EQ(value, 89);

    line.camera.ClearReceivedLines();
    EXPECT_EQ(engine.SetInt(CmdNone, 0, 5, 3000), 1);
    EXPECT_EQ(engine.GetInt(CmdNone, 0, value, 3000), 0);
    EXPECT_TRUE(line.camera.ReceivedLines().empty()) << "no command, nothing sent";
    EXPECT_TRUE(line.host.boxes.empty());
}

TEST(EngineCamera, RepliesOtherThanTheAnswer)
{
    CameraLine line;
    ASSERT_TRUE(line.Open());
    CRsCmd& engine = *line.engine;
    camsim::Faults faults;
    faults.refuseAll = true;
    line.camera.SetFaults(faults);
    EXPECT_EQ(engine.SetInt(CmdGA, 0, 1, 3000), 0);
    ASSERT_EQ(line.host.boxes.size(), 1u);
    EXPECT_EQ(line.host.boxes[0].text, "01 Unknown Command!! for GA=1");
    EXPECT_EQ(line.host.boxes[0].caption, "Communication Error");
    EXPECT_EQ(line.host.boxes[0].icon, EngineHost::Icon::Exclamation);

    line.host.Clear();
    EXPECT_EQ(engine.SetInt(CmdPSCM, 0, 1, 3000), 0) << "prism shading probes quietly";
    EXPECT_TRUE(line.host.boxes.empty());
    EXPECT_FALSE(Contains(line.host.traffic, "Rx: 01 Unknown Command!!"));
    EXPECT_EQ(engine.quietMode, 0u) << "quiet mode ends with the call";
    int value = -1;
    EXPECT_EQ(engine.GetInt(CmdGA, 0, value, 3000), 0);
    ASSERT_EQ(line.host.boxes.size(), 1u);
    EXPECT_EQ(line.host.boxes[0].text, "01UnknownCommand!! for GA?") << "a query shows the reply as parsed";

    line.host.Clear();
    faults = {};
    faults.noticeBeforeReply = "!!Fan stopped";
    line.camera.SetFaults(faults);
    ASSERT_EQ(engine.GetInt(CmdGA, 0, value, 3000), 1) << "a notice is no answer";
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(Contains(line.host.traffic, "Rx: !!Fan stopped")) << "but it is logged";
    EXPECT_EQ(engine.GetReplyCount(), 0) << "the notice never stays in the reply list";

    line.camera.SetFaults({});
    std::string stray = "TR?\r\n";
    engine.SendText(stray, 0);   // its answer arrives first
    EXPECT_EQ(engine.GetInt(CmdGA, 0, value, 3000), 0);
    ASSERT_EQ(line.host.boxes.size(), 1u);
    EXPECT_EQ(line.host.boxes[0].text, "TR=0 for GA?") << "a reply naming another command fails the query";
}

TEST(EngineCamera, ASilentOrVanishedCameraEndsInATimeOut)
{
    CameraLine line;
    ASSERT_TRUE(line.Open());
    CRsCmd& engine = *line.engine;
    camsim::Faults faults;
    faults.swallowReplies = 2;
    line.camera.SetFaults(faults);

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.SetInt(CmdGA, 0, 1, 200), 0);
    EXPECT_GE(ElapsedMs(start), 200) << "the caller's time-out is waited out";
    EXPECT_LT(ElapsedMs(start), 1500) << "and no longer";
    EXPECT_EQ(line.host.LastStatus(), 0) << "no answer means offline";
    EXPECT_TRUE(line.host.boxes.empty()) << "a short-ASCII time-out shows no box";
    int value = 0;
    EXPECT_EQ(engine.GetInt(CmdGA, 0, value, 200), 0);
    EXPECT_EQ(engine.GetInt(CmdGA, 0, value, 3000), 1) << "the camera answers again";
    EXPECT_EQ(line.host.LastStatus(), 1);

    faults = {};
    faults.hangUpAfterNextCommand = true;
    line.camera.SetFaults(faults);
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.SetInt(CmdGA, 0, 1, 300), 0);
    EXPECT_EQ(engine.GetInt(CmdGA, 0, value, 300), 0);
    EXPECT_LT(ElapsedMs(start), 2000) << "a hung-up line ends each wait at its time-out";
    EXPECT_TRUE(line.pty.HungUp());
    EXPECT_EQ(line.host.LastStatus(), 0);
    EXPECT_EQ(engine.ClosePort(), 1);
}

TEST(EngineCamera, OfflineNothingTravels)
{
    CameraLine line;
    ASSERT_TRUE(line.Open());
    line.settings.offline = 1;
    line.settings.simulation = 1;
    CRsCmd& engine = *line.engine;

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.SetInt(CmdGA, 0, 100, 3000), 1) << "settings succeed offline";
    int value = 0;
    EXPECT_EQ(engine.GetInt(CmdGA, 0, value, 3000), 0) << "queries fail offline";
    EXPECT_LT(ElapsedMs(start), 500) << "both at once";
    EXPECT_TRUE(Contains(line.host.traffic, "Tx: GA=100")) << "offline commands are still logged";

    uint8_t byte = 0;
    EXPECT_EQ(engine.ReadBytes(&byte, 1, 10), 0) << "no byte is claimed that was not stored";
    EXPECT_EQ(engine.ReceiveLines(1), 1);
    EXPECT_TRUE(line.host.boxes.empty()) << "no overflow from bytes that never came";
    EXPECT_TRUE(line.camera.ReceivedLines().empty());
    EXPECT_EQ(line.camera.Register("GA"), 0);
}

TEST(EngineCamera, RegisterBaseFormWithAndWithoutCheck)
{
    for (uint32_t crc : {0u, 1u}) {
        SCOPED_TRACE(crc ? "with check" : "without check");
        CameraLine line;
        line.settings.commandFormat = 1;
        line.settings.commandCrc = crc;
        ASSERT_TRUE(line.Open());
        CRsCmd& engine = *line.engine;
        const int sm = CommandTable::Find("SM");

        ASSERT_EQ(engine.SetInt(sm, 0, 2, 3000), 1);
        EXPECT_EQ(line.camera.Register("SM"), 2);
        line.camera.SetRegister("SM", 3);
        int value = 0;
        ASSERT_EQ(engine.GetInt(sm, 0, value, 3000), 1);
        EXPECT_EQ(value, 3);
        EXPECT_TRUE(line.host.boxes.empty());

        line.camera.ClearReceivedLines();
        EXPECT_EQ(engine.SetInt(CmdGA, 0, 1, 3000), 0) << "a row without register address fails";
        EXPECT_TRUE(line.camera.ReceivedLines().empty()) << "and nothing is sent for it";

        camsim::Faults faults;
        faults.swallowReplies = 1;
        line.camera.SetFaults(faults);
        EXPECT_EQ(engine.GetInt(sm, 0, value, 200), 0);
        ASSERT_EQ(line.host.boxes.size(), 1u);
        EXPECT_EQ(line.host.boxes[0].text,
                  "No answer from Camera! (Timeout error)\nCheck power on Camera or serial cable connection.");
    }
}
