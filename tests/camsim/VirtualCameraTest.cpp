// The virtual camera fed directly: what only the camera knows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "camsim/LineCheck.h"
#include "camsim/RegisterTable.h"
#include "camsim/VirtualCamera.h"
#include "support/TempFolder.h"

using camsim::VirtualCamera;

// Plain settings, queries, refusals and the LUT order reach the camera
// through the engine's and the tools' own tests; these are the camera's own.
TEST(VirtualCamera, ShortAsciiLinesAsTheCameraReadsThem)
{
    VirtualCamera camera;
    EXPECT_EQ(camera.Feed("SH=&H1F\n"), "COMPLETE\r\n") << "hex value, LF alone ends the line";
    EXPECT_EQ(camera.Register("SH"), 31);
    EXPECT_EQ(camera.Feed("ga=-"), "") << "no reply before the line end";
    EXPECT_EQ(camera.Feed("92\r\n"), "COMPLETE\r\n");
    EXPECT_EQ(camera.Feed("ga ?\r\n"), "GA=-92\r\n") << "names in any case, spaces ignored";

    EXPECT_EQ(camera.Feed("XX=1\r\n"), "01 Unknown Command!!\r\n");
    EXPECT_EQ(camera.Feed("GA\r\n"), "01 Unknown Command!!\r\n") << "neither = nor ?";
    EXPECT_NE(camera.Feed("GA=12x\r\n"), "COMPLETE\r\n");
    EXPECT_EQ(camera.Register("GA"), -92) << "a malformed value changes nothing";
    EXPECT_EQ(camera.Feed("MD00?\r\n"), "MD00=MX-550CL\r\n");
    EXPECT_NE(camera.Feed("MD=OTHER\r\n"), "COMPLETE\r\n") << "the model name is fixed";

    EXPECT_EQ(camera.Feed(std::string(1100, 'A') + "\r\nGA?\r\n"), "GA=-92\r\n") << "an overlong line is dropped";
    const std::vector<std::string> lines = camera.ReceivedLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], "ga ?") << "lines are kept as received";
    EXPECT_EQ(lines.back(), "GA?");
}

TEST(VirtualCamera, CameraIdNeedsTheUnlockNumber)
{
    VirtualCamera camera;
    const std::string idBefore = camera.Text("ID");
    std::string refusal = camera.Feed("ID=ABC\r\n");
    EXPECT_NE(refusal, "COMPLETE\r\n");
    EXPECT_NE(refusal.rfind("!!", 0), 0u) << "a refusal is no notice";
    EXPECT_EQ(camera.Text("ID"), idBefore);

    EXPECT_NE(camera.Feed("ULCK=1234567\r\n"), "COMPLETE\r\n") << "wrong unlock number";
    EXPECT_NE(camera.Feed("ID=ABC\r\n"), "COMPLETE\r\n");
    EXPECT_EQ(camera.Feed("ULCK=" + std::to_string(VirtualCamera::kUnlockNumber) + "\r\n"), "COMPLETE\r\n");
    EXPECT_EQ(camera.Feed("ID=ABC\r\n"), "COMPLETE\r\n");
    EXPECT_EQ(camera.Text("ID"), "ABC");
    EXPECT_NE(camera.Feed("ID=ABCDEFGHIJK\r\n"), "COMPLETE\r\n") << "a camera ID has ten characters at most";
    EXPECT_NE(camera.Feed("UD=ABCDEFGHIJKLMNOPQ\r\n"), "COMPLETE\r\n") << "a user ID sixteen";
}

