// The virtual camera reached over a real line: behind a pseudo-terminal in
// this process, and as the kavro-camsim process a user runs.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/serial/SerialPort.h"
#include "support/ChildProcess.h"
#include "support/RunProcess.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

namespace {

// Sends the command and collects what comes back until it ends with `ending`.
std::string Ask(SerialPort& port, const std::string& command, const std::string& ending = "\r\n")
{
    port.Write(reinterpret_cast<const uint8_t*>(command.data()), static_cast<int>(command.size()));
    std::string reply;
    WaitFor([&] {
        uint8_t chunk[RxRing::kCapacity];
        reply.append(reinterpret_cast<const char*>(chunk), static_cast<size_t>(port.Read(chunk, 0)));
        return reply.size() >= ending.size() && reply.compare(reply.size() - ending.size(), ending.size(), ending) == 0;
    });
    return reply;
}

bool OpenAt(SerialPort& port, const std::string& device, int baud = 115200)
{
    return port.Open(device, baud, 8, 0, 0, 0) == 1;
}

// Where the link leads, "" when it is no link.
std::string LinkTarget(const std::string& link)
{
    std::error_code noLink;
    return std::filesystem::read_symlink(link, noLink).string();
}

}  // namespace

TEST(PtyCamera, AnswersOverThePseudoTerminalAtItsLineSpeed)
{
    TempFolder folder;
    const std::string link = folder.File("camera");
    ASSERT_EQ(::symlink("/nonexistent", link.c_str()), 0);
    camsim::VirtualCamera camera;
    camsim::PtyCamera pty(camera);
    ASSERT_TRUE(pty.Start(link)) << pty.ErrorText();
    EXPECT_EQ(LinkTarget(link), pty.DevicePath()) << "an old link is replaced";
    {
        SerialPort port;
        ASSERT_TRUE(OpenAt(port, link));
        EXPECT_EQ(Ask(port, "GA?\r\n"), "GA=0\r\n");
    }
    SerialPort port;
    ASSERT_TRUE(OpenAt(port, pty.DevicePath()));
    EXPECT_EQ(Ask(port, "GA=3\r\n"), "COMPLETE\r\n") << "the camera survives the port being reopened";
    EXPECT_EQ(camera.Register("GA"), 3);
    port.Close();

    camera.ClearReceivedLines();
    pty.SetLineBaud(19200);
    ASSERT_TRUE(OpenAt(port, pty.DevicePath(), 9600));
    const uint8_t noise[] = {'G', 'A', '=', '5', '\r', '\n'};
    ASSERT_EQ(port.Write(noise, sizeof noise), 1);
    ASSERT_TRUE(WaitFor([&] { return pty.IgnoredBytes() == 6; })) << "at another speed a command is noise";
    port.Close();
    ASSERT_TRUE(OpenAt(port, pty.DevicePath(), 19200));
    EXPECT_EQ(Ask(port, "GA?\r\n"), "GA=3\r\n") << "only the command at the right speed was heard";
    EXPECT_EQ(camera.ReceivedLines(), std::vector<std::string>{"GA?"});

    pty.Stop();
    EXPECT_EQ(LinkTarget(link), "") << "Stop removes the link";
}

// At 9600 baud a byte takes 1.04 ms: "GA?" CR LF takes 5.2 ms to arrive, and
// its answer "GA=0" CR LF leaves 5 ms of thought later and takes 6.25 ms.
TEST(PtyCamera, KeepsTheWireTimeOfItsLine)
{
    using namespace std::chrono;
    camsim::VirtualCamera camera;
    camsim::PtyCamera pty(camera);
    pty.SetWireTime(9600, 5);
    ASSERT_TRUE(pty.Start());
    SerialPort port;
    ASSERT_TRUE(OpenAt(port, pty.DevicePath(), 9600));
    const auto start = steady_clock::now();
    EXPECT_EQ(Ask(port, "GA?\r\n"), "GA=0\r\n");
    const auto took = steady_clock::now() - start;
    EXPECT_GE(took, microseconds(11 * 1042 + 5000)) << "the round trip costs its bytes' time and the thought";
    EXPECT_LT(took, milliseconds(200));
    ASSERT_EQ(camera.ReceivedLog().size(), 1u);
    EXPECT_GE(camera.ReceivedLog()[0].at - start, microseconds(5 * 1042)) << "the command is taken once it has crossed";
    EXPECT_EQ(camera.ReceivedLog()[0].answerBytes, 6u);

    const auto twoAt = steady_clock::now();
    EXPECT_EQ(Ask(port, "GA?\r\nGA?\r\n", "GA=0\r\nGA=0\r\n"), "GA=0\r\nGA=0\r\n");
    const auto log = camera.ReceivedLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_GE(log[2].at - twoAt, microseconds(10 * 1042)) << "a command queues behind the one before it";
}

TEST(KavroCamsim, PrintsTheDeviceAndSavesItsStateOnSigterm)
{
    TempFolder folder;
    const std::string state = folder.File("camera.state");
    const std::string link = folder.File("ttyCAM");
    {
        ChildProcess camsim(KAVRO_CAMSIM_BINARY " --state '" + state + "' --link '" + link + "'");
        const std::string device = camsim.FirstLine();
        ASSERT_EQ(device.rfind("/dev/", 0), 0u) << "the first line is the device, got: " << device;
        SerialPort port;
        ASSERT_TRUE(OpenAt(port, link)) << "the link leads to the device";
        EXPECT_EQ(Ask(port, "VN?\r\n"), "VN=126\r\n");
        EXPECT_EQ(Ask(port, "GA=9\r\nSA=1\r\n", "COMPLETE\r\nCOMPLETE\r\n"), "COMPLETE\r\nCOMPLETE\r\n");
        camsim.Signal(SIGTERM);
        EXPECT_EQ(camsim.Wait(5000), 0) << "SIGTERM ends it in order";
    }
    EXPECT_NE(::access(link.c_str(), F_OK), 0) << "the link is gone";

    ChildProcess again(KAVRO_CAMSIM_BINARY " --state '" + state + "'");
    SerialPort port;
    ASSERT_TRUE(OpenAt(port, again.FirstLine()));
    EXPECT_EQ(Ask(port, "EA?\r\nGA?\r\n", "GA=9\r\n"), "EA=1\r\nGA=9\r\n")
        << "a second run starts from the saved state";
    again.Signal(SIGTERM);
    EXPECT_EQ(again.Wait(5000), 0);

    for (const char* bad : {"--wire-baud 0", "--wire-baud 9600x", "--think -1", "--think 60001"}) {
        const ProcessResult refused = RunProcess(KAVRO_CAMSIM_BINARY " " + std::string(bad));
        EXPECT_EQ(refused.exitCode, 2) << bad;
        EXPECT_NE(refused.err.find("invalid value for"), std::string::npos) << bad << ": " << refused.err;
    }
}
