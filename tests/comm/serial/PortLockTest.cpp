#include "support/TempFolder.h"

#include "support/PtyPair.h"

#include "comm/serial/PortLock.h"
#include "comm/serial/SerialPort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const char kLockName[] = "Rs Mutex";

// Points the runtime folder at a fresh folder, so the test meets no other lock.
class PortLockTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", m_folder.path.c_str(), 1); }
    void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }

    TempFolder m_folder;
};

bool SendByte(int fd, char byte)
{
    return write(fd, &byte, 1) == 1;
}

bool ReceiveByte(int fd, char* byte, int timeoutMs)
{
    pollfd in{fd, POLLIN, 0};
    return poll(&in, 1, timeoutMs) == 1 && read(fd, byte, 1) == 1;
}

}  // namespace

TEST_F(PortLockTest, OrdersProcessesWaitsWithALimitAndDiesWithItsHolder)
{
    PtyPair held;
    ASSERT_TRUE(held.IsValid());
    const std::string lockName = PortLock::NameFor(held.SlavePath());
    std::string fileName = held.SlavePath().substr(1) + ".lock";
    std::replace(fileName.begin(), fileName.end(), '/', '_');
    EXPECT_EQ(PortLock::LockFilePath(lockName), m_folder.File("Rs Mutex " + fileName)) << "named after the device";

    int toParent[2];
    int toChild[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(toChild), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        PortLock lock(lockName);
        const bool locked = lock.try_lock_for(5000ms);
        const bool told = SendByte(toParent[1], 'H');
        char go = 0;
        const bool asked = ReceiveByte(toChild[0], &go, 30000);  // the parent waits in vain meanwhile
        const bool released = SendByte(toParent[1], 'R');  // sent before letting go
        lock.unlock();
        _exit(locked && told && asked && released ? 0 : 1);
    }
    char byte = 0;
    ASSERT_TRUE(ReceiveByte(toParent[0], &byte, 5000) && byte == 'H') << "the child must hold the lock";
    PortLock lock(lockName);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(lock.try_lock_for(200ms)) << "a lock another process keeps must not be had";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the wait must end at its limit";

    // A write to the device, named through a link, meets the same held lock:
    // it fails like a busy port, with the wait cursor meanwhile.
    const std::string link = m_folder.File("ttyCAM");
    std::filesystem::create_symlink(held.SlavePath(), link);
    SerialPort port;
    std::vector<bool> cursor;
    port.SetLockWaitNotice([&](bool waiting) { cursor.push_back(waiting); });
    ASSERT_EQ(port.Open(link, 9600, 8, 0, 0, 0), 1);
    const uint8_t command = 'G';
    EXPECT_EQ(port.Write(&command, 1), 0) << "a port lock held elsewhere must fail the write, not hang it";
    EXPECT_TRUE(port.HasLineFault());
    EXPECT_EQ(cursor, (std::vector<bool>{true, false})) << "the wait cursor shows while the write waits";
    EXPECT_TRUE(held.Receive(1, 200ms).empty()) << "nothing was written without the lock";

    // A port on another device never waits for it.
    PtyPair other;
    ASSERT_TRUE(other.IsValid());
    SerialPort otherPort;
    otherPort.SetLockWaitNotice([&](bool waiting) { cursor.push_back(waiting); });
    ASSERT_EQ(otherPort.Open(other.SlavePath(), 9600, 8, 0, 0, 0), 1);
    const auto writeStart = std::chrono::steady_clock::now();
    EXPECT_EQ(otherPort.Write(&command, 1), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - writeStart, 500ms);
    EXPECT_EQ(cursor.size(), 2u) << "no wait at all";
    EXPECT_EQ(other.Receive(1, 5s), std::vector<uint8_t>{'G'});

    ASSERT_TRUE(SendByte(toChild[1], 'G'));
    EXPECT_TRUE(lock.try_lock_for(10000ms)) << "the lock must be had once the other process lets go";
    EXPECT_TRUE(ReceiveByte(toParent[0], &byte, 0) && byte == 'R') << "and not before";
    lock.unlock();
    int status = 0;
    waitpid(holder, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the holder must have run to its end";

    const pid_t crasher = fork();
    ASSERT_GE(crasher, 0);
    if (crasher == 0) {
        PortLock crashed(lockName);
        crashed.try_lock_for(5000ms);
        raise(SIGKILL);  // dies holding the lock
    }
    waitpid(crasher, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the crasher must have died holding the lock";
    EXPECT_TRUE(lock.try_lock_for(5000ms)) << "a crash must not leave the lock held";
    lock.unlock();
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]})
        close(fd);
}

TEST_F(PortLockTest, WithoutARuntimeFolderTheFileLivesInAFolderOfTheUsersOwn)
{
    unsetenv("XDG_RUNTIME_DIR");
    TempFolder tmp;
    setenv("TMPDIR", tmp.path.c_str(), 1);
    const std::string folder = tmp.File("kavro-" + std::to_string(geteuid()));
    EXPECT_EQ(PortLock::LockFilePath(kLockName), folder + "/Rs Mutex.lock")
        << "never a fixed name in a folder everyone can write";
    struct stat info {};
    ASSERT_EQ(lstat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "the folder is the user's alone";
    EXPECT_EQ(info.st_uid, geteuid());

    // A link planted in its place is never followed.
    TempFolder other;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory_symlink(other.path, folder);
    EXPECT_EQ(PortLock::LockFilePath(kLockName), "") << "a link is not the user's folder";
    PortLock lock(kLockName);
    EXPECT_TRUE(lock.try_lock()) << "the threads of this process are still ordered";
    lock.unlock();
    EXPECT_TRUE(std::filesystem::is_empty(other.path)) << "nothing was created through the link";
    unsetenv("TMPDIR");
}

TEST(PortLockNames, NeverGiveTwoPortsOneNameAndFitAFileName)
{
    struct Case {
        const char* key;
        const char* name;
    };
    for (const Case& c : {Case{"/dev/ttyUSB0", "Rs Mutex dev_ttyUSB0"}, {"/dev/a/b", "Rs Mutex dev_a_b"},
                          {"/dev/a_b", "Rs Mutex dev_a%5Fb"}, {"/dev/a%5Fb", "Rs Mutex dev_a%255Fb"},
                          {"/dev/\x1b[1m", "Rs Mutex dev_%1B[1m"}, {"192.0.2.7:3003", "Rs Mutex 192.0.2.7:3003"},
                          {"[::1]:3003", "Rs Mutex [::1]:3003"}})
        EXPECT_EQ(PortLock::NameFor(c.key), c.name) << c.key;
    const std::string longKey = "/dev/" + std::string(400, 'x');
    const std::string name = PortLock::NameFor(longKey + "1");
    EXPECT_LE(name.size() + 5, 255u) << "with .lock it is still a file name";
    EXPECT_NE(name, PortLock::NameFor(longKey + "2")) << "keys that differ past the cut get names of their own";
}
