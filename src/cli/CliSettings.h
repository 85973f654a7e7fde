#pragma once

#include <cstddef>
#include <string>

class CliCommandLine;
class CRsCmd;
class SettingsInput;

// kavro-cli's commands for setting up many cameras alike: settings files
// read from and applied to a camera, and the camera's setting areas. Each
// returns the tool's exit code (0 done, 1 the line or the camera failed or a
// line of the file was skipped, 2 bad usage; diff: 3 when the camera differs
// from the file).
class CliSettings {
public:
    CliSettings(CRsCmd& engine, const CliCommandLine& options) : m_engine(engine), m_options(options) {}

    int ReadSettings();
    // The lines of a file that ReadSettingsFile judged.
    int ApplySettings(const SettingsInput& input);
    // Prints each line of the file whose value the camera does not hold.
    int Diff(const SettingsInput& input);
    static constexpr int kExitDiffers = 3;
    // One area, or every area (3, 2, 1, 0), going on after a refusal.
    int StoreArea();
    int LoadArea();

    // Skipped lines named on standard error beyond which only their number is given.
    static constexpr size_t kSkippedLinesShown = 20;

    // Reads the settings file and names on standard error every line it
    // skips; false, having said why, when it cannot be read or nothing of it
    // can be applied. Needs no line: it runs before the port is opened.
    static bool ReadSettingsFile(const std::string& path, bool factory, SettingsInput& input);

private:
    void ShowProgress(const char* what, long long done, long long total);
    std::string QueryFailure(int commandIndex) const;
    int StoreAllAreas(int timeoutMs);

    CRsCmd& m_engine;
    const CliCommandLine& m_options;
};
