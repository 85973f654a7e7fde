// The virtual camera behind a real pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <unistd.h>

#include "TempFolder.h"
#include "TestLine.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"

namespace {

template <typename Condition>
bool WaitFor(Condition condition, int timeoutMs = 3000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string LinkTarget(const std::string& link)
{
    char target[256];
    ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
    return length < 0 ? std::string() : std::string(target, static_cast<size_t>(length));
}

}  // namespace

TEST(PtyCamera, AnswersOverThePseudoTerminal)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Exists());
    const std::string link = folder.Path("camera");
    ASSERT_EQ(::symlink("/nonexistent", link.c_str()), 0);

    camsim::VirtualCamera camera;
    camsim::PtyCamera pty(camera);
    ASSERT_TRUE(pty.Start(link)) << pty.ErrorText();
    ASSERT_FALSE(pty.DevicePath().empty());
    EXPECT_EQ(LinkTarget(link), pty.DevicePath()) << "an old link is replaced";
    {
        TestLine port(link);
        ASSERT_TRUE(port.IsOpen());
        ASSERT_TRUE(port.Write("GA?\r\n"));
        EXPECT_EQ(port.ReadUntil("\r\n"), "GA=0\r\n");
    }
    TestLine reopened(pty.DevicePath());
    ASSERT_TRUE(reopened.IsOpen());
    ASSERT_TRUE(reopened.Write("GA=3\r\n"));
    EXPECT_EQ(reopened.ReadUntil("\r\n"), "COMPLETE\r\n") << "the camera survives the port being reopened";
    EXPECT_EQ(camera.Register("GA"), 3);

    pty.Stop();
    EXPECT_EQ(LinkTarget(link), "") << "Stop removes the link";
}

TEST(PtyCamera, FaultsOnTheLine)
{
    camsim::VirtualCamera camera;
    camsim::PtyCamera pty(camera);
    ASSERT_TRUE(pty.Start()) << pty.ErrorText();
    TestLine port(pty.DevicePath());
    ASSERT_TRUE(port.IsOpen());

    camsim::Faults faults;
    faults.swallowReplies = 1;
    faults.noticeBeforeReply = "!!Overheat";
    camera.SetFaults(faults);
    ASSERT_TRUE(port.Write("GA?\r\nTR?\r\n"));
    EXPECT_EQ(port.ReadUntil("TR=0\r\n"), "!!Overheat\r\nTR=0\r\n") << "the first reply is swallowed, notice and all";

    faults = {};
    faults.hangUpAfterNextCommand = true;
    camera.SetFaults(faults);
    EXPECT_FALSE(pty.HungUp());
    ASSERT_TRUE(port.Write("GA?\r\n"));
    EXPECT_TRUE(WaitFor([&] { return pty.HungUp(); })) << "the camera closes the line";
    EXPECT_TRUE(port.WaitForHangUp()) << "the tool's end reads end of file or an error";
}

TEST(PtyCamera, SilentAtAnotherLineSpeed)
{
    camsim::VirtualCamera camera;
    camsim::PtyCamera pty(camera);
    pty.SetLineBaud(19200);
    ASSERT_TRUE(pty.Start()) << pty.ErrorText();
    TestLine port(pty.DevicePath());
    ASSERT_TRUE(port.IsOpen());

    ASSERT_TRUE(port.SetSpeed(B9600));
    ASSERT_TRUE(port.Write("GA=5\r\n"));
    ASSERT_TRUE(WaitFor([&] { return pty.IgnoredBytes() == 6; })) << "heard as noise";
    ASSERT_TRUE(port.SetSpeed(B19200));
    ASSERT_TRUE(port.Write("GA?\r\n"));
    EXPECT_EQ(port.ReadUntil("\r\n"), "GA=0\r\n") << "only the command at the right speed was heard";
    EXPECT_EQ(camera.ReceivedLines(), std::vector<std::string>{"GA?"});
}
