#pragma once

#include <string>
#include <vector>

class CRsCmd;

// kavro-cli's commands for setting up many cameras alike: settings files
// read from and applied to a camera, and the camera's setting areas. Each
// returns the tool's exit code (0 done, 1 the line or the camera failed,
// 2 bad usage).
class CliSettings {
public:
    CliSettings(CRsCmd& engine, int timeoutMs) : m_engine(engine), m_timeoutMs(timeoutMs) {}

    static bool Handles(const std::string& verb);
    int Run(const std::vector<std::string>& words);

    int ReadSettings(const std::string& path, bool factory);
    int ApplySettings(const std::string& path, bool factory);
    int StoreArea(const std::string& area);
    int LoadArea(const std::string& area);

private:
    void ShowProgress(const char* what, long long done, long long total);

    CRsCmd& m_engine;
    int m_timeoutMs;
};
