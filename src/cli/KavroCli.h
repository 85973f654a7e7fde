#pragma once

#include <string>
#include <vector>

#include "cli/CliCommandLine.h"
#include "files/GammaFileReader.h"
#include "files/SettingsInput.h"

struct AppSettings;
class CGen;
class CRsCmd;
class ClSerialLib;
class SerialPort;
class StderrHost;

// kavro-cli: one camera command from the shell, on the tool's own engine.
// Exit codes: 0 done, 1 the line, the camera, a file or standard output
// failed, 2 bad usage; diff exits 3 when the camera differs from the file.
// A stop signal ends it by that signal (see StopSignals).
class KavroCli {
public:
    enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

    int Run(const std::vector<std::string>& args);

private:
    static std::string GrabberFolder(const CliCommandLine& options, CGen& gen);
    static void ApplyOptions(const CliCommandLine& options, AppSettings& settings);
    void NameCameraLinkPort(const CliCommandLine& options, AppSettings& settings);
    int PrepareFiles(const CliCommandLine& options);
    int RunCommand(const CliCommandLine& options);
    int Query(int index, int timeoutMs);
    int Set(const CliCommandLine& options);
    int Raw(const std::string& line, int timeoutMs);
    void ShowReceived(std::string& line);
    bool LineFailed() const;

    // The line, for the duration of Run.
    CRsCmd* m_engine = nullptr;
    SerialPort* m_port = nullptr;
    ClSerialLib* m_camLink = nullptr;
    StderrHost* m_host = nullptr;
    const AppSettings* m_settings = nullptr;

    // The command's input, read before the port opens.
    SettingsInput m_settingsInput;
    GammaTables m_gammaTables{};
};
