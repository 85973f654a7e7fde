// The Camera Link serial libraries: the stand-ins in tools/clsim, loaded for
// real. The swap test runs with LD_LIBRARY_PATH naming only KAVRO_SWAP_DIR, an
// empty folder of the build tree, so it decides which library the bare names find.
#include "support/PtyPair.h"
#include "support/TempFolder.h"

#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/PortLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::string>;

// Folders of the stand-in libraries, given by the build.
const std::string kClSimDir = KAVRO_CLSIM_DIR;
const std::string kGrabberDir = kClSimDir + "/grabbers";
const std::string kBrokenGrabberDir = kClSimDir + "/broken-grabbers";
const std::string kBrokenDir = kClSimDir + "/broken";
const std::string kSwapDir = KAVRO_SWAP_DIR;

// The stand-in libraries read their setup at each call, so a test sets it just before.
void SetClSim(const std::string& setup) { setenv("KAVRO_CLSIM", setup.c_str(), 1); }

// True while a library of that file name is mapped into this process.
bool IsLibraryMapped(const std::string& fileName)
{
    std::ifstream maps("/proc/self/maps");
    const std::string text{std::istreambuf_iterator<char>(maps), std::istreambuf_iterator<char>()};
    return text.find("/" + fileName + "\n") != std::string::npos;   // each line ends with the mapped file
}

void Uninstall(const std::string& name) { fs::remove(kSwapDir + "/" + name); }

// A new file rather than an overwrite, so a mapping of the old one is never changed under it.
void Install(const std::string& fromFolder, const std::string& name)
{
    Uninstall(name);
    fs::copy_file(fromFolder + "/" + name, kSwapDir + "/" + name);
}

// A camera on a pseudo-terminal, reached through the stand-in libraries.
class ClSerialLibChannel : public ::testing::Test {
protected:
    void SetUp() override { lib.SetMessageSink([this](const std::string& text) { messages.push_back(text); }); }
    void TearDown() override { lib.ClClose(line.kind); }

    // Points the stand-in libraries at the pseudo-terminal, plus `extra` keys.
    void UseCamera(const std::string& extra = "") { SetClSim("device=" + camera.SlavePath() + ";" + extra); }

    // Reads like the command engine does: one byte per call, 10 ms each,
    // until `count` bytes or the deadline.
    std::string ReadFromLibrary(size_t count)
    {
        std::string bytes;
        WaitFor([&] {
            uint8_t byte = 0;
            if (lib.ClRead(line.kind, &byte, 1, 10) == 1)
                bytes.push_back(static_cast<char>(byte));
            return bytes.size() >= count;
        });
        return bytes;
    }

    void ExpectBytesBothWays()
    {
        const std::string command = "GA?\r\n";
        EXPECT_TRUE(lib.ClWrite(line.kind, reinterpret_cast<const uint8_t*>(command.data()), 5, 3000)) << "written";
        EXPECT_EQ(camera.ReceiveUntil(command, 2s), command) << "the camera gets the command";
        ASSERT_TRUE(camera.Send("GA=100\r\n"));
        EXPECT_EQ(ReadFromLibrary(8), "GA=100\r\n") << "the reply comes back";
    }

    PtyPair camera;
    ClSerialLib::Selection line;
    Texts messages;
    ClSerialLib lib{kGrabberDir};
};

}  // namespace

