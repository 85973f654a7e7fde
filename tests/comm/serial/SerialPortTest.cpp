// The serial port on a pseudo-terminal whose far end the test plays, and the
// lock that orders the writers of one port across processes.
#include "support/PtyPair.h"
#include "support/TempFolder.h"

#include "comm/serial/PortLock.h"
#include "comm/serial/SerialPort.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

std::vector<uint8_t> Pattern(size_t count, int start = 0)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(start + i);
    return bytes;
}

std::vector<uint8_t> ReadAll(SerialPort& port, int maximum = 0)
{
    std::vector<uint8_t> bytes(RxRing::kCapacity);
    bytes.resize(port.Read(bytes.data(), maximum));
    return bytes;
}

// True while the thread sleeps in the kernel, as one blocked in a wait does.
bool Sleeping(pid_t thread)
{
    std::ifstream stat("/proc/self/task/" + std::to_string(thread) + "/stat");
    std::string text;
    std::getline(stat, text);
    const size_t nameEnd = text.rfind(") ");
    return nameEnd != std::string::npos && text.size() > nameEnd + 2 && text[nameEnd + 2] == 'S';
}

int OpenDefault(SerialPort& port, const std::string& name, int baud = 9600, int xonXoff = 0)
{
    return port.Open(name, baud, 8, 0, xonXoff, 0);
}

const char kLockName[] = "Rs Mutex";

// Points the runtime folder at a fresh folder, so the test meets no other lock.
class PortLockTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", m_folder.path.c_str(), 1); }
    void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }

    TempFolder m_folder;
};

// A port open on a pseudo-terminal whose far end the test plays, its lock of its own.
class OpenSerialPort : public PortLockTest {
protected:
    void SetUp() override
    {
        PortLockTest::SetUp();
        ASSERT_TRUE(pty.IsValid());
        ASSERT_EQ(OpenDefault(port, pty.SlavePath()), 1);
    }

    PtyPair pty;
    SerialPort port;
};

bool SendByte(int fd, char byte) { return write(fd, &byte, 1) == 1; }

bool ReceiveByte(int fd, char* byte, int timeoutMs)
{
    pollfd in{fd, POLLIN, 0};
    return poll(&in, 1, timeoutMs) == 1 && read(fd, byte, 1) == 1;
}

}  // namespace

TEST(SerialPortTest, RefusesWhatIsNotAUsableSerialDeviceAndConfiguresARawExclusiveLine)
{
    SerialPort port;
    const uint8_t byte = 'x';
    EXPECT_EQ(OpenDefault(port, "/nonexistent/ttyS99"), 0) << "a missing device must not open";
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Write(&byte, 1), 0) << "writing to a closed port must fail";

    TempFolder folder;
    std::ofstream(folder.File("plain")) << "x";
    EXPECT_EQ(OpenDefault(port, folder.File("plain")), 0) << "a plain file is not a serial device";
    EXPECT_EQ(port.Write(&byte, 1), 0);

    PtyPair pty;
    ASSERT_TRUE(pty.IsValid());
    EXPECT_EQ(OpenDefault(port, pty.SlavePath(), 12345), 0) << "a speed termios lacks must fail";
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(port.Close(), 1) << "closing a closed port is harmless";

    // A usable device is configured as a raw line, and kept exclusive.
    ASSERT_EQ(OpenDefault(port, pty.SlavePath(), 57600, 1), 1);
    termios tio{};
    ASSERT_EQ(tcgetattr(pty.SlaveFd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B57600));
    EXPECT_EQ(tio.c_cflag & (CSIZE | CSTOPB | PARENB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u) << "the line must be raw";
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(tio.c_cc[VSTART], 0x13) << "the camera's XON is 0x13";
    EXPECT_EQ(tio.c_cc[VSTOP], 0x11) << "the camera's XOFF is 0x11";

    SerialPort second;
    EXPECT_EQ(OpenDefault(second, pty.SlavePath()), 0) << "a device in use must not open twice";
    port.Close();
    ASSERT_EQ(OpenDefault(second, pty.SlavePath()), 1) << "a closed device must be free again";
    ASSERT_EQ(tcgetattr(pty.SlaveFd(), &tio), 0);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u) << "no XON/XOFF unless asked";
}

