#pragma once

#include <string>

struct AppSettings;
class CGen;

// Reading and writing AppSettings in the profile, and the crash guard.
namespace Profile {

extern const char* const ProfileKeyPath;

void LoadSettings(AppSettings& settings, CGen& gen);
void SaveSettings(AppSettings& settings, CGen& gen);

// Run at start-up after LoadSettings: after a run that did not end in order
// the PC serial port is used. Marks the run as in progress.
void EnterCrashGuard(AppSettings& settings, CGen& gen);
// Run at an orderly end, after SaveSettings.
void LeaveCrashGuard(CGen& gen);

// Values the tool reads but never writes: the device behind "COMn" (empty
// when not set) and the folder of the grabber libraries.
std::string ComDevice(CGen& gen, int comNumber);
std::string CamLinkFolder(CGen& gen);

// The existence rule of stored paths: an existing file or folder stays,
// anything else becomes the current working folder.
std::string ExistingPathOrWorkingFolder(const std::string& path);

}  // namespace Profile
