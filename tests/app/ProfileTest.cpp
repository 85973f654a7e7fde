#include <gtest/gtest.h>

#include <QSettings>

#include <fstream>
#include <unistd.h>

#include "app/AppSettings.h"
#include "app/CGen.h"
#include "app/Profile.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

namespace {

std::string WorkingFolder()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

void WriteIni(const std::string& file, const std::string& text)
{
    std::ofstream(file, std::ios::trunc) << text;
}

}  // namespace

TEST(Profile, FirstRunTakesDefaultsAndExitWritesEveryValue)
{
    TempProfileHome home;
    CGen gen;
    AppSettings settings;
    settings.commPort = 9;   // must be overwritten by the default

    Profile::LoadSettings(settings, gen);
    EXPECT_EQ(settings.serialMode, 0u);
    EXPECT_EQ(settings.commPort, 0u);
    EXPECT_EQ(settings.baudIndex, 0u);
    EXPECT_EQ(settings.activeMode, ActiveUser);
    EXPECT_EQ(settings.dataPath, WorkingFolder());
    EXPECT_EQ(settings.logFilePath, WorkingFolder());
    EXPECT_EQ(settings.sensorFile, WorkingFolder());

    settings.commPort = 2;
    settings.activeMode = ActiveFactory;
    settings.lastCommand = "GA?";
    settings.commandCrc = 1;
    settings.offline = 1;
    Profile::SaveSettings(settings, gen);

    QSettings ini(QString::fromStdString(home.IniFile()), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Comm Port").toInt(), 2);
    EXPECT_EQ(ini.value("Active Mode").toString(), "FACTORY");
    EXPECT_EQ(ini.value("Command").toString(), "GA?");
    EXPECT_EQ(ini.value("Command CRC").toInt(), 0) << "the check is never stored switched on";
    EXPECT_FALSE(ini.contains("OFFLINE")) << "OFFLINE and SIMULATION are only ever set by hand";
    EXPECT_FALSE(ini.contains("SIMULATION"));
    EXPECT_EQ(ini.allKeys().size(), 13);
}

TEST(Profile, StoredValuesAreReadLikeTheToolAlwaysDid)
{
    TempProfileHome home;
    TempFolder data;
    CGen gen;
    AppSettings first;
    Profile::LoadSettings(first, gen);   // creates the file

    WriteIni(home.IniFile(),
             "[General]\n"
             "Active%20Mode=factory\n"
             "Baud%20Rate=\" 2 apples\"\n"
             "Comm%20Port=99999999999999\n"
             "DataPath=" + data.path + "\n"
             "LogFilePath=/no/such/folder\n"
             "Camera%20Id=" + std::string(600, 'C') + "\n"
             "Command=\"GA=1, GA?\"\n"
             "OFFLINE=1\n"
             "SIMULATION=1\n"
             "Command%20CRC=1\n");
    AppSettings s;
    Profile::LoadSettings(s, gen);
    EXPECT_EQ(s.activeMode, ActiveFactory) << "the level is read in any letter case";
    EXPECT_EQ(s.baudIndex, 2u) << "a number stored as text is read up to its first non-digit";
    EXPECT_EQ(s.commPort, 2147483647u) << "huge numbers clamp";
    EXPECT_EQ(s.dataPath, data.path);
    EXPECT_EQ(s.logFilePath, WorkingFolder()) << "a path that does not exist falls back";
    EXPECT_EQ(s.cameraId, "") << "overlong values give their default";
    EXPECT_EQ(s.lastCommand, "GA=1, GA?");
    EXPECT_EQ(s.offline, 1u);
    EXPECT_EQ(s.simulation, 1u);
    EXPECT_EQ(s.commandCrc, 1u);

    Profile::SaveSettings(s, gen);
    AppSettings again;
    Profile::LoadSettings(again, gen);
    EXPECT_EQ(again.offline, 1u) << "hand-set values survive the tool's writes";
    EXPECT_EQ(again.commandCrc, 0u);
    EXPECT_EQ(again.activeMode, ActiveFactory);
}

TEST(Profile, AGarbledOrUnreadableFileGivesDefaults)
{
    TempProfileHome home;
    CGen gen;
    AppSettings first;
    Profile::LoadSettings(first, gen);

    const char garbage[] = "\x00\xff[[[=\n\x01Serial Mode\n=3=\n@Variant(\xff)\n";
    std::ofstream(home.IniFile(), std::ios::binary | std::ios::trunc) << std::string(garbage, sizeof garbage - 1);
    AppSettings s;
    Profile::LoadSettings(s, gen);
    EXPECT_EQ(s.serialMode, 0u);
    EXPECT_EQ(s.activeMode, ActiveUser);

    unsetenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", "/proc/no-profile-here", 1);
    AppSettings unreachable;
    Profile::LoadSettings(unreachable, gen);
    Profile::SaveSettings(unreachable, gen);
    EXPECT_EQ(unreachable.serialMode, 0u) << "a profile that cannot be made still lets the tool run";
}

TEST(Profile, CrashGuardFallsBackToTheSerialPort)
{
    TempProfileHome home;
    CGen gen;
    AppSettings settings;
    Profile::LoadSettings(settings, gen);

    settings.serialMode = LineClSpecV11;
    Profile::EnterCrashGuard(settings, gen);
    EXPECT_EQ(settings.serialMode, 0u) << "no orderly end recorded yet: first run counts as a crash";
    {
        QSettings ini(QString::fromStdString(home.IniFile()), QSettings::IniFormat);
        EXPECT_EQ(ini.value("Normal Shutdown").toInt(), 0) << "the mark is on disk at once";
    }
    Profile::LeaveCrashGuard(gen);

    settings.serialMode = LineClSpecV11;
    Profile::EnterCrashGuard(settings, gen);
    EXPECT_EQ(settings.serialMode, static_cast<uint32_t>(LineClSpecV11)) << "after an orderly end the kind stays";
    Profile::SaveSettings(settings, gen);
    // The process dies here: no LeaveCrashGuard.

    AppSettings next;
    Profile::LoadSettings(next, gen);
    EXPECT_EQ(next.serialMode, static_cast<uint32_t>(LineClSpecV11));
    Profile::EnterCrashGuard(next, gen);
    EXPECT_EQ(next.serialMode, 0u) << "the next start uses the PC serial port";
}

TEST(Profile, DeviceMappingsAreReadNeverWritten)
{
    TempProfileHome home;
    CGen gen;
    AppSettings settings;
    Profile::LoadSettings(settings, gen);
    EXPECT_EQ(Profile::ComDevice(gen, 1), "");
    EXPECT_EQ(Profile::CamLinkFolder(gen), "/usr/local/lib/cameralink");

    WriteIni(home.IniFile(), "[General]\nCOM1=/dev/ttyUSB0\nCamLink%20Folder=/opt/grabbers\n");
    EXPECT_EQ(Profile::ComDevice(gen, 1), "/dev/ttyUSB0");
    EXPECT_EQ(Profile::CamLinkFolder(gen), "/opt/grabbers");
    Profile::SaveSettings(settings, gen);
    EXPECT_EQ(Profile::ComDevice(gen, 1), "/dev/ttyUSB0") << "saving keeps values the tool does not own";
}

TEST(Profile, AFullDiskKeepsTheOldProfile)
{
    TempProfileHome home;
    CGen gen;
    AppSettings settings;
    Profile::LoadSettings(settings, gen);
    settings.lastCommand = std::string(200, 'G');
    Profile::SaveSettings(settings, gen);
    const std::string before = FileText(home.IniFile());

    settings.commPort = 5;
    {
        FileSizeLimit diskFull(100);
        Profile::SaveSettings(settings, gen);
        Profile::LeaveCrashGuard(gen);
    }
    EXPECT_EQ(FileText(home.IniFile()), before) << "a write cut short never replaces the profile";
    AppSettings again;
    Profile::LoadSettings(again, gen);
    EXPECT_EQ(again.lastCommand, settings.lastCommand);
}
