// The engine against the virtual camera over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <functional>
#include <thread>

#include "comm/StopRequest.h"
#include "support/CameraLine.h"
#include "support/WaitFor.h"
#include "support/Faults.h"

namespace {
bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

long long ElapsedMs(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// The value a query reads, INT_MIN when it fails.
int Get(CRsCmd& engine, int index, int timeoutMs = 3000)
{
    int value = 0;
    return engine.GetInt(index, 0, value, timeoutMs) == 1 ? value : INT_MIN;
}

// Runs work beside the test; when it has not finished by the deadline the
// camera is stopped, which ends any talk, so a fault fails instead of hanging.
bool FinishesWithin(CameraLine& line, int deadlineMs, const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    const bool inTime = WaitFor([&] { return done.load(); }, deadlineMs);
    if (!inTime)
        line.pty.Stop();
    worker.join();
    return inTime;
}

// The engine on a camera, its line open.
class EngineCamera : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(line.Open()); }

    CameraLine line;
    CRsCmd& engine = *line.engine;
};

}  // namespace

TEST_F(EngineCamera, SettingsAndQueriesRoundTrip)
{
    ASSERT_EQ(engine.SetInt(CmdGA, 0, 100, 3000), 1);
    EXPECT_EQ(line.camera.Register("GA"), 100) << "the camera holds the new gain";
    EXPECT_EQ(engine.LastSentLine(), "GA=100");
    EXPECT_TRUE(Contains(line.host.traffic, "Tx: GA=100"));
    EXPECT_TRUE(Contains(line.host.messages, "GA=100")) << "the message list shows bare lines";
    EXPECT_EQ(line.host.LastStatus(), 1);
    EXPECT_FALSE(line.host.waitCursorOn);

    EXPECT_EQ(Get(engine, CmdGA), 100);
    EXPECT_EQ(line.host.idleRestarts, 2) << "every command sent restarts the idle check";

    ASSERT_EQ(engine.SetText(CmdUD, 0, "line 7", 3000), 1);
    EXPECT_EQ(line.camera.Text("UD"), "line7") << "the camera ignores spaces";
    CommandValue text;
    ASSERT_EQ(engine.GetValue(CmdUD, 0, text, 3000, 1, 1), 1);
    EXPECT_EQ(text.text, "LINE7") << "text values come back upper-cased";

    // AGCF is held in sixteenths, the black levels with an offset of 511.
    ASSERT_EQ(engine.SetInt(CmdBL, 0, 0, 3000), 1);
    EXPECT_EQ(line.camera.Register("BL"), 511);
    line.camera.SetRegister("AGCF", 83);
    line.camera.SetRegister("BLR", 600);
    EXPECT_EQ(Get(engine, CmdAGCF), 5) << "sixteenths are rounded down";
    EXPECT_EQ(Get(engine, CmdBLR), 89);

    line.camera.ClearReceivedLines();
    EXPECT_EQ(engine.SetInt(CmdNone, 0, 5, 3000), 1);
    EXPECT_EQ(Get(engine, CmdNone), INT_MIN);
    EXPECT_TRUE(line.camera.ReceivedLines().empty()) << "no command, nothing sent";
    EXPECT_TRUE(line.host.boxes.empty());
}

TEST_F(EngineCamera, RepliesOtherThanTheAnswer)
{
    line.camera.SetFaults(RefusingAll());
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
    EXPECT_EQ(Get(engine, CmdGA), INT_MIN);
    ASSERT_EQ(line.host.boxes.size(), 1u);
    EXPECT_EQ(line.host.boxes[0].text, "01UnknownCommand!! for GA?") << "a query shows the reply as parsed";

    line.host.Clear();
    camsim::Faults slow;
    slow.replyDelayMs = 50;   // the stray line's answer comes after the query has left
    line.camera.SetFaults(slow);
    std::string stray = "TR?\r\n";
    engine.SendText(stray, 0);
    EXPECT_EQ(Get(engine, CmdGA), INT_MIN);
    ASSERT_EQ(line.host.boxes.size(), 1u);
    EXPECT_EQ(line.host.boxes[0].text, "TR=0 for GA?") << "a reply naming another command fails the query";
}

