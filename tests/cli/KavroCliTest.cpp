// kavro-cli as a user runs it, against the virtual camera on a pseudo-terminal.
#include <gtest/gtest.h>

#include <fstream>

#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/CommandTable.h"
#include "params/CtrlTbl.h"
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

TEST(KavroCli, ASettingsFileClonesOneCameraIntoAnother)
{
    CliFixture source;
    CliFixture target;
    source.camera.SetRegister("GA", 123);
    source.camera.SetRegister("AGCF", 100 * 16);
    source.camera.SetRegister("CM", 0x52);
    source.camera.SetRegister("BMBR5", 77);
    source.camera.SetRegister("TCNR0", -5);
    const std::string file = source.home.File("clone.cam");

    ProcessResult r = source.Cli("--baud 115200 read-settings '" + file + "' --factory");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << "no progress line when standard error is not a terminal: " << r.err;
    const std::string text = FileText(file);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 344);
    EXPECT_NE(text.find("\r\nAGCF=100\r\n"), std::string::npos) << "values as the pages show them";

    r = target.Cli("--baud 115200 apply-settings '" + file + "' --factory");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int row = 0; row < CtrlTbl::Count(); ++row) {
        if (rows[row].ctrlId == 0 || rows[row].access == AccessNever)
            continue;
        const std::string name = CommandTable::Row(rows[row].commandIndex).mnemonic;
        EXPECT_EQ(target.camera.Register(name), source.camera.Register(name)) << name;
    }

    target.camera.ClearReceivedLines();
    r = target.Cli("apply-settings '" + file + "'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(target.camera.ReceivedLines().size(), 64u) << "the user level sends only the user lines";

    camsim::Faults refuse;
    refuse.refuseAll = true;
    target.camera.SetFaults(refuse);
    r = target.Cli("apply-settings '" + file + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(target.camera.ReceivedLines().size(), 128u) << "refused lines do not stop the rest";
    EXPECT_EQ(target.Cli("apply-settings '" + source.home.File("missing.cam") + "'").exitCode, 1);
}

TEST(KavroCli, SettingAreasAreStoredAndLoaded)
{
    CliFixture f;
    ProcessResult r = f.Cli("store-area all");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(f.camera.ReceivedLines(), (std::vector<std::string>{"SA=3", "SA=2", "SA=1", "SA00=0"}));
    f.camera.SetRegister("GA", 9);
    EXPECT_EQ(f.Cli("store-area 2").exitCode, 0);
    f.camera.SetRegister("GA", 1);
    EXPECT_EQ(f.Cli("load-area 2").exitCode, 0);
    EXPECT_EQ(f.camera.Register("GA"), 9);
    EXPECT_EQ(f.camera.CurrentArea(), 2);

    for (const char* bad : {"store-area 4", "store-area -1", "load-area all", "load-area", "store-area 1 2"})
        EXPECT_EQ(f.Cli(bad).exitCode, 2) << bad;

    camsim::Faults refuse;
    refuse.refuseAll = true;
    f.camera.SetFaults(refuse);
    f.camera.ClearReceivedLines();
    EXPECT_EQ(f.Cli("store-area all").exitCode, 1);
    EXPECT_EQ(f.camera.ReceivedLines().size(), 4u) << "a refusal does not stop the other areas";
}
