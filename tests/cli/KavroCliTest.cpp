// kavro-cli as a user runs it, against the virtual camera on a pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "comm/CommandTable.h"
#include "params/CtrlTbl.h"
#include "support/ChildProcess.h"
#include "support/CliCamera.h"
#include "support/PtyPair.h"
#include "support/Faults.h"
#include "support/Ser2net.h"

using namespace std::chrono_literals;

namespace {

bool IsExclusive(int fd)
{
    int exclusive = 0;
    return ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

// Whether anyone may open the device (root may even while it is exclusive).
bool IsShared(const std::string& device)
{
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const bool shared = fd >= 0 && !IsExclusive(fd);
    if (fd >= 0)
        close(fd);
    return shared;
}

// kavro-cli on a line the test plays, with no profile to read.
std::string CliOn(const PtyPair& line, const std::string& arguments)
{
    return "XDG_CONFIG_HOME=/nonexistent " KAVRO_CLI_PATH " --port '" + line.SlavePath() + "' " + arguments;
}

}  // namespace

TEST(KavroCli, QueriesAndSettingsReachTheCamera)
{
    CliCamera f;
    f.camera.SetRegister("GA", 42);
    f.camera.SetRegister("AGCF", 512);
    const std::string model = f.camera.Text("MD") + "\n";
    const struct { const char* arguments; std::string out; const char* why; } cases[] = {
        {"query GA", "42\n", ""},
        {"set ga 605", "", "names are taken in any letter case, values up to the highest the pages allow"},
        {"--timeout 300 raw 'GA?'", "GA=605\n", "the setting reached the camera"},
        {"set ga -92", "", "and down to the lowest"},
        {"--timeout 300 raw 'GA?'", "GA=-92\n", ""},
        {"query AGCF", "32\n", "values print as the pages show them"},
        {"query MD", model, "a text"},
        {"--register-base query MD", model, "a text in register-base form"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = f.Cli(c.arguments);
        EXPECT_EQ(r.exitCode, 0) << c.arguments << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.arguments << ": " << c.why;
    }
    EXPECT_EQ(f.camera.ReceivedLines().back(), ":R0000@0068$?") << "register-base form on the wire";
}

TEST(KavroCli, IdentityPrintsWhatTheAboutWindowShows)
{
    CliCamera f;
    f.camera.SetRegister("VN", 105);
    f.camera.SetText("UD", "LINE7");
    camsim::Faults garbage;
    garbage.garbageBytes = 5;
    const struct { camsim::Faults faults; int exitCode; std::string out, err, why; } cases[] = {
        {{}, 0, "Model Name: MX-550CL\nCamera ID: CK00000001\nFirmware Version: 1.05\nFPGA Version: 1.03\nUser ID: LINE7\n",
         "", ""},
        {SilentTo({"MD", "ID", "FPVN", "UD"}), 0,
         "Model Name: ??????????\nCamera ID: ??????????\nFirmware Version: 1.05\nFPGA Version: ?.??\n"
         "User ID: ????????????????\n", "", "placeholders for the queries without answer"},
        {SilentTo({"VN"}), 1, "", "kavro-cli: the camera did not answer: no answer to VN? within 300 ms\n",
         "nothing without the firmware version"},
        {garbage, 1, "", "VN=105', which is no firmware version\n", "garbage is named as what came"},
    };
    for (const auto& c : cases) {
        f.camera.SetFaults(c.faults);
        const ProcessResult r = f.Cli("--timeout 300 identity");
        EXPECT_EQ(r.exitCode, c.exitCode) << c.why << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.why;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.why << ": " << r.err;
    }
    f.camera.SetFaults({});
    f.camera.SetText("UD", "\x1b]0;PWNED\x07");
    ChildProcess onTerminal("XDG_CONFIG_HOME='" + f.home.path + "' " KAVRO_CLI_PATH " --port '" + f.pty.DevicePath() + "' identity",
                            true);
    EXPECT_EQ(onTerminal.Wait(), 0) << onTerminal.Err();
    EXPECT_NE(onTerminal.Out().find("User ID: \\x1b]0;PWNED\\x07\r\n"), std::string::npos)
        << "camera text reaches a terminal escaped: " << onTerminal.Out();
}

// Exit code 2 for a command line that makes no sense: see the next test.
TEST(KavroCli, FailuresOnTheLineEndInExitCode1)
{
    CliCamera f;
    const std::string nobody = "rfc2217:127.0.0.1:" + std::to_string(Ser2net::FreeTcpPort());
    const auto start = std::chrono::steady_clock::now();
    ProcessResult r = f.Cli("query GA", nobody);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s) << "within the 3 s limit of connecting";
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(nobody + ": connection refused: nothing listens at 127.0.0.1 port"), std::string::npos) << r.err;