TEST_F(OpenSerialPort, CarriesEveryByteInOrderAndNeverOverwritesUnreadBytes)
{
    const std::vector<uint8_t> all = Pattern(256);
    ASSERT_EQ(port.Write(all.data(), static_cast<int>(all.size())), 1);
    EXPECT_EQ(pty.Receive(all.size(), 5s), all) << "written bytes must arrive unchanged and in order";
    // All at once, more than the terminal takes in one go: the rest follows as the far end reads.
    const std::vector<uint8_t> line = Pattern(64 * 1024, 3);
    int wholeWritten = -1;
    std::thread writer([&] { wholeWritten = port.Write(line.data(), static_cast<int>(line.size()), SerialPort::Pace::AllAtOnce); });
    const std::vector<uint8_t> arrived = pty.Receive(line.size(), 10s);
    writer.join();
    EXPECT_EQ(wholeWritten, 1);
    EXPECT_TRUE(arrived == line) << "a line written at once must arrive whole: " << arrived.size() << " bytes";
    ASSERT_TRUE(pty.Send(all));
    ASSERT_TRUE(WaitFor([&] { return port.Available() == 256; })) << port.Available();
    EXPECT_EQ(ReadAll(port, 1), Pattern(1)) << "maximum 1 takes one byte";
    EXPECT_EQ(ReadAll(port, 0), Pattern(255, 1)) << "maximum 0 takes every unread byte";

    // More than the ring holds, wrapping round its end from where the reads left it.
    const std::vector<uint8_t> sent = Pattern(RxRing::kCapacity + 500, 7);
    ASSERT_TRUE(pty.Send(sent));
    int queued = 0;
    ASSERT_TRUE(WaitFor([&] {
        ioctl(pty.SlaveFd(), FIONREAD, &queued);
        return port.Available() == RxRing::kCapacity && queued == 500;
    })) << "a full ring leaves the rest in the driver: ring " << port.Available() << ", driver " << queued;
    EXPECT_LT(CpuTimeOf([] { std::this_thread::sleep_for(200ms); }), 100ms) << "a full ring must not make the watcher spin";

    std::vector<uint8_t> received = ReadAll(port);
    ASSERT_EQ(received.size(), static_cast<size_t>(RxRing::kCapacity));
    ASSERT_TRUE(WaitFor([&] { return port.Available() == 500; }))
        << "the held-back bytes must follow once there is room: " << port.Available();
    const std::vector<uint8_t> rest = ReadAll(port);
    received.insert(received.end(), rest.begin(), rest.end());
    EXPECT_EQ(received, sent) << "nothing lost, order kept";
}

TEST_F(OpenSerialPort, NeitherASilentNorAHungUpLineBurnsTheProcessor)
{
    const auto start = Clock::now();
    EXPECT_LT(CpuTimeOf([&] { EXPECT_FALSE(port.WaitForData(300)) << "a silent line has no data"; }), 100ms)
        << "waiting must not burn the processor";
    EXPECT_GE(Clock::now() - start, 290ms) << "the wait must last its time-out";

    const pid_t waiter = gettid();
    std::thread farEnd([&] {
        WaitFor([&] { return Sleeping(waiter); });   // the wait has begun
        pty.Send(std::vector<uint8_t>{'C'});
    });
    const auto waitStart = Clock::now();
    EXPECT_TRUE(port.WaitForData(10000));
    EXPECT_LT(Clock::now() - waitStart, 5s) << "an arriving byte must end the wait early";
    farEnd.join();
    EXPECT_EQ(ReadAll(port), std::vector<uint8_t>{'C'});

    pty.CloseMaster();
    const uint8_t byte = 'x';
    EXPECT_EQ(port.Write(&byte, 1), 0) << "a byte that cannot leave must fail the write";
    EXPECT_LT(CpuTimeOf([] { std::this_thread::sleep_for(300ms); }), 100ms) << "the watcher must not spin on a dead line";
    const auto closeStart = Clock::now();
    EXPECT_EQ(port.Close(), 1);
    EXPECT_LT(Clock::now() - closeStart, 1s) << "Close must not hang on a dead line";
}

