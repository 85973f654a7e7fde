// Inputs of every kind read in one pass, endless ones refused; outputs written
// by the one rule: whole or not at all, through links, keeping mode and owner,
// never over a device, and nothing left behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "files/InputFile.h"
#include "files/SafeFile.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

namespace fs = std::filesystem;

namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// Names in the folder: a temporary file left behind shows here.
std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// A byte-order mark, pipes, "-", /dev/null and /dev/zero: kavro-cli's test of settings files.
TEST(InputFile, EveryKindOfInputIsReadInOnePassAndEndlessOnesAreRefused)
{
    TempFolder folder;
    InputFile input;
    const std::string fifo = folder.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << "GA=77\r\n"; });
    EXPECT_TRUE(input.Read(fifo));
    writer.join();
    EXPECT_EQ(input.Text(), "GA=77\r\n") << "a FIFO with a writer gives its text, read once";

    const std::string huge = folder.File("huge.cam");
    std::ofstream{huge};
    fs::resize_file(huge, InputFile::kLargestBytes + 1);   // sparse: costs nothing
    for (const std::string& path : {folder.path, folder.File("missing.cam"), huge})
        EXPECT_FALSE(input.Read(path)) << path;
    EXPECT_EQ(input.Error(), huge + ": larger than 64 MB, which no settings or gamma file is; not read");
    EXPECT_EQ(input.Text(), "");
    fs::resize_file(huge, InputFile::kLargestBytes);
    EXPECT_TRUE(input.Read(huge)) << "64 MB itself is still read";
}

TEST(SafeFile, FilesAreReplacedThroughLinksKeepingTheirModeAndNeverOverADevice)
{
    TempFolder folder;
    const std::string target = folder.File("golden.cam");
    std::ofstream(target) << "old";
    chmod(target.c_str(), 0600);
    fs::create_directory(folder.File("links"));
    const std::string link = folder.File("links/link.cam");
    fs::create_symlink("../golden.cam", link);   // relative to the link's own folder
    ASSERT_TRUE(SafeFile::WriteAll(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link)) << "the link stays a link";
    EXPECT_EQ(FileText(target), "new") << "its target is written";
    EXPECT_EQ(ModeOf(target), 0600u) << "and keeps its mode";

    const std::string dangling = folder.File("dangling.cam");
    fs::create_symlink(folder.File("made.cam"), dangling);
    ASSERT_TRUE(SafeFile::WriteAll(dangling, "made"));
    EXPECT_EQ(FileText(folder.File("made.cam")), "made") << "a link to nothing makes the file it names";

    const mode_t mask = umask(027);
    ASSERT_TRUE(SafeFile::WriteAll(folder.File("new.cam"), "x"));
    umask(mask);
    EXPECT_EQ(ModeOf(folder.File("new.cam")), 0640u) << "a new file takes what the umask gives";

    const std::string fifo = folder.File("fifo.cam");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string toNull = folder.File("null.cam");
    fs::create_symlink("/dev/null", toNull);
    const struct {
        std::string path;
        std::string error;
    } refused[] = {
        {"/dev/null", "/dev/null: a character device, not a regular file"},
        {toNull, toNull + ": it leads to /dev/null, a character device, not a regular file"},
        {fifo, fifo + ": a FIFO, not a regular file"},
        {folder.File("links"), folder.File("links") + ": a folder, not a regular file"},
        {folder.File("no/such.cam"), folder.File("no/such.cam") + ": its folder " + folder.File("no") +
                                         ": No such file or directory"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(SafeFile::CheckWritable(r.path), r.error) << "judged before any work";
        std::string why;
        EXPECT_FALSE(SafeFile::WriteAll(r.path, "x", &why));
        EXPECT_EQ(why, r.error);
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null") && fs::is_fifo(fifo) && fs::is_symlink(toNull));
    EXPECT_EQ(SafeFile::CheckWritable(target), "");
    EXPECT_EQ(SafeFile::CheckWritable(folder.File("fresh.cam")), "") << "a new file in a folder that takes it";

    {
        FileSizeLimit full(2);   // a disk that fills up half-way
        std::string why;
        EXPECT_FALSE(SafeFile::WriteAll(target, "longer than the disk", &why));
        EXPECT_EQ(why, target + ": File too large");
    }
    EXPECT_EQ(FileText(target), "new") << "a failed write leaves the old file whole";
    EXPECT_EQ(Entries(folder.path), (std::vector<std::string>{"dangling.cam", "fifo.cam", "golden.cam", "links",
                                                              "made.cam", "new.cam", "null.cam"}))
        << "and no temporary file";
}

TEST(SafeFile, LongNamesReadOnlyPlacesAndOwnersAreHandled)
{
    TempFolder folder;
    for (const size_t length : {249u, 250u, 254u, 255u}) {
        const std::string path = folder.File(std::string(length - 4, 'n') + ".cam");
        EXPECT_TRUE(SafeFile::WriteAll(path, "GA=1\r\n")) << length << " bytes: the temporary name must fit too";
        EXPECT_EQ(FileText(path), "GA=1\r\n");
    }
    EXPECT_EQ(Entries(folder.path).size(), 4u);

    const std::string locked = folder.File("locked.cam");
    std::ofstream(locked) << "kept";
    chmod(locked.c_str(), 0444);
    if (geteuid() == 0) {
        // Root may write anything; a user's file stays the user's.
        chown(locked.c_str(), 65534, 65534);
        ASSERT_TRUE(SafeFile::WriteAll(locked, "root wrote"));
        struct stat info {};
        stat(locked.c_str(), &info);
        EXPECT_EQ(info.st_uid, 65534u);
        EXPECT_EQ(info.st_gid, 65534u);
        EXPECT_EQ(ModeOf(locked), 0444u);
        return;
    }
    EXPECT_EQ(SafeFile::CheckWritable(locked), locked + ": Permission denied") << "a read-only file is not replaced";
    EXPECT_FALSE(SafeFile::WriteAll(locked, "x"));
    EXPECT_EQ(FileText(locked), "kept");
    chmod(folder.path.c_str(), 0555);
    const std::string inLocked = folder.File("new.cam");
    EXPECT_EQ(SafeFile::CheckWritable(inLocked), inLocked + ": its folder " + folder.path + ": Permission denied");
    chmod(folder.path.c_str(), 0755);
}

TEST(SafeFile, AStopDuringTheWriteLeavesNoTemporaryFile)
{
    TempFolder folder;
    const std::string path = folder.File("out.cam");
    const pid_t writer = fork();
    if (writer == 0) {
        // The stop handler of kavro-cli does this before it ends the process.
        std::signal(SIGTERM, [](int) {
            SafeFile::RemoveTemporaryForSignal();
            _exit(0);
        });
        const std::string content(32u << 20, 'x');
        for (;;)
            SafeFile::WriteAll(path, content);
    }
    // Stop it while a temporary file stands beside the target.
    const auto writing = [&] {
        const std::vector<std::string> names = Entries(folder.path);
        return std::any_of(names.begin(), names.end(), [](const std::string& name) { return name != "out.cam"; });
    };
    EXPECT_TRUE(WaitFor(writing, 10000));
    kill(writer, SIGTERM);
    int status = 0;
    waitpid(writer, &status, 0);
    const std::vector<std::string> left = Entries(folder.path);
    EXPECT_TRUE(left.empty() || left == std::vector<std::string>{"out.cam"}) << left.size() << " files left";
}