    f.camera.SetFaults(RefusingAll());
    r = f.Cli("set GA 1");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("01 Unknown Command!! for GA=1"), std::string::npos) << r.err;

    camsim::Faults notices;
    notices.stream = camsim::Stream::Notices;
    f.camera.SetFaults(notices);
    // A limit that a busy machine's pause in the camera's talk does not reach.
    r = f.Cli("--timeout 300 raw 'GA?'", "", "timeout 30 ");
    EXPECT_EQ(r.exitCode, 1) << "a camera that never falls silent ends raw after ten limits (124: it hung)";
    EXPECT_NE(r.err.find("still talking 3000 ms after"), std::string::npos) << r.err;
}

TEST(KavroCli, TheCommandLineIsJudgedBeforeThePortIsTouched)
{
    CliCamera f;
    const struct { const char* arguments; const char* message; } cases[] = {
        {"frob GA", "unknown command \"frob\"; expected query NAME"},
        {"query", "query expects NAME, given 0 word(s)"},
        {"query NOPE", "unknown camera command \"NOPE\""},
        {"set GA 606", "606 is outside the range of GA: -92..605"},
        {"set AGCF 99999999999", "99999999999 is outside the range of AGCF: 32..890"},
        {"set GA 5x", "\"5x\" is not a whole number; GA takes -92..605"},
        {"set SH 100", "100 is outside the range of SH: 0..11"},
        {"set CM 12", "12 is outside the range of CM: 0..3, plus 16, 32, 64 for its R, G, B marks"},
        {"set UD \"$(printf 'ab\\033c')\"", "the text for UD holds a control character; it cannot be sent"},
        {"set EB 99999999999", "99999999999 is outside the range of EB: -2147483648..2147483647"},
        {"--timeout 1e3 query GA", "--timeout \"1e3\" is not a whole number; valid: 1..600000 ms"},
        {"--baud 9600xyz query GA", "--baud \"9600xyz\" is not a whole number; valid: 9600, 19200, 38400, 57600 or 115200"},
        {"--baud 1234 query GA", "--baud 1234 is not a rate of /nonexistent/tty; valid: 9600,"},
        {"--line-kind abc query GA", "--line-kind \"abc\" is not a whole number; valid: 0, 1, 2 or 3"},
        {"--cl-index -1 query GA", "--cl-index -1 is out of range; valid: 0..255"},
        {"--reply-wait 21 query GA", "--reply-wait 21 is out of range; valid: 0..20 ms"},
        {"--reply-wait -1 query GA", "--reply-wait -1 is out of range; valid: 0..20 ms"},
        {"--port '' query GA", "--port needs a port name: COM1..COM16, a device path or tcp:HOST:PORT"},
        {"--port COM0 query GA", "no port COM0; valid: COM1..COM16, a device path or tcp:HOST:PORT"},
        {"--port tcp:camera-pc-7 query GA", "--port tcp:camera-pc-7: no port after the host"},
        {"--port 'rfc2217:[::1]:0' query GA", "the port 0 is out of range 1..65535"},
        {"--port COM17 query GA", "no port COM17; valid: COM1..COM16"},
        {"--port COM-1 query GA", "no port COM-1; valid: COM1..COM16"},
        {"--register-base query GA", "GA has no register address"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = f.Cli(c.arguments, "/nonexistent/tty");
        EXPECT_EQ(r.exitCode, 2) << c.arguments << ": a port that cannot open must not be reached first\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.arguments << ": " << r.err;
    }
}

TEST(KavroCli, ALineTheTestPlaysShowsRepliesAndFaultsAsTheyAre)
{
    PtyPair line;
    ASSERT_TRUE(line.IsValid());
    {
        ChildProcess cli(CliOn(line, "--verbose --timeout 500 raw 'R A004?'"), true);
        ASSERT_EQ(line.ReceiveUntil("\r\n", 10s), "R A004?\r\n");
        ASSERT_TRUE(line.Send("A\x1b]2;owned\x07\r\n=5\r!!Notice\n"));
        EXPECT_EQ(cli.Wait(), 0) << cli.Err();
        const std::string shown = cli.Out();
        EXPECT_NE(shown.find("A\\x1b]2;owned\\x07\r\n"), std::string::npos)
            << "control characters reach a terminal escaped: " << shown;
        EXPECT_EQ(shown.find('\x1b'), std::string::npos) << "never as they are";
        EXPECT_NE(shown.find("\n=5\r\n"), std::string::npos) << "a reply that ends in CR alone is shown: " << shown;
        EXPECT_NE(shown.find("!!Notice"), std::string::npos) << "and so is a notice";
        EXPECT_NE(cli.Err().find("Rx: A\\x1b]2;owned\\x07\n"), std::string::npos)
            << "the traffic on standard error is escaped, even in a log file: " << cli.Err();
    }
    {
        ChildProcess cli(CliOn(line, "query GA"));
        ASSERT_EQ(line.ReceiveUntil("\r\n", 10s), "GA?\r\n");
        ASSERT_TRUE(line.Send("SH=5\r\n"));
        EXPECT_EQ(cli.Wait(), 1);
        EXPECT_NE(cli.Err().find("kavro-cli: GA? answered 'SH=5'"), std::string::npos)
            << "a wrong answer is named, not blamed on time: " << cli.Err();
    }
    ChildProcess cli(CliOn(line, "--timeout 20000 raw 'GA?'"));
    ASSERT_EQ(line.ReceiveUntil("\r\n", 10s), "GA?\r\n");
    line.CloseMaster();
    EXPECT_EQ(cli.Wait(), 1) << "a line that hung up fails raw at once: " << cli.Err();
}

// Every stop ends kavro-cli alike: by the signal, saying so, the device
// shareable again. A reader that went away or a full disk fails the run.
TEST(KavroCli, AStopSignalOrALostReaderLeavesTheDeviceShareable)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM}) {
        PtyPair line;
        ASSERT_TRUE(line.IsValid());
        ChildProcess cli(CliOn(line, "--timeout 20000 raw 'GA?'"));
        ASSERT_EQ(line.ReceiveUntil("\r\n", 10s), "GA?\r\n");
        ASSERT_TRUE(IsExclusive(line.SlaveFd())) << "kavro-cli holds the device for itself";
        cli.Signal(signal);
        EXPECT_EQ(cli.Wait(), 128 + signal) << strsignal(signal) << " ends it: " << cli.Err();
        EXPECT_EQ(cli.Err(), "kavro-cli: stopped by SIG" + std::string(sigabbrev_np(signal)) + "\n");
        EXPECT_FALSE(IsExclusive(line.SlaveFd())) << strsignal(signal) << " must leave the device shareable";
    }
    {
        // A UART that takes 100 ms a byte: the stop comes while the line leaves.
        PtyPair line;
        ChildProcess cli("LD_PRELOAD=" KAVRO_UART_DRAIN " KAVRO_UART_DRAIN_BAUD=100 "
                         "ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" " + CliOn(line, "set KSR 66"));
        ASSERT_EQ(line.ReceiveUntil("KS", 10s), "KS");
        cli.Signal(SIGTERM);
        EXPECT_EQ(line.ReceiveUntil("\r\n", 5s), "R=66\r\n")
            << "the line is finished, not left to run into the next session's first command";
        EXPECT_EQ(cli.Wait(), 128 + SIGTERM) << cli.Err();
        EXPECT_FALSE(IsExclusive(line.SlaveFd()));
    }
    CliCamera f;
    const struct { const char* output; const char* reason; } outputs[] = {
        {"mkfifo gone && exec 4<>gone 5>gone 4<&- && exec >&5", "Broken pipe"},
        {"exec >/dev/full", "No space left on device"},
    };
    for (const auto& o : outputs) {
        const ProcessResult r = RunProcess("cd '" + f.home.path + "' && " + o.output + " && XDG_CONFIG_HOME=. " +
                                           KAVRO_CLI_PATH " --port '" + f.pty.DevicePath() + "' query GA");
        EXPECT_EQ(r.exitCode, 1) << o.output << ": a result that never arrived is no success";
        EXPECT_EQ(r.err, std::string("kavro-cli: standard output: ") + o.reason + "\n");
        EXPECT_TRUE(IsShared(f.pty.DevicePath())) << o.output;
    }
}

