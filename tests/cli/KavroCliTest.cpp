// kavro-cli as a user runs it, against the virtual camera on a pseudo-terminal.
#include <gtest/gtest.h>

#include <fstream>

#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "support/RunProcess.h"
#include "support/TempFolder.h"

namespace {

struct CliFixture {
    CliFixture() : pty(camera) { pty.Start(); }

    ProcessResult Cli(const std::string& arguments, const std::string& port = "")
    {
        const std::string portOption = "--port '" + (port.empty() ? pty.DevicePath() : port) + "' ";
        return RunProcess("XDG_CONFIG_HOME='" + home.path + "' " KAVRO_CLI_PATH " " + portOption + arguments);
    }

    TempFolder home;
    camsim::VirtualCamera camera;
    camsim::PtyCamera pty;
};

}  // namespace

TEST(KavroCli, QueriesAndSettingsReachTheCamera)
{
    CliFixture f;
    f.camera.SetRegister("GA", 42);
    ProcessResult r = f.Cli("query GA");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "42\n");

    r = f.Cli("set ga -92");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(f.camera.Register("GA"), -92) << "names are taken in any letter case";

    f.camera.SetRegister("AGCF", 512);
    r = f.Cli("query AGCF");
    EXPECT_EQ(r.out, "32\n") << "values print as the pages show them";

    r = f.Cli("query MD");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, f.camera.Text("MD") + "\n");

    r = f.Cli("--timeout 300 raw 'GA?'");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "GA=-92\n");
}

TEST(KavroCli, FailuresHaveTheirOwnExitCodes)
{
    CliFixture f;
    ProcessResult r = f.Cli("query NOPE");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("unknown camera command \"NOPE\""), std::string::npos) << r.err;

    r = f.Cli("set GA lots");
    EXPECT_EQ(r.exitCode, 2);
    r = f.Cli("--baud 1234 query GA");
    EXPECT_EQ(r.exitCode, 2);

    r = f.Cli("query GA", "/nonexistent/tty");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Failed to initialize!\n"), std::string::npos) << r.err;

    camsim::Faults faults;
    faults.refuseAll = true;
    f.camera.SetFaults(faults);
    r = f.Cli("set GA 1");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("01 Unknown Command!! for GA=1"), std::string::npos) << r.err;

    faults = {};
    faults.swallowReplies = 1;
    f.camera.SetFaults(faults);
    r = f.Cli("--timeout 200 query GA");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no valid answer"), std::string::npos) << r.err;
}

TEST(KavroCli, ComNamesResolveThroughTheProfile)
{
    CliFixture f;
    const std::string folder = f.home.path + "/QEL Corporation";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/MX-330_550CL Camera Kavro.ini") << "[General]\nCOM3=" << f.pty.DevicePath() << "\n";
    f.camera.SetRegister("TR", 2);
    const ProcessResult r = f.Cli("query TR", "COM3");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "2\n");
}

TEST(KavroCli, CameraLinkLinesReachTheCameraThroughTheLibraries)
{
    CliFixture f;
    f.camera.SetRegister("GA", 33);
    const std::string environment = "XDG_CONFIG_HOME='" + f.home.path + "' LD_LIBRARY_PATH='" KAVRO_CLSIM_DIR "' KAVRO_CLSIM='device=" + f.pty.DevicePath() +
                                    ";makers=Kavro Grabbers;ports=2' ";
    ProcessResult r = RunProcess(environment + KAVRO_CLI_PATH " --line-kind 3 --cl-index 1 query GA");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "33\n");

    r = RunProcess(environment + KAVRO_CLI_PATH " --line-kind 2 --cl-name 'Kavro Grabbers' --baud 19200 set GA 7");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(f.camera.Register("GA"), 7);

    r = RunProcess(environment + KAVRO_CLI_PATH " --line-kind 1 --cl-folder '" KAVRO_CLSIM_DIR "/grabbers' "
                   "--cl-name clserkavro.so --baud 19200 query GA");
    EXPECT_EQ(r.exitCode, 1) << "a grabber's own library runs at 9600 only";
    EXPECT_NE(r.err.find("Selected baud rate is not supported in clserkavro.so"), std::string::npos) << r.err;
}