TEST_F(EngineCamera, ASilentOrVanishedCameraEndsInATimeOut)
{
    line.camera.SetFaults(SwallowingReplies(2));

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.SetInt(CmdGA, 0, 1, 200), 0);
    // Both clocks count whole milliseconds, so the two readings may differ by one.
    EXPECT_GE(ElapsedMs(start), 199) << "the caller's time-out is waited out";
    EXPECT_LT(ElapsedMs(start), 1500) << "and no longer";
    EXPECT_EQ(line.host.LastStatus(), 0) << "no answer means offline";
    EXPECT_TRUE(line.host.boxes.empty()) << "a short-ASCII time-out shows no box";
    EXPECT_EQ(Get(engine, CmdGA, 200), INT_MIN);
    EXPECT_NE(Get(engine, CmdGA), INT_MIN) << "the camera answers again";
    EXPECT_EQ(line.host.LastStatus(), 1);

    camsim::Faults faults;
    faults.hangUpAfterNextCommand = true;
    line.camera.SetFaults(faults);
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.SetInt(CmdGA, 0, 1, 5000), 0);
    EXPECT_EQ(Get(engine, CmdGA, 5000), INT_MIN);
    EXPECT_LT(ElapsedMs(start), 4000) << "a hung-up line ends each wait at once, not at its time-out";
    EXPECT_TRUE(line.pty.HungUp());
    EXPECT_TRUE(engine.Interrupted());
    EXPECT_EQ(line.host.LastStatus(), 0);
    line.host.Clear();
    EXPECT_EQ(Get(engine, CmdGA, 5000), INT_MIN) << "nothing is sent on a line that hung up";
    EXPECT_EQ(line.host.LastStatus(), 0) << "and the windows show it offline, also between two commands";
    EXPECT_EQ(engine.ClosePort(), 1);
}

TEST_F(EngineCamera, OfflineNothingTravels)
{
    line.settings.offline = 1;
    line.settings.simulation = 1;

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.SetInt(CmdGA, 0, 100, 3000), 1) << "settings succeed offline";
    EXPECT_EQ(Get(engine, CmdGA), INT_MIN) << "queries fail offline";
    EXPECT_LT(ElapsedMs(start), 500) << "both at once";
    EXPECT_TRUE(Contains(line.host.traffic, "Tx: GA=100")) << "offline commands are still logged";

    uint8_t byte = 0;
    EXPECT_EQ(engine.ReadBytes(&byte, 1, 10), 0) << "no byte is claimed that was not stored";
    EXPECT_EQ(engine.ReceiveLines(1), 1);
    EXPECT_TRUE(line.host.boxes.empty()) << "no overflow from bytes that never came";
    EXPECT_TRUE(line.camera.ReceivedLines().empty());
    EXPECT_EQ(line.camera.Register("GA"), 0);
}

// Each case on a line of its own.
TEST(EngineCameraCases, RegisterBaseFormWithAndWithoutCheck)
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
        EXPECT_EQ(Get(engine, sm), 3);
        EXPECT_TRUE(line.host.boxes.empty());

        line.camera.ClearReceivedLines();
        EXPECT_EQ(engine.SetInt(CmdGA, 0, 1, 3000), 0) << "a row without register address fails";
        EXPECT_TRUE(line.camera.ReceivedLines().empty()) << "and nothing is sent for it";

        line.camera.SetFaults(SwallowingReplies(1));
        EXPECT_EQ(Get(engine, sm, 200), INT_MIN);
        ASSERT_EQ(line.host.boxes.size(), 1u);
        EXPECT_EQ(line.host.boxes[0].text,
                  "No answer from Camera! (Timeout error)\nCheck power on Camera or serial cable connection.");
    }
}

TEST(EngineCameraCases, ALineThatNeverStopsTalkingHoldsNoWaitPastItsDeadline)
{
    for (camsim::Stream stream : {camsim::Stream::Notices, camsim::Stream::EndlessLine}) {
        const bool notices = stream == camsim::Stream::Notices;
        SCOPED_TRACE(notices ? "notices without end" : "a line without end");
        CameraLine line;
        ASSERT_TRUE(line.Open());
        CRsCmd& engine = *line.engine;
        camsim::Faults faults;
        faults.stream = stream;
        line.camera.SetFaults(faults);

        int result = -1;
        EXPECT_TRUE(FinishesWithin(line, 8000, [&] { result = Get(engine, CmdGA, 1500); }))
            << "the query ends near its 1.5 s time-out, after more than a line of bytes";
        EXPECT_EQ(result, INT_MIN);
        EXPECT_EQ(line.host.LastStatus(), 0);
        if (notices)
            EXPECT_TRUE(Contains(line.host.traffic, "Rx: !!Overheat")) << "the notices were read and logged";
        else
            ASSERT_EQ(line.host.boxes.size(), 1u) << "one overflow for one line, however long";

        EXPECT_TRUE(FinishesWithin(line, 8000, [&] {
            for (int tick = 0; tick < 5; ++tick)
                engine.OnTimer();
        })) << "the timer's reading hands back control too";
        EXPECT_EQ(engine.GetReplyCount(), 0) << "no notice or fragment is taken for a reply";
    }
}