TEST_F(ClSerialLibChannel, GrabberLibraryRunsAt9600Only)
{
    line.kind = ClSerialLib::Grabber;
    lib.ListGrabberLibraries();
    ASSERT_EQ(lib.GrabberLibraries(), Texts{"clserkavro.so"});
    line.name = ClSerialLib::GetListEntry(lib.GrabberLibraries(), 0);
    UseCamera();

    ASSERT_TRUE(lib.ClOpen(line)) << "the grabber library opens its channel 0";
    EXPECT_TRUE(IsLibraryMapped("clserkavro.so")) << "the open channel keeps its library";
    EXPECT_TRUE(lib.ClSetBaud(line, 9600));
    ExpectBytesBothWays();

    EXPECT_FALSE(lib.ClSetBaud(line, 19200)) << "the first-generation interface has no other rate";
    EXPECT_EQ(messages, Texts{"Selected baud rate is not supported in clserkavro.so"});
    EXPECT_EQ(camera.Speed(), B9600) << "the library was not asked to change the speed";

    EXPECT_TRUE(lib.ClClose(line.kind));
    EXPECT_FALSE(IsLibraryMapped("clserkavro.so")) << "closing unloads the library";
    uint8_t byte = 0;
    EXPECT_FALSE(lib.ClWrite(line.kind, &byte, 1, 100)) << "no writing after closing";
    EXPECT_EQ(lib.ClRead(line.kind, &byte, 1, 10), 0) << "no reading after closing";

    line.name = "";
    EXPECT_FALSE(lib.ClOpen(line)) << "no library chosen (empty folder listing)";
    line.name = "../grabbers/clserkavro.so";
    EXPECT_FALSE(lib.ClOpen(line)) << "only a bare file name of the folder is loaded";
    line.name = "clserkavro.so";
    SetClSim("device=/dev/no-such-camera");
    EXPECT_FALSE(lib.ClOpen(line)) << "the library cannot open its device";
    EXPECT_EQ(lib.OpenProblem(), "clSerialInit(0) of " + kGrabberDir + "/clserkavro.so failed: status -3")
        << "a grabber's own library has no text for its codes";
    lib.ClClose(line.kind);

    ClSerialLib broken(kBrokenGrabberDir);
    UseCamera();
    EXPECT_FALSE(broken.ClOpen(line)) << "a grabber library without clSerialWrite is refused";
    EXPECT_EQ(broken.OpenProblem(), kBrokenGrabberDir + "/clserkavro.so lacks clSerialWrite");
    EXPECT_FALSE(IsLibraryMapped("clserkavro.so")) << "a refused library is not kept";

    // A FIFO by a library's name would hold dlopen until someone writes to it.
    TempFolder fifoFolder;
    const std::string fifo = fifoFolder.File("clserfifo.so");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ClSerialLib fifoLib(fifoFolder.path);
    line.name = "clserfifo.so";
    std::atomic<bool> opened{false};
    std::atomic<bool> finished{false};
    std::thread unblocker([&] {  // frees a reader stuck on the FIFO, and tells of it
        WaitFor([&] {
            const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) {
                opened = true;
                close(writer);
            }
            return opened || finished;
        }, 10000);
    });
    EXPECT_FALSE(fifoLib.ClOpen(line)) << "a FIFO is no library";
    finished = true;
    unblocker.join();
    EXPECT_FALSE(opened) << "a name that is not a regular file is refused before it is opened";
}

// The maker and all-ports libraries open the chosen entry, set only the rates
// they support, and hand over what arrives within a read's time-out.
TEST_F(ClSerialLibChannel, MakerAndAllPortsLibrariesOpenTheChosenEntry)
{
    EXPECT_FALSE(lib.ClSetBaud(line, 9600)) << "no rate without an open channel";
    struct Row {
        ClSerialLib::Kind kind;
        const char* setup;
        uint32_t channel;   // also the entry chosen from the listing
        int rate;
        speed_t speed;
        const char* file;
        const char* noRateMessage;
    };
    const Row rows[] = {
        {ClSerialLib::Maker, "makers=Kavro Grabbers,Other Maker;ports=2;rates=0x1f", 1, 19200, B19200,
         "libclserial.so", "Selected baud rate is not supported in Kavro Grabbers."},
        {ClSerialLib::AllPorts, "makers=Kavro Grabbers;ports=3", 2, 57600, B57600, "libclallserial.so",
         "Selected baud rate is not supported in Kavro Grabbers - Port 0."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        messages.clear();
        line.kind = row.kind;
        UseCamera(row.setup);
        row.kind == ClSerialLib::Maker ? lib.ListManufacturers() : lib.ListClPorts();
        const Texts entries = row.kind == ClSerialLib::Maker ? lib.Manufacturers() : lib.ClPorts();
        line.channel = row.channel;
        line.name = ClSerialLib::GetListEntry(entries, static_cast<int>(row.channel));
        ASSERT_TRUE(lib.ClOpen(line)) << line.name;
        EXPECT_TRUE(lib.ClSetBaud(line, row.rate));
        EXPECT_EQ(camera.Speed(), row.speed) << "a supported rate is set on the line";
        ExpectBytesBothWays();
        lib.ClClose(line.kind);
        EXPECT_FALSE(IsLibraryMapped(row.file));

        line.channel = row.channel + 1;
        EXPECT_FALSE(lib.ClOpen(line)) << "an index past the ports";
        lib.ClClose(line.kind);
        EXPECT_TRUE(messages.empty()) << "failed openings are reported by the caller, not here";

        line.channel = 0;
        line.name = ClSerialLib::GetListEntry(entries, 0);
        UseCamera("norates=1");
        ASSERT_TRUE(lib.ClOpen(line));
        EXPECT_TRUE(lib.ClSetBaud(line, 9600)) << "9600 needs no rate list";
        EXPECT_FALSE(lib.ClSetBaud(line, 19200)) << "without a rate list nothing else is supported";
        EXPECT_EQ(messages, Texts{row.noRateMessage});
        lib.ClClose(line.kind);

        messages.clear();
        UseCamera("rates=0x3;badset=1");
        ASSERT_TRUE(lib.ClOpen(line));
        EXPECT_FALSE(lib.ClSetBaud(line, 19200)) << "a rate the library failed to set is not reported as set";
        EXPECT_EQ(camera.Speed(), B9600);
        EXPECT_FALSE(lib.ClSetBaud(line, 38400)) << "a rate outside the library's mask";
        EXPECT_FALSE(lib.ClSetBaud(line, 14400)) << "a rate without a Camera Link bit";
        EXPECT_EQ(messages.size(), 3u) << "every refusal is shown";

        uint8_t buffer[4] = {};
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(lib.ClRead(line.kind, buffer, 1, 300), 0) << "nothing arrives";
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, 290ms) << "the read waits out its time-out";
        EXPECT_LT(waited, 2s) << "and no longer";
        ASSERT_TRUE(camera.Send("OK"));
        int got = 0;
        WaitFor([&] { return (got = lib.ClRead(line.kind, buffer, 4, 50)) != 0; });
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), static_cast<size_t>(got)), "OK")
            << "a short read hands over what came instead of losing it";
        lib.ClClose(line.kind);
    }
    line.kind = ClSerialLib::Maker;
    line.name = "Vanished Maker";
    EXPECT_FALSE(lib.ClOpen(line)) << "a maker no longer installed";
}