TEST(KavroCli, CameraLinkLinesReachTheCameraThroughTheLibraries)
{
    CliCamera f;
    f.camera.SetRegister("GA", 33);
    const auto cli = [&](const std::string& grabbers, const std::string& arguments,
                         const std::string& libraries = KAVRO_CLSIM_DIR) {
        return RunProcess("XDG_CONFIG_HOME='" + f.home.path + "' LD_LIBRARY_PATH='" + libraries + "' KAVRO_CLSIM='device=" +
                          f.pty.DevicePath() + ";makers=Kavro Grabbers;ports=2" + grabbers + "' " KAVRO_CLI_PATH " " +
                          arguments);
    };
    ProcessResult r = cli("", "--line-kind 3 --cl-index 1 query GA");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "33\n");

    r = cli("", "--line-kind 2 --cl-name 'Kavro Grabbers' --baud 19200 set GA 7");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(f.camera.Register("GA"), 7);

    r = cli("", "--line-kind 1 --cl-folder '" KAVRO_CLSIM_DIR "/grabbers' --cl-name clserkavro.so --baud 19200 query GA");
    EXPECT_EQ(r.exitCode, 1) << "a grabber's own library runs at 9600 only";
    EXPECT_NE(r.err.find("Selected baud rate is not supported in clserkavro.so"), std::string::npos) << r.err;

    r = cli(";rates=0x1", "--line-kind 3 --cl-index 1 --baud 19200 query GA");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Selected baud rate is not supported in Kavro Grabbers - Port 1."), std::string::npos)
        << "the message names the port of all grabbers as the communication window lists it: " << r.err;

    // A line that cannot open names the cause, and what the library offers.
    const struct { const char* arguments; const char* libraries; std::string reason; } failures[] = {
        {"--port /nonexistent/tty", "", "kavro serial: /nonexistent/tty: open: No such file or directory"},
        {"--line-kind 3", "",
         "kavro-cli: libclallserial.so: cannot open shared object file: No such file or directory; looked for in "
         "the system's library folders (ld.so.conf)"},
        {"--line-kind 2 --cl-name Nobody", KAVRO_CLSIM_DIR,
         "kavro-cli: libclserial.so lists no maker \"Nobody\"; it lists 1 maker: Kavro Grabbers"},
        {"--line-kind 1 --cl-folder '" KAVRO_CLSIM_DIR "/grabbers' --cl-name nothere.so", KAVRO_CLSIM_DIR,
         "kavro-cli: " KAVRO_CLSIM_DIR "/grabbers/nothere.so: No such file or directory; the folder holds 1 grabber "
         "library (clser*.so): clserkavro.so"},
        {"--line-kind 3 --cl-index 2", KAVRO_CLSIM_DIR,
         "kavro-cli: clSerialInit(2) through libclallserial.so failed: Serial index out of range (status -1); it "
         "lists 2 ports: 0 Kavro Grabbers - Port 0, 1 Kavro Grabbers - Port 1"},
    };
    for (const auto& failure : failures) {
        r = cli("", std::string(failure.arguments) + " query GA", failure.libraries);
        EXPECT_EQ(r.exitCode, 1) << failure.arguments;
        EXPECT_EQ(r.err, failure.reason + "\nFailed to initialize!\n") << failure.arguments;
    }
}