TEST(VirtualCamera, SettingAreasStoreLoadAndPersist)
{
    TempFolder folder;
    VirtualCamera camera;
    // Storing, loading and SA00 through the communication window and kavro-cli
    // are tested with them; here what they do not reach.
    camera.Feed("GA=5\r\nSA=2\r\nGA=7\r\n");
    EXPECT_EQ(camera.Feed("LD=0\r\n"), "COMPLETE\r\n");
    EXPECT_EQ(camera.Register("GA"), 0) << "the factory area still holds the power-on gain";
    EXPECT_EQ(camera.CurrentArea(), 0);
    EXPECT_NE(camera.Feed("SA=4\r\n"), "COMPLETE\r\n");
    EXPECT_NE(camera.Feed("LD=-1\r\n"), "COMPLETE\r\n");

    camera.Feed("GA=9\r\nSA00=0\r\n");
    EXPECT_EQ(camera.AreaRegister(0, "GA"), 9) << "SA00 stores into the factory area";
    EXPECT_EQ(camera.AreaRegister(1, "GA"), 0) << "and into no other";
    camera.Feed("LD=2\r\nUD=owner\r\n");

    const std::string path = folder.File("camera.state");
    ASSERT_TRUE(camera.SaveState(path));
    EXPECT_NE(FileText(path).find("\n2,GA=5\n"), std::string::npos) << "one area,NAME=value line per setting";
    VirtualCamera restarted;
    ASSERT_TRUE(restarted.LoadState(path));
    EXPECT_EQ(restarted.CurrentArea(), 2);
    EXPECT_EQ(restarted.Register("GA"), 5) << "the current area is loaded as at power-on";
    EXPECT_EQ(restarted.AreaRegister(0, "GA"), 9);
    EXPECT_EQ(restarted.Text("UD"), "owner");
    EXPECT_EQ(restarted.Lut('B'), camera.Lut('B'));

    std::ofstream(folder.File("broken.state")) << "EA=1\n0,GA=twelve\n";
    EXPECT_FALSE(restarted.LoadState(folder.File("broken.state")));
    EXPECT_EQ(restarted.CurrentArea(), 2) << "a malformed file changes nothing";
    EXPECT_FALSE(restarted.LoadState(folder.File("missing.state")));
    EXPECT_FALSE(camera.SaveState(folder.File("no-such-folder/camera.state")));
    using Folder = std::filesystem::directory_iterator;
    EXPECT_EQ(std::distance(Folder(folder.path), Folder()), 2) << "no temporary file is left behind";
}

TEST(VirtualCamera, RegisterBaseForms)
{
    // Setting and asking SM with and without the check run through the engine's tests.
    VirtualCamera camera;
    EXPECT_EQ(camera.Feed(":R0000@A000#=2\r\n"), ":ok\r") << "register-base replies end with CR only";
    const std::string checked = ":R0000@A000#02=13";
    EXPECT_EQ(camera.Feed(checked + camsim::CrcText(checked) + "\r\n"), ":ok\r");
    EXPECT_EQ(camera.Register("SM"), 13);
    EXPECT_EQ(camera.Feed(checked + "00\r\n"), ":er\r") << "a wrong check is refused";
    const std::string wrongLength = ":R0000@A000#03=14";
    EXPECT_EQ(camera.Feed(wrongLength + camsim::CrcText(wrongLength) + "\r\n"), ":er\r");
    EXPECT_EQ(camera.Register("SM"), 13);

    EXPECT_EQ(camera.Feed(":R0000@0068$?\r\n"), ":r0000@0068$=MX-550CL\r") << "0068 is MD, a text";
    const camsim::RegisterTable& table = camsim::RegisterTable::Instance();
    EXPECT_EQ(table.FindByAddress("0068"), table.Find("MD")) << "MD, not MD00, answers for 0068";
    EXPECT_EQ(table.StorageOf(table.Find("MD00")), table.Find("MD")) << "the two share one storage place";
    EXPECT_EQ(camera.Feed(":R0000@0068#?\r\n"), ":er\r") << "a text register needs the $ marker";
    EXPECT_EQ(camera.Feed(":R0000@1234#?\r\n"), ":er\r") << "no register at that address";
    EXPECT_EQ(camera.Feed(":R0000@A308#?\r\n"), ":r0000@A308#=0\r") << "EA by address";
}

TEST(VirtualCamera, GarbageAndAnOverlongLineComeOnce)
{
    VirtualCamera camera;
    camsim::Faults faults;
    faults.garbageBytes = 5;
    faults.overlongLine = 40;
    camera.SetFaults(faults);
    std::string first = camera.Feed("GA?\r\n");
    ASSERT_EQ(first.size(), 45u) << "garbage, then the overlong line instead of the reply";
    EXPECT_EQ(first.find_first_of("\r\n!"), std::string::npos);
    EXPECT_EQ(camera.Feed("GA?\r\n"), "GA=0\r\n") << "both happen once";
    EXPECT_EQ(camera.GetFaults().garbageBytes, 0);
}