// Another copy of the tool writing to the same port keeps this one waiting,
// never one on another port; a copy that keeps the port fails the write.
TEST_F(ClSerialLibChannel, APortLockOrdersWritersOfThatPortOnly)
{
    TempFolder runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path.c_str(), 1);
    UseCamera("makers=Kavro Grabbers;ports=3");
    line.kind = ClSerialLib::AllPorts;
    line.channel = 1;
    ClSerialLib::Selection otherPort = line;
    otherPort.channel = 2;
    ClSerialLib otherCopy{kGrabberDir};
    ASSERT_TRUE(lib.ClOpen(line));
    ASSERT_TRUE(otherCopy.ClOpen(otherPort));
    EXPECT_NE(lib.LockKey(line), otherCopy.LockKey(otherPort));

    const uint8_t byte = 'x';
    {
        PortLock heldElsewhere(PortLock::NameFor(lib.LockKey(line)));
        ASSERT_TRUE(heldElsewhere.try_lock());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(otherCopy.ClWrite(otherPort.kind, &byte, 1, 1000)) << "another port is not held up";
        EXPECT_LT(std::chrono::steady_clock::now() - start, ClSerialLib::kLockStallLimit);
        EXPECT_FALSE(lib.ClWrite(line.kind, &byte, 1, 1000)) << "the port stayed held for the whole limit";
        EXPECT_GE(std::chrono::steady_clock::now() - start, ClSerialLib::kLockStallLimit);
        EXPECT_TRUE(lib.HasLineFault());
        heldElsewhere.unlock();
    }
    EXPECT_TRUE(lib.ClWrite(line.kind, &byte, 1, 1000)) << "the port is free again";
    otherCopy.ClClose(otherPort.kind);
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(ClSerialLibLists, GrabberFolderListsClserLibrariesInNameOrderAndEntriesAreTakenSafely)
{
    const Texts list = {"first", "second"};
    EXPECT_EQ(ClSerialLib::GetListEntry(list, 1), "second");
    EXPECT_EQ(ClSerialLib::GetListEntry(list, -1), "") << "index -1 gives no entry";
    EXPECT_EQ(ClSerialLib::GetListEntry(list, 2), "") << "an index past the end gives no entry";
    Texts combo = {"earlier"};
    EXPECT_EQ(ClSerialLib::FillPortList(list, combo), 2) << "the count is the list's, not the combo's";
    EXPECT_EQ(combo, (Texts{"earlier", "first", "second"})) << "entries are appended in order";

    TempFolder folder;
    for (const char* name : {"clserzeta.so", "clserkavro.so", "clserabc.so", "libclserial.so",
                             "clser.txt", "clserial.so.1", "Clserupper.so"})
        std::ofstream(folder.File(name)) << "x";
    std::filesystem::create_directory(folder.File("clserfolder.so"));

    ClSerialLib lib(folder.path);
    lib.ListGrabberLibraries();
    EXPECT_EQ(lib.GrabberLibraries(), (Texts{"clserabc.so", "clserkavro.so", "clserzeta.so"}))
        << "only files named clser*.so, bare names, sorted";

    std::filesystem::remove(folder.File("clserabc.so"));
    lib.ListGrabberLibraries();
    EXPECT_EQ(lib.GrabberLibraries(), (Texts{"clserkavro.so", "clserzeta.so"}))
        << "a second listing replaces the first";

    ClSerialLib missingLib(folder.File("no-such-folder"));
    missingLib.ListGrabberLibraries();
    EXPECT_TRUE(missingLib.GrabberLibraries().empty()) << "a folder that does not exist";
}