// A file is the operator's backup and the production line's clone: whatever
// the camera held, the values the pages offer or not, it comes back whole.
TEST(KavroCli, ASettingsFileClonesOneCameraIntoAnother)
{
    CliCamera source;
    CliCamera target;
    for (const char* name : {"STL", "ETL", "AASX", "AASY", "WASX", "WASY"})
        source.camera.SetRegister(name, 0);   // as a camera of its own may start
    source.camera.SetRegister("GA", 700);
    source.camera.SetRegister("SH", 100);
    source.camera.SetRegister("AGCF", 100 * 16);
    source.camera.SetRegister("CM", 0x52);
    source.camera.SetRegister("BMBR5", 77);
    source.camera.SetRegister("TCNR0", -5);
    const std::string file = source.home.File("clone.cam");
    // Both cameras on another machine, only ever answering at 115200 baud:
    // the source behind ser2net's raw port, which keeps that speed whatever
    // kavro-cli asks; the target behind its RFC 2217 port, which starts at
    // 9600 until kavro-cli sets the far line.
    source.pty.SetLineBaud(115200);
    target.pty.SetLineBaud(115200);
    Ser2net ser2net({{source.pty.DevicePath(), Ser2net::Mode::Raw, 115200},
                     {target.pty.DevicePath(), Ser2net::Mode::Rfc2217, 9600}});
    ASSERT_TRUE(ser2net.WaitListening()) << ser2net.Log();

    ProcessResult r = source.Cli("--baud 9600 --reply-wait 0 read-settings '" + file + "' --factory", ser2net.Name(0));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << "no progress line when standard error is not a terminal: " << r.err;
    EXPECT_NE(FileText(file).find("\r\nAGCF=100\r\n"), std::string::npos) << "values as the pages show them";

    r = target.Cli("--baud 115200 --reply-wait 0 apply-settings '" + file + "' --factory", ser2net.Name(1));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(target.pty.IgnoredBytes(), 0u) << "the far line was at 115200 before the first byte";
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int row = 0; row < CtrlTbl::Count(); ++row) {
        if (rows[row].ctrlId == 0 || rows[row].access == AccessNever)
            continue;
        const std::string name = CommandTable::Row(rows[row].commandIndex).mnemonic;
        EXPECT_EQ(target.camera.Register(name), source.camera.Register(name)) << name;
    }

    ser2net.Stop();
    target.pty.SetLineBaud(0);
    target.camera.ClearReceivedLines();
    r = target.Cli("--reply-wait 0 apply-settings '" + file + "'");
    EXPECT_EQ(r.exitCode, 1) << "the factory lines were not applied";
    EXPECT_NE(r.err.find("kavro-cli: skipped line 53: BMTHB=0 (a factory setting, applied only at the factory "
                         "level)\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("kavro-cli: and 260 more skipped line(s)\n"), std::string::npos) << r.err;
    const std::vector<std::string> userLines = target.camera.ReceivedLines();
    EXPECT_FALSE(userLines.empty());
    EXPECT_TRUE(std::none_of(userLines.begin(), userLines.end(), [rows](const std::string& line) {
        const int row = CtrlTbl::FindByCommand(CommandTable::Find(line.substr(0, line.find('='))));
        return row < 0 || rows[row].access == AccessFactory;
    })) << "the user level sends only the user lines";

    target.camera.SetFaults(RefusingAll());
    r = target.Cli("--reply-wait 0 apply-settings '" + file + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(target.camera.ReceivedLines().size(), 2 * userLines.size()) << "refused lines do not stop the rest";
    EXPECT_EQ(target.Cli("apply-settings '" + source.home.File("missing.cam") + "'").exitCode, 1);
}

TEST(KavroCli, DiffQueriesTheFileLinesAndNamesEachDifferenceAsThePagesShowIt)
{
    CliCamera f;
    f.camera.SetRegister("GA", 100);
    f.camera.SetRegister("AGCF", 60 * 16);
    f.camera.SetRegister("GA00", 7);
    f.camera.SetRegister("KSR", 667);
    const std::string file = f.home.File("golden.cam");
    std::ofstream(file) << "GA=700\r\nAGCF=50\r\nGA00=5\r\nNOPE=1\r\nKSR=700\r\n";   // GA beyond the pages' range

    f.camera.ClearReceivedLines();
    ProcessResult r = f.Cli("diff '" + file + "'");
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(r.out, "GA=700 (camera: 100)\nAGCF=50 (camera: 60)\nKSR=700 (camera: 667)\n");
    EXPECT_EQ(f.camera.ReceivedLines(), (std::vector<std::string>{"GA?", "AGCF?", "KSR?"}))
        << "only the lines the user level would send, in file order, and nothing else";
    EXPECT_EQ(r.err, "kavro-cli: skipped line 3: GA00=5 (a factory setting, applied only at the factory level)\n"
                     "kavro-cli: skipped line 4: NOPE=1 (no such command)\n");

    r = f.Cli("diff '" + file + "' --factory");
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(r.out, "GA=700 (camera: 100)\nAGCF=50 (camera: 60)\nGA00=5 (camera: 7)\nKSR=700 (camera: 667)\n");

    f.camera.SetRegister("GA", 700);
    f.camera.SetRegister("AGCF", 50 * 16);
    f.camera.SetRegister("GA00", 5);
    f.camera.SetRegister("KSR", 700);
    r = f.Cli("diff '" + file + "' --factory");
    EXPECT_EQ(r.exitCode, 1) << "no difference, but a line could not be compared: " << r.err;
    EXPECT_EQ(r.out, "");

    EXPECT_EQ(f.Cli("diff").exitCode, 2);
    EXPECT_EQ(f.Cli("diff '" + file + "' --all").exitCode, 2);
}

// Settings files from pipes, devices and damaged disks: every line or a clear no.
TEST(KavroCli, SettingsFilesComeFromAnyInputAndNothingUsableFails)
{
    CliCamera f;
    f.camera.SetRegister("GA", -92);
    const std::string binary = f.home.File("binary.cam");
    std::ofstream(binary, std::ios::binary) << std::string("\0\0\0\x7f" "ELF\x01\x02", 9) << std::string(300, '\0');
    const struct {
        std::string input;   // a shell command whose output is piped in, or ""
        std::string arguments;
        int exitCode;
        std::string err;
    } cases[] = {
        {"printf 'GA=77\\r\\n'", "diff -", 3, ""},
        {"printf 'GA=77\\r\\n'", "apply-settings /dev/stdin", 0, ""},
        {"", "apply-settings /dev/null", 1, "kavro-cli: /dev/null: the file is empty; nothing done\n"},
        {"", "diff /dev/zero", 1,
         "kavro-cli: /dev/zero: larger than 64 MB, which no settings or gamma file is; not read\n"},
        {"", "apply-settings '" + binary + "'", 1,
         "kavro-cli: skipped line 1: \\x00\\x00\\x00\\x7fELF\\x01\\x02\\x00"},
        {"", "apply-settings '" + binary + "'", 1, ": no line of the file is a setting this level applies; nothing done\n"},
        {"printf '\\n\\n'", "apply-settings -", 1, "kavro-cli: standard input: the file holds only blank lines"},
    };
    for (const auto& c : cases) {
        const std::string pipe = c.input.empty() ? "" : c.input + " | ";
        const ProcessResult r = RunProcess(pipe + "XDG_CONFIG_HOME='" + f.home.path + "' " KAVRO_CLI_PATH " --port '" +
                                           f.pty.DevicePath() + "' " + c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.arguments << ": " << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.arguments << ": " << r.err;
    }
    EXPECT_EQ(f.camera.Register("GA"), 77) << "a pipe is applied like a file";

    // An input is read whole before the camera is claimed: a FIFO without a
    // writer holds kavro-cli, not the camera.
    const std::string fifo = f.home.File("input.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ChildProcess applying("XDG_CONFIG_HOME='" + f.home.path + "' " KAVRO_CLI_PATH " --port '" + f.pty.DevicePath() +
                          "' apply-settings '" + fifo + "'");
    int writer = -1;
    ASSERT_TRUE(WaitFor([&] { return (writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }, 10000));
    EXPECT_TRUE(IsShared(f.pty.DevicePath())) << "the device is free while the input is read";
    EXPECT_EQ(write(writer, "GA=5\n", 5), 5);
    close(writer);
    EXPECT_EQ(applying.Wait(), 0) << applying.Err();
    EXPECT_EQ(f.camera.Register("GA"), 5);

    // An output is judged before the camera is asked anything; - is standard output.
    f.camera.ClearReceivedLines();
    const struct { std::string arguments; int exitCode; std::string err; } outputs[] = {
        {"read-luts '" + fifo + "'", 2,
         "kavro-cli: " + fifo + ": a FIFO, not a regular file; give a file, or - for standard output\n"},
        {"read-luts /nonexistent/out.csv", 1,
         "kavro-cli: /nonexistent/out.csv: its folder /nonexistent: No such file or directory; nothing read\n"},
    };
    for (const auto& o : outputs) {
        const ProcessResult r = f.Cli(o.arguments, "", "timeout 10 ");
        EXPECT_EQ(r.exitCode, o.exitCode) << o.arguments << ": " << r.err;
        EXPECT_EQ(r.err, o.err);
    }
    EXPECT_TRUE(f.camera.ReceivedLines().empty()) << "nothing was read for an output that cannot take it";
    const ProcessResult r = f.Cli("read-settings -");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 6), "SM=0\r\n");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 64) << "the user lines";
    EXPECT_FALSE(std::filesystem::exists("-"));
}

TEST(KavroCli, SettingAreasAreStoredAndLoaded)
{
    CliCamera f;
    ProcessResult r = f.Cli("store-area all");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(f.camera.ReceivedLines().size(), 4u) << "the order is the setting areas' own loop";
    f.camera.SetRegister("GA", 9);
    EXPECT_EQ(f.Cli("store-area 2").exitCode, 0);
    f.camera.SetRegister("GA", 1);
    EXPECT_EQ(f.Cli("load-area 2").exitCode, 0);
    EXPECT_EQ(f.camera.Register("GA"), 9);

    for (const char* bad : {"store-area 4", "store-area -1", "load-area all", "load-area", "store-area 1 2"})
        EXPECT_EQ(f.Cli(bad).exitCode, 2) << bad;

    f.camera.SetFaults(RefusingAll());
    EXPECT_EQ(f.Cli("store-area all").exitCode, 1);
}

// Every command left unanswered is named with its limit, which --timeout sets
// for every command of the run. A camera that falls silent ends a bulk
// command after three commands in a row went unanswered, not after one time
// limit per line; a command that cannot succeed without every answer ends at
// the first.
TEST(KavroCli, ACameraThatStopsAnsweringEndsTheRunInThreeTimeLimits)
{
    CliCamera f;
    camsim::Faults silentFromThird;
    silentFromThird.silentFromCommand = 3;
    camsim::Faults silent;
    silent.silentFromCommand = 1;
    const std::string file = f.home.File("six.cam");
    std::ofstream(file) << "GA=1\r\nGAR=2\r\nGAB=3\r\nKSR=66\r\nKSM=5\r\nKSB=6\r\n";
    const std::string table = f.home.File("in.csv");
    std::ofstream(table) << "1,2,3\r\n4,5,6\r\n7,8,9\r\n";
    const struct {
        camsim::Faults faults;
        std::string arguments;
        size_t linesSent;
        const char* err;
    } cases[] = {
        {silentFromThird, "apply-settings '" + file + "'", 5,
         "kavro-cli: no answer to GAB=3 within 100 ms\n"
         "kavro-cli: no answer to KSR=66 within 100 ms\n"
         "kavro-cli: no answer to KSM=5 within 100 ms\n"
         "kavro-cli: the camera stopped answering at line 3 (GAB=3); 1 line not sent\n"},
        {silentFromThird, "--keep-going apply-settings '" + file + "'", 6,
         "kavro-cli: no answer to KSB=6 within 100 ms\n"
         "kavro-cli: the camera refused or did not answer 4 line(s)\n"},
        {silent, "query GA", 1, "kavro-cli: no answer to GA? within 100 ms\n"},
        {silent, "set GA 5", 1, "kavro-cli: no answer to GA=5 within 100 ms\n"},
        {silent, "diff '" + file + "'", 1, "kavro-cli: no answer to GA? within 100 ms; no verdict\n"},
        {silent, "read-settings '" + f.home.File("out.cam") + "'", 1,
         "kavro-cli: no answer to SM? within 100 ms; nothing written\n"},
        {silent, "store-area all", 3,
         "kavro-cli: no answer to SA=1 within 100 ms\n"
         "kavro-cli: the camera stopped answering at SA=3; 1 area not stored\n"},
        {silent, "store-area 2", 1, "kavro-cli: no answer to SA=2 within 100 ms\n"},
        {silent, "load-area 2", 1, "kavro-cli: no answer to LD=2 within 100 ms\n"},
        {silentFromThird, "read-luts '" + f.home.File("out.csv") + "'", 3,
         "kavro-cli: no answer to LUTR? within 100 ms\n"
         "kavro-cli: reading the red table stopped at entry 2; nothing written\n"},
        {silentFromThird, "send-luts '" + table + "'", 3,
         "kavro-cli: no answer to LUTR=7 within 100 ms\n"
         "kavro-cli: the camera did not acknowledge red entry 2; sending stopped\n"},
    };
    for (const auto& c : cases) {
        f.camera.SetFaults(c.faults);
        f.camera.ClearReceivedLines();
        const ProcessResult r = f.Cli("--timeout 100 " + c.arguments, "", "timeout 10 ");
        EXPECT_EQ(r.exitCode, 1) << c.arguments << " (124: it ran past the limits)";
        EXPECT_EQ(f.camera.ReceivedLines().size(), c.linesSent) << c.arguments;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.arguments << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.arguments << ": no verdict without every answer";
    }
    EXPECT_FALSE(std::filesystem::exists(f.home.File("out.csv")));
    EXPECT_FALSE(std::filesystem::exists(f.home.File("out.cam")));
}
