#pragma once

#include <string>
#include <vector>

struct AppSettings;
class CGen;
class CRsCmd;
class StderrHost;

// kavro-cli: one camera command from the shell, on the tool's own engine.
// Exit codes: 0 done, 1 the line or the camera failed, 2 bad usage.
class KavroCli {
public:
    enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

    int Run(const std::vector<std::string>& args);

private:
    struct Options {
        std::string port = "COM1";
        int baud = 9600;
        int timeoutMs = 3000;
        int lineKind = 0;
        int clIndex = 0;
        std::string clName;
        std::string clFolder;
        bool registerBase = false;
        bool crc = false;
        bool verbose = false;
        std::vector<std::string> words;   // the command and its arguments
    };

    static std::string GrabberFolder(const Options& options, CGen& gen);
    bool ParseOptions(const std::vector<std::string>& args, Options& options);
    bool ApplyOptions(const Options& options, AppSettings& settings);
    int RunCommand(CRsCmd& engine, const Options& options);
    int Query(CRsCmd& engine, int index, int timeoutMs);
    int Set(CRsCmd& engine, int index, const std::string& value, int timeoutMs);
    int Raw(CRsCmd& engine, const std::string& line, int timeoutMs);
    int CommandIndex(const std::string& name);

    std::string m_error;
    StderrHost* m_host = nullptr;   // lives for the duration of Run
};
