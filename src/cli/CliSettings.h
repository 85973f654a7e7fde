#pragma once

#include <string>

class CRsCmd;

// kavro-cli's commands for setting up many cameras alike: settings files
// read from and applied to a camera, and the camera's setting areas. Each
// returns the tool's exit code (0 done, 1 the line or the camera failed,
// 2 bad usage; diff: 3 when the camera differs from the file).
class CliSettings {
public:
    CliSettings(CRsCmd& engine, int timeoutMs) : m_engine(engine), m_timeoutMs(timeoutMs) {}

    int ReadSettings(const std::string& path, bool factory);
    int ApplySettings(const std::string& path, bool factory);
    // Prints each line of the file whose value the camera does not hold.
    int Diff(const std::string& path, bool factory);
    static constexpr int kExitDiffers = 3;
    // area 0..3, or any other number for every area (3, 2, 1, 0), going on after a refusal.
    int StoreArea(int area);
    int LoadArea(int area);

private:
    void ShowProgress(const char* what, long long done, long long total);

    CRsCmd& m_engine;
    int m_timeoutMs;
};