TEST(ClSerialLibLists, MakersAndPortsComeFromLibrariesUnloadedAfterwards)
{
    ClSerialLib lib(kGrabberDir);

    SetClSim("makers=Kavro Grabbers,Other Maker;ports=2");
    lib.ListManufacturers();
    EXPECT_EQ(lib.Manufacturers(), (Texts{"Kavro Grabbers", "Other Maker"}));
    EXPECT_FALSE(IsLibraryMapped("libclserial.so")) << "the maker listing unloads its library";

    lib.ListClPorts();
    EXPECT_EQ(lib.ClPorts(), (Texts{"Kavro Grabbers - Port 0", "Kavro Grabbers - Port 1",
                                    "Other Maker - Port 0", "Other Maker - Port 1"}))
        << "one \"maker - port\" entry per port of every maker";
    EXPECT_FALSE(IsLibraryMapped("libclallserial.so")) << "the port listing unloads its library";

    // A name too long for the 128-byte buffer is refused by the library: the
    // entry stays, and is empty rather than whatever the buffer held.
    SetClSim("makers=" + std::string(200, 'M') + ",Solo;ports=1");
    lib.ListManufacturers();
    EXPECT_EQ(lib.Manufacturers(), (Texts{"", "Solo"})) << "second listing replaces the first";
    lib.ListClPorts();
    EXPECT_EQ(lib.ClPorts(), (Texts{" - Port 0", "Solo - Port 0"}))
        << "every port keeps its index, so dllNo still opens the right one";

    // A library that lies about its count is a failed call, not a loop over four billion names.
    const std::pair<const char*, size_t> counts[] = {{"257", 0}, {"0xffffffff", 0}, {"256", 256}};   // -1 read unsigned
    for (const auto& [count, listed] : counts) {
        SetClSim(std::string("makers=Solo;count=") + count);
        lib.ListManufacturers();
        lib.ListClPorts();
        EXPECT_EQ(lib.Manufacturers().size(), listed) << "count " << count << ": up to 256 entries are listed";
        EXPECT_EQ(lib.ClPorts().size(), listed) << "count " << count;
    }
}

TEST(ClSerialLibSwap, LibrariesThatCannotBeLoaded)
{
    Uninstall("libclserial.so");
    Uninstall("libclallserial.so");
    SetClSim("makers=Kavro Grabbers,Other Maker");
    ClSerialLib lib(kGrabberDir);
    ClSerialLib::Selection line;

    lib.ListManufacturers();
    EXPECT_TRUE(lib.Manufacturers().empty()) << "no maker library installed";
    line.kind = ClSerialLib::Maker;
    line.name = "Kavro Grabbers";
    EXPECT_FALSE(lib.ClOpen(line)) << "opening without the maker library";
    lib.ClClose(line.kind);

    Install(kClSimDir, "libclserial.so");
    lib.ListManufacturers();
    ASSERT_EQ(lib.Manufacturers(), (Texts{"Kavro Grabbers", "Other Maker"})) << "once installed";
    Uninstall("libclserial.so");
    lib.ListManufacturers();
    EXPECT_EQ(lib.Manufacturers(), (Texts{"Kavro Grabbers", "Other Maker"}))
        << "a maker library that went away keeps the makers found earlier";

    Install(kClSimDir, "libclallserial.so");
    lib.ListClPorts();
    ASSERT_EQ(lib.ClPorts().size(), 2u) << "the complete all-ports library lists its ports";
    Install(kBrokenDir, "libclallserial.so");
    lib.ListClPorts();
    EXPECT_TRUE(lib.ClPorts().empty()) << "a library without clFlushPort empties the port list";
    line.kind = ClSerialLib::AllPorts;
    line.channel = 0;
    EXPECT_FALSE(lib.ClOpen(line)) << "and cannot be opened";
    EXPECT_EQ(lib.OpenProblem(), "libclallserial.so (" + kSwapDir + "/libclallserial.so) lacks clFlushPort")
        << "naming the file the library search found";
    EXPECT_FALSE(IsLibraryMapped("libclallserial.so")) << "nor is it kept loaded";
    lib.ClClose(line.kind);

    Uninstall("libclallserial.so");
}
