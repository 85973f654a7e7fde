// kavro-cli moves the three tables between gamma data files and the virtual camera.
#include <gtest/gtest.h>

#include <fstream>

#include "files/GammaFile.h"
#include "lut/LutPoints.h"
#include "support/CliCamera.h"

TEST(LutCli, SendLutsSendsTheFileAndReadLutsWritesTheCameraTables)
{
    CliCamera f;
    const std::string path = f.home.File("in.csv");
    std::ofstream(path) << "GammaData (R G B)\r\n1,2,3\r\n9000,5,6\r\n";
    ProcessResult r = f.Cli("--baud 115200 --reply-wait 0 send-luts '" + path + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const LutTable straight = LutPoints::StartingTable();
    for (const auto& [channel, first, second] : {std::tuple{'R', 1, 8191}, {'G', 2, 5}, {'B', 3, 6}}) {
        const std::vector<int> table = f.camera.Lut(channel);
        EXPECT_EQ(table[0], first) << channel;
        EXPECT_EQ(table[1], second) << channel;
        EXPECT_EQ(table[511], straight[511]) << channel << ": entries the file does not reach are the straight line";
    }

    std::ofstream(f.home.File("piped.csv")) << "GammaData (R G B)\r\n7,8,9\r\n";
    r = f.Cli("--baud 115200 --reply-wait 0 send-luts - < '" + f.home.File("piped.csv") + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(f.camera.Lut('B')[0], 9) << "- is standard input";

    EXPECT_EQ(f.Cli("--baud 115200 send-luts '" + f.home.File("missing.csv") + "'").exitCode, 1);
    f.camera.ClearReceivedLines();
    r = f.Cli("send-luts /dev/null");
    EXPECT_EQ(r.exitCode, 1) << "a file with nothing to send is no success";
    EXPECT_EQ(r.err, "kavro-cli: /dev/null: no line of the file holds a number; nothing sent\n");
    r = f.Cli("send-luts /dev/zero", "", "timeout 10 ");
    EXPECT_EQ(r.exitCode, 1) << "an input without end is refused, not read for ever";
    EXPECT_EQ(r.err, "kavro-cli: /dev/zero: larger than 64 MB, which no settings or gamma file is; not read\n");
    EXPECT_TRUE(f.camera.ReceivedLines().empty());

    GammaTables expected;
    const char channels[] = "RGB";
    for (int run = 0; run < 2; ++run) {
        for (int ch = 0; ch < 3; ++ch) {
            f.camera.Feed("MD?\r\n");
            for (int k = 0; k < kLutEntries; ++k) {
                expected[ch][k] = (k * (ch + 3) * 5) % 8192;
                f.camera.Feed(std::string("LUT") + channels[ch] + "=" + std::to_string(expected[ch][k]) + "\r\n");
            }
        }
    }
    const std::string out = f.home.File("out.csv");
    r = f.Cli("--baud 115200 --reply-wait 0 read-luts '" + out + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(FileText(out), GammaFile::Format(expected));
    r = f.Cli("--baud 115200 --reply-wait 0 read-luts -");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, GammaFile::Format(expected)) << "- is standard output";
}