TEST(SerialPortTest, ResolvesComNamesWithAndWithoutAResolver)
{
    SerialPort port;
    // Only COM1..COM16 are port names; anything else is a device path or a network port.
    for (const auto& [name, device] : {std::pair{"COM1", "/dev/ttyS0"}, {"COM16", "/dev/ttyS15"}, {"COM17", "COM17"},
                                       {"COM0", "COM0"}, {"COM3x", "COM3x"}, {"/dev/ttyUSB0", "/dev/ttyUSB0"},
                                       {"rfc2217:camera-pc-7:3003", "rfc2217:camera-pc-7:3003"}})
        EXPECT_EQ(port.ResolveDevice(name), device) << name;

    PtyPair pty;
    ASSERT_TRUE(pty.IsValid());
    port.SetDeviceResolver([&](int number) { return number == 3 ? pty.SlavePath() : std::string(); });
    EXPECT_EQ(port.ResolveDevice("COM3"), pty.SlavePath());
    EXPECT_EQ(port.ResolveDevice("COM4"), "/dev/ttyS3") << "no profile value: the default device";

    ASSERT_EQ(OpenDefault(port, "COM3"), 1) << "COM3 must open the resolved device";
    const uint8_t byte = 'M';
    ASSERT_EQ(port.Write(&byte, 1), 1);
    EXPECT_EQ(pty.Receive(1, 5s), std::vector<uint8_t>{'M'});
}

TEST_F(OpenSerialPort, ALineThatTakesNothingFailsTheWriteAndNeverKeepsTheLock)
{
    // The far end reads nothing: fill the line until it takes no more.
    const int flags = fcntl(pty.SlaveFd(), F_GETFL);
    ASSERT_EQ(fcntl(pty.SlaveFd(), F_SETFL, flags | O_NONBLOCK), 0);
    const std::vector<uint8_t> block(4096, 'f');
    pollfd room{pty.SlaveFd(), POLLOUT, 0};
    do {  // the terminal moves bytes on behind the writer's back, so fill until it stays full
        while (write(pty.SlaveFd(), block.data(), block.size()) > 0) {
        }
        ASSERT_EQ(errno, EAGAIN);
    } while (poll(&room, 1, 300) == 1);

    std::atomic<bool> done{false};
    int result = -1;
    std::thread writer([&] {
        const uint8_t byte = 'x';
        result = port.Write(&byte, 1);
        done = true;
    });
    // Another copy of the tool asks for this port's lock all along.
    PortLock other(PortLock::NameFor(pty.SlavePath()));
    int had = 0;
    int refused = 0;
    const bool ended = WaitFor([&] {
        if (other.try_lock_for(500ms)) {
            ++had;
            other.unlock();
        } else {
            ++refused;
        }
        return done.load();
    }, 15000);
    writer.join();
    EXPECT_TRUE(ended) << "a write that makes no progress must give up";
    EXPECT_EQ(result, 0) << "and fail";
    EXPECT_TRUE(port.HasLineFault()) << "as a fault of the line";
    EXPECT_GT(had, 0);
    EXPECT_EQ(refused, 0) << "the lock must never be held across a stuck write";
}

TEST_F(PortLockTest, OrdersProcessesWaitsWithALimitAndDiesWithItsHolder)
{
    PtyPair held;
    ASSERT_TRUE(held.IsValid());
    const std::string lockName = PortLock::NameFor(held.SlavePath());
    EXPECT_EQ(PortLock::LockFilePath(kLockName), m_folder.File("Rs Mutex.lock")) << "in the runtime folder";

    int toParent[2], toChild[2];
    ASSERT_TRUE(pipe(toParent) == 0 && pipe(toChild) == 0);
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
    ASSERT_EQ(OpenDefault(port, link), 1);
    const uint8_t command = 'G';
    EXPECT_EQ(port.Write(&command, 1), 0) << "a port lock held elsewhere must fail the write, not hang it";
    EXPECT_TRUE(port.HasLineFault());
    EXPECT_EQ(cursor, (std::vector<bool>{true, false})) << "the wait cursor shows while the write waits";
    EXPECT_TRUE(held.Receive(1, 200ms).empty()) << "nothing was written without the lock";

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
