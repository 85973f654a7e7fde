// The virtual camera reached over a real line: behind a pseudo-terminal in
// this process, and as the kavro-camsim process a user runs.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/serial/SerialPort.h"
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

std::string LinkTarget(const std::string& link)
{
    char target[256];
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
    return length < 0 ? std::string() : std::string(target, static_cast<size_t>(length));
}

// A started kavro-camsim with its standard output on a pipe.
class CamsimProcess {
public:
    explicit CamsimProcess(std::vector<std::string> options)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        options.insert(options.begin(), KAVRO_CAMSIM_BINARY);
        std::vector<char*> argv;
        for (std::string& option : options)
            argv.push_back(option.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_stdout = out[0];
    }
    ~CamsimProcess()
    {
        if (m_pid > 0 && !m_exited) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_stdout >= 0)
            ::close(m_stdout);
    }

    // The first line printed, without its line end; what came of it after 5 s.
    std::string FirstLine()
    {
        std::string line;
        WaitFor([&] {
            pollfd out = {m_stdout, POLLIN, 0};
            char c = 0;
            if (::poll(&out, 1, 10) > 0 && ::read(m_stdout, &c, 1) == 1)
                line += c;
            return !line.empty() && line.back() == '\n';
        }, 5000);
        return line.substr(0, line.find('\n'));
    }

    // The exit code after SIGTERM, or -1 when the process did not end in time.
    int Terminate()
    {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        m_exited = WaitFor([&] { return ::waitpid(m_pid, &status, WNOHANG) == m_pid; }, 5000);
        return m_exited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    bool Started() const { return m_pid > 0 && m_stdout >= 0; }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    bool m_exited = false;
};

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

TEST(KavroCamsim, PrintsTheDeviceAndSavesItsStateOnSigterm)
{
    TempFolder folder;
    const std::string state = folder.File("camera.state");
    const std::string link = folder.File("ttyCAM");
    {
        CamsimProcess camsim({"--state", state, "--link", link});
        ASSERT_TRUE(camsim.Started());
        const std::string device = camsim.FirstLine();
        ASSERT_EQ(device.rfind("/dev/", 0), 0u) << "the first line is the device, got: " << device;
        SerialPort port;
        ASSERT_TRUE(OpenAt(port, link)) << "the link leads to the device";
        EXPECT_EQ(Ask(port, "VN?\r\n"), "VN=126\r\n");
        EXPECT_EQ(Ask(port, "GA=9\r\nSA=1\r\n", "COMPLETE\r\nCOMPLETE\r\n"), "COMPLETE\r\nCOMPLETE\r\n");
        EXPECT_EQ(camsim.Terminate(), 0);
    }
    EXPECT_NE(FileText(state).find("\n1,GA=9\n"), std::string::npos) << "the areas were saved";
    EXPECT_NE(::access(link.c_str(), F_OK), 0) << "the link is gone";

    CamsimProcess again({"--state", state});
    ASSERT_TRUE(again.Started());
    SerialPort port;
    ASSERT_TRUE(OpenAt(port, again.FirstLine()));
    EXPECT_EQ(Ask(port, "EA?\r\nGA?\r\n", "GA=9\r\n"), "EA=1\r\nGA=9\r\n")
        << "a second run starts from the saved state";
    EXPECT_EQ(again.Terminate(), 0);
}
