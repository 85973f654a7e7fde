// Tables moved between the tool and the virtual camera over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <vector>

#include "lut/LutPoints.h"
#include "lut/LutTransfer.h"
#include "support/CameraLine.h"
#include "support/Faults.h"

TEST(LutTransfer, CameraCountsTheEntriesOfEachChannel)
{
    camsim::VirtualCamera camera;
    auto now = std::chrono::steady_clock::now();
    camera.SetLutClock([&] { return now; });
    EXPECT_EQ(camera.Feed("LUTR=7\r\n"), "COMPLETE\r\n");
    EXPECT_EQ(camera.Feed("LUTR=8\r\n"), "COMPLETE\r\n");
    EXPECT_EQ(camera.Feed("LUTR=x\r\n"), "03 Invalid Value!!\r\n");
    EXPECT_EQ(camera.Feed("LUTR=9\r\n"), "COMPLETE\r\n") << "a refused value takes no entry";
    const std::vector<int> red = camera.Lut('R');
    EXPECT_EQ((std::vector<int>(red.begin(), red.begin() + 3)), (std::vector<int>{7, 8, 9}));

    EXPECT_EQ(camera.Feed("LUTR?\r\n"), "LUTR=7\r\n") << "reading starts over at entry 0";
    EXPECT_EQ(camera.Feed("LUTR?\r\n"), "LUTR=8\r\n");
    now += std::chrono::milliseconds(1001);
    EXPECT_EQ(camera.Feed("LUTR?\r\n"), "LUTR=7\r\n") << "after a pause of more than a second, entry 0 again";
    now += std::chrono::milliseconds(1000);
    EXPECT_EQ(camera.Feed("LUTR?\r\n"), "LUTR=8\r\n") << "a pause of exactly a second continues";

    for (int k = 2; k < kLutEntries; ++k)
        camera.Feed("LUTR?\r\n");
    EXPECT_EQ(camera.Feed("LUTR?\r\n"), "LUTR=7\r\n") << "after entry 511 comes entry 0";
}

// The entries carry no index, so one answer too many would shift every entry
// after it by one. Over a line that keeps wire time the next query leaves
// while the repeated answer is still crossing: whether the repeat is then
// dropped before a query or taken for an answer, the read fails, never giving
// a shifted table.
TEST(LutTransfer, AnAnswerTooManyFailsTheRead)
{
    for (int repeated : {10, 511, -1}) {
        SCOPED_TRACE(repeated);
        CameraLine line(460800);
        line.settings.replyWaitMs = 0;
        ASSERT_TRUE(line.Open());
        line.camera.Feed("MD?\r\n");   // whatever came before, the table starts at entry 0
        for (int k = 0; k < kLutEntries; ++k)
            line.camera.Feed("LUTB=" + std::to_string(4000 + k) + "\r\n");
        LutTransfer transfer(*line.engine);
        LutTable table{};
        const auto repeatNext = [&](int k) {
            if (k == repeated - 1) {
                camsim::Faults repeat;
                repeat.repeatReplyAt = 1;
                line.camera.SetFaults(repeat);
            }
        };
        const int read = transfer.ReadTable(2, table, repeatNext);
        if (repeated < 0) {
            EXPECT_EQ(read, 1) << "a camera that answers once per query";
            EXPECT_EQ(table[511], 4511);
            EXPECT_TRUE(line.host.boxes.empty());
            continue;
        }
        EXPECT_EQ(read, 0);
        ASSERT_EQ(line.host.boxes.size(), 1u) << "the failure is shown once";
        if (repeated == 511) {
            EXPECT_EQ(line.host.boxes[0].text, "LUTB=4511 after the answer to LUTB?");
        }
    }
}

TEST(LutTransfer, SendingStopsAtTheFirstRefusedEntry)
{
    CameraLine line;
    ASSERT_TRUE(line.Open());
    LutTable table{};
    for (int k = 0; k < kLutEntries; ++k)
        table[k] = 8191 - k;
    table[1] = -3;   // sent with its sign, as the table holds it
    LutTransfer transfer(*line.engine);
    int acknowledged = 0;
    const auto entryDone = [&](int k) {
        acknowledged = k + 1;
        if (k == 4) {
            line.camera.SetFaults(RefusingAll());
        }
    };
    EXPECT_EQ(transfer.SendTable(2, table, entryDone), 0);
    EXPECT_EQ(acknowledged, 5);
    const std::vector<std::string> sent = line.camera.ReceivedLines();
    EXPECT_EQ(sent.size(), 6u) << "nothing is sent after the refused entry";
    EXPECT_EQ(sent[1], "LUTB=-3");
    EXPECT_EQ(line.camera.Lut('B')[4], 8187);
    EXPECT_EQ(line.host.boxes.size(), 1u) << "the refusal is shown once";
}