// The camera is given the reply wait before its reply is looked for; from then
// on a reply is taken the moment it is in.
TEST(EngineCameraCases, TheReplyWaitSetsThePace)
{
    CameraLine line(115200, 1);
    ASSERT_TRUE(line.Open());
    CRsCmd& engine = *line.engine;
    line.settings.replyWaitMs = kReplyWaitLongestMs;   // the default, the profile's when it has none
    for (int n = 0; n < 10; ++n)
        ASSERT_EQ(Get(engine, CmdGA), 0);
    // The camera notices a line's end a little after the engine wrote it, on a
    // loaded machine by milliseconds: such a delay shortens one gap, and
    // lengthens the one before by as much, so the mean keeps the pace; one
    // command sent without the wait would take it below 18 ms.
    const auto log = line.camera.ReceivedLog();
    ASSERT_EQ(log.size(), 10u);
    EXPECT_GE((log.back().at - log.front().at) / 9, std::chrono::microseconds(19500))
        << "with the 20 ms wait no command follows its predecessor sooner";

    // Without the wait some command follows its predecessor at once, however
    // loaded the machine, where with it none comes sooner than the wait.
    line.settings.replyWaitMs = 0;
    line.camera.ClearReceivedLines();
    line.host.servings = 0;
    for (int n = 0; n < 64; ++n)
        ASSERT_EQ(Get(engine, CmdGA), 0);
    EXPECT_GE(line.host.servings, 64) << "the windows are served while each command crosses the line, "
                                         "however soon its answer comes";
    const auto quick = line.camera.ReceivedLog();
    auto shortest = quick[1].at - quick[0].at;
    for (size_t n = 2; n < quick.size(); ++n)
        shortest = std::min(shortest, quick[n].at - quick[n - 1].at);
    EXPECT_LT(shortest, std::chrono::milliseconds(10));

    line.settings.replyWaitMs = 500;   // bounded as the profile bounds it
    camsim::Faults slow;
    slow.replyDelayMs = 25;
    line.camera.SetFaults(slow);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Get(engine, CmdGA), 0);
    const long long took = ElapsedMs(start);
    EXPECT_GE(took, 25);
    EXPECT_LT(took, 40) << "a reply that comes after the wait is taken when it comes, not at a next step";
}

TEST_F(EngineCamera, ValuesThatCannotTravelAreRefusedBeforeAnythingIsSent)
{
    for (const char* text : {"x\r\nGA=5", "x\nGA=5", "\x1b]0;t\x07"})
        EXPECT_EQ(engine.SetText(CmdUD, 0, text, 3000), 0) << "a control character would end the line early";
    EXPECT_EQ(engine.SetInt(CmdAGCF, 0, INT_MAX, 3000), 0) << "sixteen times the value does not fit";
    EXPECT_EQ(engine.SetInt(CmdAGCF, 0, INT_MIN / 8, 3000), 0);
    EXPECT_EQ(engine.SetInt(CmdBL, 0, INT_MAX, 3000), 0) << "the black level's offset would overflow";
    EXPECT_TRUE(line.camera.ReceivedLines().empty()) << "nothing reached the camera";
    EXPECT_EQ(line.camera.Register("GA"), 0);
    ASSERT_EQ(line.host.boxes.size(), 6u) << "each refusal is shown";
    EXPECT_EQ(line.host.boxes[0].text, "UD: a text with control characters is not sent");
    EXPECT_EQ(line.host.boxes[3].text, "AGCF: 2147483647 does not fit the camera's register");

    EXPECT_EQ(engine.SetInt(CmdAGCF, 0, INT_MAX / 16, 3000), 1) << "the largest value that fits still goes";
    EXPECT_EQ(line.camera.Register("AGCF"), INT_MAX / 16 * 16);
}

TEST_F(EngineCamera, AStopRequestEndsTheWaitAndSendsNothingMore)
{
    camsim::Faults faults;
    faults.replyDelayMs = 20000;
    line.camera.SetFaults(faults);

    int result = -1;
    std::thread stopper([&] {
        WaitFor([&] { return !line.camera.ReceivedLines().empty(); });
        StopRequest::Raise();   // what the signal handler does
    });
    EXPECT_TRUE(FinishesWithin(line, 8000, [&] { result = Get(engine, CmdGA, 30000); }))
        << "the query of a slow camera ends at the stop, not after 20 s";
    stopper.join();
    EXPECT_EQ(result, INT_MIN);
    EXPECT_TRUE(engine.Interrupted());
    line.host.traffic.clear();
    EXPECT_EQ(engine.SetInt(CmdGA, 0, 1, 30000), 0);
    EXPECT_TRUE(line.host.traffic.empty()) << "nothing more is sent";
    EXPECT_TRUE(line.host.boxes.empty()) << "no box holds up the stop";
    StopRequest::Clear();
}
