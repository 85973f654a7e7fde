#include <gtest/gtest.h>

#include <QLockFile>
#include <QSettings>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "settings/AppSettings.h"
#include "profile/CGen.h"
#include "profile/Profile.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

namespace {

std::string WorkingFolder() { return std::filesystem::current_path().string(); }

void WriteIni(const std::string& file, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

std::string ProfileFolder(const TempProfileHome& home)
{
    return std::filesystem::path(home.IniFile()).parent_path().string();
}

std::set<std::string> Entries(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

struct stat Status(const std::string& file)
{
    struct stat info {};
    lstat(file.c_str(), &info);
    return info;
}

// Runs `body` in a child process that cannot write to `folder` and gives its
// exit code (0 when the body held) and standard error. Root ignores the
// folder's mode, so as root the child gives up root for "nobody".
std::pair<int, std::string> RunWithoutWriteRight(const std::string& home, const std::string& folder,
                                                 const std::function<bool()>& body)
{
    constexpr uid_t kNobody = 65534;
    chmod(home.c_str(), 0755);
    chmod(folder.c_str(), 0555);
    TempFolder out;
    const std::string errFile = out.File("stderr");
    const pid_t child = fork();
    if (child == 0) {
        dup2(open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
                               setresuid(kNobody, kNobody, kNobody) != 0))
            _exit(2);
        _exit(body() ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    chmod(folder.c_str(), 0755);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileText(errFile)};
}

// A fresh profile folder for each test.
class ProfileFile : public ::testing::Test {
protected:
    TempProfileHome home;
    CGen gen;
    AppSettings settings;
};

}  // namespace

TEST_F(ProfileFile, FirstRunTakesDefaultsAndExitWritesEveryValueCrashGuardIncluded)
{
    settings.commPort = 9;   // must be overwritten by the default
    settings.replyWaitMs = 3;

    Profile::LoadSettings(settings, gen);
    EXPECT_EQ(settings.commPort, 0u);
    EXPECT_EQ(settings.replyWaitMs, 20u) << "without a stored pause the camera keeps its 20 ms";
    for (const std::string& path : {settings.dataPath, settings.logFilePath, settings.sensorFile})
        EXPECT_EQ(path, WorkingFolder());

    settings.commPort = 2;
    settings.activeMode = ActiveFactory;
    settings.lastCommand = "GA?";
    settings.commandCrc = 1;
    settings.offline = 1;
    settings.replyWaitMs = 0;
    Profile::SaveSettings(settings, gen);

    QSettings ini(QString::fromStdString(home.IniFile()), QSettings::IniFormat);
    // The check is never stored switched on; OFFLINE and SIMULATION are only ever set by hand.
    for (const auto& [key, value] : {std::pair{"Comm Port", "2"}, {"Reply Wait", "0"}, {"Active Mode", "FACTORY"},
                                     {"Command", "GA?"}, {"Command CRC", "0"}, {"OFFLINE", ""}, {"SIMULATION", ""}})
        EXPECT_EQ(ini.value(key).toString(), value) << key;
    EXPECT_EQ(ini.allKeys().size(), 14);

    // The crash guard: no orderly end recorded yet counts as a crash, and falls back to the serial port.
    settings.serialMode = LineClSpecV11;
    Profile::EnterCrashGuard(settings, gen);
    EXPECT_EQ(settings.serialMode, 0u);
    Profile::LeaveCrashGuard(gen);
    settings.serialMode = LineClSpecV11;
    Profile::EnterCrashGuard(settings, gen);
    EXPECT_EQ(settings.serialMode, static_cast<uint32_t>(LineClSpecV11)) << "after an orderly end the kind stays";
}

TEST_F(ProfileFile, StoredValuesAreReadLikeTheToolAlwaysDid)
{
    TempFolder data;
    Profile::LoadSettings(settings, gen);
    EXPECT_EQ(Profile::ComDevice(gen, 1), "");
    EXPECT_EQ(Profile::CamLinkFolder(gen), "/usr/local/lib/cameralink");

    WriteIni(home.IniFile(), "[General]\nActive%20Mode=factory\nBaud%20Rate=\" 2 apples\"\nComm%20Port=99999999999999\n"
                             "Reply%20Wait=500\nDataPath=" + data.path + "\nLogFilePath=/no/such/folder\nCamera%20Id=" +
                             std::string(600, 'C') + "\nCommand=\"GA=1, GA?\"\nOFFLINE=1\nSIMULATION=1\nCommand%20CRC=1\n"
                             "COM1=/dev/ttyUSB0\nCamLink%20Folder=/opt/grabbers\n");
    AppSettings s;
    Profile::LoadSettings(s, gen);
    EXPECT_EQ(s.activeMode, ActiveFactory) << "the level is read in any letter case";
    EXPECT_EQ(s.baudIndex, 2u) << "a number stored as text is read up to its first non-digit";
    EXPECT_EQ(s.commPort, 2147483647u) << "huge numbers clamp";
    EXPECT_EQ(s.replyWaitMs, 20u) << "a pause beyond 20 ms is taken as 20 ms";
    EXPECT_EQ(s.dataPath, data.path);
    EXPECT_EQ(s.logFilePath, WorkingFolder()) << "a path that does not exist falls back";
    EXPECT_EQ(s.cameraId, "") << "overlong values give their default";
    EXPECT_EQ(s.lastCommand, "GA=1, GA?");
    EXPECT_TRUE(s.offline == 1u && s.simulation == 1u && s.commandCrc == 1u) << "the switches set by hand are read";
    EXPECT_EQ(Profile::ComDevice(gen, 1), "/dev/ttyUSB0");
    EXPECT_EQ(Profile::CamLinkFolder(gen), "/opt/grabbers");

    Profile::SaveSettings(s, gen);
    AppSettings again;
    Profile::LoadSettings(again, gen);
    EXPECT_EQ(again.offline, 1u) << "hand-set values survive the tool's writes";
    EXPECT_EQ(again.commandCrc, 0u);
    EXPECT_EQ(again.activeMode, ActiveFactory);
    EXPECT_EQ(Profile::CamLinkFolder(gen), "/opt/grabbers") << "saving keeps values the tool does not own";
}

TEST_F(ProfileFile, AGarbledOrUnreadableFileGivesDefaults)
{
    Profile::LoadSettings(settings, gen);

    const char garbage[] = "\x00\xff[[[=\n\x01Serial Mode\n=3=\n@Variant(\xff)\n";
    std::ofstream(home.IniFile(), std::ios::binary | std::ios::trunc) << std::string(garbage, sizeof garbage - 1);
    AppSettings s;
    Profile::LoadSettings(s, gen);
    EXPECT_TRUE(s.serialMode == 0u && s.activeMode == ActiveUser);

    setenv("XDG_CONFIG_HOME", "/proc/no-profile-here", 1);
    AppSettings unreachable;
    Profile::LoadSettings(unreachable, gen);
    Profile::SaveSettings(unreachable, gen);
    EXPECT_EQ(unreachable.serialMode, 0u) << "a profile that cannot be made still lets the tool run";
}

TEST_F(ProfileFile, ReadingWritesNothingAndSavingKeepsModeLinkAndTheOldFileOnAFullDisk)
{
    TempFolder elsewhere;
    const std::string target = elsewhere.File("kavro.ini");
    WriteIni(target, "[General]\nCOM1=/dev/ttyUSB0\nNormal%20Shutdown=1\n");
    chmod(target.c_str(), 0640);
    std::filesystem::create_directories(ProfileFolder(home));
    std::filesystem::create_symlink(target, home.IniFile());
    const std::set<std::string> entries = Entries(ProfileFolder(home));
    const std::set<std::string> targetEntries = Entries(elsewhere.path);
    const ino_t unread = Status(target).st_ino;

    Profile::LoadSettings(settings, gen);
    EXPECT_EQ(Profile::ComDevice(gen, 1), "/dev/ttyUSB0");
    EXPECT_EQ(Status(target).st_ino, unread) << "reading never replaces the file";
    EXPECT_EQ(Entries(ProfileFolder(home)), entries) << "reading leaves no lock or copy behind";
    EXPECT_EQ(Entries(elsewhere.path), targetEntries);

    settings.commPort = 3;
    Profile::SaveSettings(settings, gen);
    EXPECT_TRUE(std::filesystem::is_symlink(home.IniFile())) << "the link stays a link";
    EXPECT_EQ(Status(target).st_mode & 0777, 0640u) << "the file keeps its mode";
    EXPECT_EQ(QSettings(QString::fromStdString(target), QSettings::IniFormat).value("Comm Port").toInt(), 3);
    EXPECT_EQ(Entries(elsewhere.path), targetEntries);

    const ino_t saved = Status(target).st_ino;
    Profile::SaveSettings(settings, gen);
    EXPECT_EQ(Status(target).st_ino, saved) << "a save without a change writes nothing";

    settings.lastCommand = std::string(200, 'G');
    Profile::SaveSettings(settings, gen);
    const std::string before = FileText(target);
    settings.commPort = 5;
    {
        FileSizeLimit diskFull(100);
        Profile::SaveSettings(settings, gen);
        Profile::LeaveCrashGuard(gen);
    }
    EXPECT_EQ(FileText(target), before) << "a write cut short on a full disk never replaces the profile";
}

TEST_F(ProfileFile, AReadOnlyOrFullFolderStillReadsTheProfile)
{
    const std::string text = "[General]\nActive%20Mode=FACTORY\nCOM1=/dev/ttyUSB0\nNormal%20Shutdown=1\n";
    WriteIni(home.IniFile(), text);
    chmod(home.IniFile().c_str(), 0644);
    {
        FileSizeLimit diskFull(0);
        CGen gen;
        AppSettings settings;
        Profile::LoadSettings(settings, gen);
        EXPECT_EQ(settings.activeMode, ActiveFactory) << "a full disk still lets the profile be read";
        EXPECT_EQ(Profile::ComDevice(gen, 1), "/dev/ttyUSB0");
    }

    const auto [readAll, err] = RunWithoutWriteRight(home.path, ProfileFolder(home), [] {
        CGen gen;
        AppSettings settings;
        Profile::LoadSettings(settings, gen);
        const bool seen = settings.activeMode == ActiveFactory && Profile::ComDevice(gen, 1) == "/dev/ttyUSB0";
        Profile::EnterCrashGuard(settings, gen);   // a write that cannot be saved
        return seen;
    });
    EXPECT_EQ(readAll, 0) << "a read-only folder still lets the profile be read";
    EXPECT_NE(err.find("not saved"), std::string::npos) << "the failed save is told: " << err;
    EXPECT_EQ(FileText(home.IniFile()), text);
}

TEST_F(ProfileFile, ADamagedProfileIsSavedWholeAndItsOriginalKept)
{
    const std::string damaged =
        "\xEF\xBB\xBF[General]\nActive%20Mode=FACTORY\nCOM1=/dev/ttyUSB0\nNormal%20Shutdown=1\n\x01\xff stray\n[Gener\n";
    WriteIni(home.IniFile(), damaged);
    Profile::LoadSettings(settings, gen);
    EXPECT_EQ(settings.activeMode, ActiveFactory);
    Profile::EnterCrashGuard(settings, gen);
    Profile::SaveSettings(settings, gen);
    Profile::LeaveCrashGuard(gen);

    QSettings ini(QString::fromStdString(home.IniFile()), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Normal Shutdown").toInt(), 1) << "the crash guard works on a repaired file";
    EXPECT_EQ(ini.value("COM1").toString(), "/dev/ttyUSB0");
    EXPECT_EQ(ini.value("Active Mode").toString(), "FACTORY");
    EXPECT_EQ(ini.status(), QSettings::NoError) << "the file is well-formed again";
    EXPECT_EQ(FileText(home.IniFile() + ".bak"), damaged) << "the damaged original is kept beside it";
}

TEST_F(ProfileFile, StaleWorkingCopiesAreRemovedAtTheNextStart)
{
    WriteIni(home.IniFile(), "[General]\nNormal%20Shutdown=1\n");
    const std::string work = home.IniFile() + ".AbCdEf";
    const std::string lockFile = home.IniFile() + ".lock";
    WriteIni(home.IniFile() + ".bak", "kept");
    {
        QLockFile saving(QString::fromStdString(lockFile));
        ASSERT_TRUE(saving.tryLock(0));
        WriteIni(work, "[General]\n");
        Profile::LoadSettings(settings, gen);
        EXPECT_TRUE(std::filesystem::exists(work)) << "the working copy of a copy that is saving stays";
    }

    const pid_t killed = fork();
    if (killed == 0) {
        QLockFile saving(QString::fromStdString(lockFile));
        saving.lock();
        std::raise(SIGKILL);
    }
    waitpid(killed, nullptr, 0);
    ASSERT_TRUE(std::filesystem::exists(lockFile));
    Profile::LoadSettings(settings, gen);
    EXPECT_FALSE(std::filesystem::exists(work)) << "a killed save's working copy is removed";
    EXPECT_FALSE(std::filesystem::exists(lockFile));
    EXPECT_TRUE(std::filesystem::exists(home.IniFile() + ".bak"));
}
