// kavro-cli identity against the virtual camera on a pseudo-terminal.
#include <gtest/gtest.h>

#include "support/CliCamera.h"
#include "support/Faults.h"

namespace {

struct IdentityFixture : CliCamera {
    ProcessResult Identity(const std::string& options = "") { return Cli(options + " identity"); }
};

}  // namespace

TEST(KavroCliIdentity, PrintsWhatTheAboutWindowShows)
{
    IdentityFixture f;
    f.camera.SetRegister("VN", 105);
    f.camera.SetText("UD", "LINE7");
    ProcessResult r = f.Identity();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Model Name: MX-550CL\n"
              "Camera ID: CK00000001\n"
              "Firmware Version: 1.05\n"
              "FPGA Version: 1.03\n"
              "User ID: LINE7\n");

    f.camera.SetFaults(SilentTo({"MD", "ID", "FPVN", "UD"}));
    r = f.Identity("--timeout 300");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Model Name: ??????????\n"
              "Camera ID: ??????????\n"
              "Firmware Version: 1.05\n"
              "FPGA Version: ?.??\n"
              "User ID: ????????????????\n")
        << "placeholders for the queries without answer";

    f.camera.SetFaults(SilentTo({"VN"}));
    f.camera.ClearReceivedLines();
    r = f.Identity("--timeout 300");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "") << "nothing without the firmware version";
    EXPECT_EQ(f.camera.ReceivedLines(), std::vector<std::string>{"VN?"});
}
