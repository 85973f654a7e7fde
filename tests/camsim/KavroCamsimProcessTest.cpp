// kavro-camsim run as a process, as a user runs it.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "TempFolder.h"
#include "TestLine.h"

namespace {

using Clock = std::chrono::steady_clock;

// A started kavro-camsim with its standard output on a pipe.
class CamsimProcess {
public:
    explicit CamsimProcess(const std::vector<std::string>& options)
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv{const_cast<char*>(KAVRO_CAMSIM_BINARY)};
            for (const std::string& option : options)
                argv.push_back(const_cast<char*>(option.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
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

    std::string FirstLine(int timeoutMs = 5000)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        std::string line;
        while (line.empty() || line.back() != '\n') {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd out = {m_stdout, POLLIN, 0};
            char c = 0;
            if (left <= 0 || ::poll(&out, 1, static_cast<int>(left)) <= 0 || ::read(m_stdout, &c, 1) != 1)
                return line;
            line += c;
        }
        line.pop_back();
        return line;
    }

    // The exit status after SIGTERM, or -1 when the process did not end in time.
    int Terminate(int timeoutMs = 5000)
    {
        ::kill(m_pid, SIGTERM);
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        int status = 0;
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (Clock::now() >= deadline)
                return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        m_exited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    bool Started() const { return m_pid > 0 && m_stdout >= 0; }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    bool m_exited = false;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(KavroCamsim, PrintsTheDeviceAndSavesItsStateOnSigterm)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Exists());
    const std::string state = folder.Path("camera.state");
    const std::string link = folder.Path("ttyCAM");
    {
        CamsimProcess camsim({"--state", state, "--link", link});
        ASSERT_TRUE(camsim.Started());
        const std::string device = camsim.FirstLine();
        ASSERT_EQ(device.rfind("/dev/", 0), 0u) << "the first line is the device, got: " << device;
        TestLine port(link);
        ASSERT_TRUE(port.IsOpen()) << "the link leads to the device";
        ASSERT_TRUE(port.Write("VN?\r\n"));
        EXPECT_EQ(port.ReadUntil("\r\n"), "VN=126\r\n");
        ASSERT_TRUE(port.Write("GA=9\r\nSA=1\r\n"));
        EXPECT_EQ(port.ReadUntil("COMPLETE\r\nCOMPLETE\r\n"), "COMPLETE\r\nCOMPLETE\r\n");
        EXPECT_EQ(camsim.Terminate(), 0);
    }
    EXPECT_NE(ReadFile(state).find("\n1,GA=9\n"), std::string::npos) << "the areas were saved";
    EXPECT_NE(::access(link.c_str(), F_OK), 0) << "the link is gone";

    CamsimProcess again({"--state", state});
    ASSERT_TRUE(again.Started());
    TestLine port(again.FirstLine());
    ASSERT_TRUE(port.IsOpen());
    ASSERT_TRUE(port.Write("EA?\r\nGA?\r\n"));
    EXPECT_EQ(port.ReadUntil("GA=9\r\n"), "EA=1\r\nGA=9\r\n") << "a second run starts from the saved state";
    EXPECT_EQ(again.Terminate(), 0);
}
