#include "support/TempFolder.h"

#include "comm/serial/PortLock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const char kLockName[] = "Kavro Test Mutex";

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

TEST_F(PortLockTest, OrdersProcessesAndDiesWithItsHolder)
{
    EXPECT_EQ(PortLock::LockFilePath(kLockName), m_folder.File("Kavro Test Mutex.lock"));

    int toParent[2];
    ASSERT_EQ(pipe(toParent), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        PortLock lock(kLockName);
        lock.lock();
        const bool told = SendByte(toParent[1], 'H');
        std::this_thread::sleep_for(100ms);  // the parent asks for the lock meanwhile
        const bool released = SendByte(toParent[1], 'R');  // sent before letting go
        lock.unlock();
        _exit(told && released ? 0 : 1);
    }
    char byte = 0;
    ASSERT_TRUE(ReceiveByte(toParent[0], &byte, 5000) && byte == 'H') << "the child must hold the lock";
    PortLock lock(kLockName);
    lock.lock();
    EXPECT_TRUE(ReceiveByte(toParent[0], &byte, 0) && byte == 'R')
        << "the lock must wait until the other process lets go";
    lock.unlock();
    int status = 0;
    waitpid(holder, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the holder must have run to its end";

    const pid_t crasher = fork();
    ASSERT_GE(crasher, 0);
    if (crasher == 0) {
        PortLock held(kLockName);
        held.lock();
        raise(SIGKILL);  // dies holding the lock
    }
    waitpid(crasher, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the crasher must have died holding the lock";
    lock.lock();  // would hang (and time out) if the crash had left it held
    lock.unlock();
    close(toParent[0]);
    close(toParent[1]);
}
