#include "profile/Profile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

#include "settings/AppSettings.h"
#include "profile/CGen.h"
#include "comm/camlink/ClSerialLib.h"

namespace Profile {

const char* const ProfileKeyPath = "SOFTWARE\\QEL Corporation\\MX-330_550CL Camera Kavro";

namespace {

constexpr size_t kMaxPathLength = 260;
constexpr size_t kWorkingFolderCapacity = 256;
const char kNormalShutdown[] = "Normal Shutdown";

std::string WorkingFolder()
{
    char buffer[kWorkingFolderCapacity];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

bool PathExists(const std::string& path)
{
    if (path.empty() || path.size() >= kMaxPathLength)
        return false;
    struct stat info {};
    return stat(path.c_str(), &info) == 0;   // relative paths start at the working folder
}

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string ReadPath(CGen& gen, const char* name)
{
    std::string text;
    gen.ReadProfileString(name, text, "");
    return ExistingPathOrWorkingFolder(text);
}

}  // namespace

std::string ExistingPathOrWorkingFolder(const std::string& path)
{
    return PathExists(path) ? path : WorkingFolder();
}

void LoadSettings(AppSettings& s, CGen& gen)
{
    gen.RemoveStaleProfileCopies(ProfileKeyPath);   // left by a copy killed while saving
    gen.OpenProfile(ProfileKeyPath);
    gen.ReadProfileDword("Serial Mode", s.serialMode, 0);
    std::string mode;
    gen.ReadProfileString("Active Mode", mode, "USER");
    s.activeMode = UpperCase(mode) == "FACTORY" ? ActiveFactory : ActiveUser;
    gen.ReadProfileDword("OFFLINE", s.offline, 0);
    gen.ReadProfileDword("SIMULATION", s.simulation, 0);
    s.dataPath = ReadPath(gen, "DataPath");
    gen.ReadProfileString("Camera Id", s.cameraId, "");
    gen.ReadProfileDword("Comm Port", s.commPort, 0);
    gen.ReadProfileDword("DLL No", s.dllNo, 0);
    gen.ReadProfileDword("CamLink Serial Index", s.camLinkSerialIndex, 0);
    gen.ReadProfileDword("Baud Rate", s.baudIndex, 0);
    gen.ReadProfileDword("Reply Wait", s.replyWaitMs, kReplyWaitLongestMs);
    s.replyWaitMs = BoundedReplyWait(s.replyWaitMs);
    s.sensorFile = ReadPath(gen, "Sensor File");
    s.logFilePath = ReadPath(gen, "LogFilePath");
    gen.ReadProfileString("Command", s.lastCommand, "");
    gen.ReadProfileDword("Command format", s.commandFormat, 0);
    gen.ReadProfileDword("Command CRC", s.commandCrc, 0);
    gen.CloseProfile();
}

void SaveSettings(AppSettings& s, CGen& gen)
{
    gen.OpenProfile(ProfileKeyPath);
    gen.WriteProfileDword("Serial Mode", s.serialMode);
    gen.WriteProfileString("DataPath", s.dataPath);
    gen.WriteProfileString("Camera Id", s.cameraId);
    gen.WriteProfileString("Active Mode", s.activeMode == ActiveFactory ? "FACTORY" : "USER");
    gen.WriteProfileDword("Comm Port", s.commPort);
    gen.WriteProfileDword("DLL No", s.dllNo);
    gen.WriteProfileDword("CamLink Serial Index", s.camLinkSerialIndex);
    gen.WriteProfileDword("Baud Rate", s.baudIndex);
    gen.WriteProfileDword("Reply Wait", s.replyWaitMs);
    gen.WriteProfileString("Sensor File", s.sensorFile);
    gen.WriteProfileString("LogFilePath", s.logFilePath);
    gen.WriteProfileString("Command", s.lastCommand);
    gen.WriteProfileDword("Command format", s.commandFormat);
    s.commandCrc = 0;   // the check is switched on for one run only
    gen.WriteProfileDword("Command CRC", s.commandCrc);
    gen.CloseProfile();
}

void EnterCrashGuard(AppSettings& settings, CGen& gen)
{
    gen.OpenProfile(ProfileKeyPath);
    uint32_t normal = 0;
    gen.ReadProfileDword(kNormalShutdown, normal, 0);
    if (normal != 1)
        settings.serialMode = LineComPort;
    gen.WriteProfileDword(kNormalShutdown, 0);
    gen.CloseProfile();
}

void LeaveCrashGuard(CGen& gen)
{
    gen.OpenProfile(ProfileKeyPath);
    gen.WriteProfileDword(kNormalShutdown, 1);
    gen.CloseProfile();
}

std::string ComDevice(CGen& gen, int comNumber)
{
    std::string device;
    gen.OpenProfile(ProfileKeyPath);
    gen.ReadProfileString("COM" + std::to_string(comNumber), device, "");
    gen.CloseProfile();
    return device;
}

std::string CamLinkFolder(CGen& gen)
{
    std::string folder;
    gen.OpenProfile(ProfileKeyPath);
    gen.ReadProfileString("CamLink Folder", folder, ClSerialLib::kDefaultFolder);
    gen.CloseProfile();
    return folder.empty() ? ClSerialLib::kDefaultFolder : folder;
}

}  // namespace Profile
