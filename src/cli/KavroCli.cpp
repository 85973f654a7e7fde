#include "cli/KavroCli.h"

#include <chrono>
#include <iostream>
#include <thread>
#include <unistd.h>

#include "settings/AppSettings.h"
#include "profile/CGen.h"
#include "profile/Profile.h"
#include "cli/CameraSilence.h"
#include "cli/CliOutput.h"
#include "cli/CliSettings.h"
#include "cli/LutCommands.h"
#include "cli/IdentityCommand.h"
#include "cli/StderrHost.h"
#include "cli/StandardOutput.h"
#include "cli/StopSignals.h"
#include "cli/TerminalText.h"
#include "comm/CRsCmd.h"
#include "comm/SteadyClock.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"

namespace {

const char kUsage[] =
    "usage: kavro-cli [options] query NAME | set NAME VALUE | raw LINE | identity\n"
    "       kavro-cli [options] read-luts FILE.csv | send-luts FILE.csv\n"
    "       kavro-cli [options] read-settings FILE.cam [--factory] | apply-settings FILE.cam [--factory]\n"
    "       kavro-cli [options] diff FILE.cam [--factory]\n"
    "       kavro-cli [options] store-area N|all | load-area N      (N 0 Factory, 1..3 User1..User3)\n"
    "  --port PORT        COM1..COM16 (as the tool resolves them), a device path, or a serial\n"
    "                     port on another machine: tcp:HOST:PORT (raw) or rfc2217:HOST:PORT; default COM1\n"
    "  --baud RATE        9600, 19200, 38400, 57600 or 115200; default 9600\n"
    "  --timeout MS       time limit of every command the run sends, 1..600000; without it each\n"
    "                     command keeps its own: 3000, a table entry 5000 (send) or 50000 (read),\n"
    "                     store-area 40000, load-area 1500\n"
    "  --reply-wait MS    pause after each command before its reply is looked for, 0..20;\n"
    "                     default 20; below 20 a command's bytes leave back to back, and 0\n"
    "                     sends the next command the moment a reply is in\n"
    "  --keep-going       apply-settings, store-area all: go on after three commands in a row\n"
    "                     went unanswered (by default the run ends there)\n"
    "  --line-kind K      0 PC serial port (default); 1, 2, 3 the Camera Link serial library kinds\n"
    "  --cl-name TEXT     kind 1: grabber library file; kind 2: maker name\n"
    "  --cl-index N       kind 2: serial index; kind 3: port index over all grabbers (0..255)\n"
    "  --cl-folder DIR    folder of the grabber libraries (kind 1)\n"
    "  --register-base    send commands in register-base form; --crc adds the check\n"
    "  --verbose          show the line traffic on standard error\n"
    "query prints the value as the tool's pages show it; set takes a value within the range\n"
    "the pages allow and exits 0 only when the camera acknowledged; raw sends LINE and prints\n"
    "every line received until the time limit passes with nothing new (at most ten limits in\n"
    "all), and exits 1 when the line failed or never fell silent. Camera text has its control\n"
    "characters escaped (\\x1b) on standard error, and on standard output when it is a terminal.\n"
    "read-luts writes the camera's three look-up tables to a gamma data file; send-luts sends\n"
    "the tables of a gamma data file to the camera.\n"
    "diff queries the camera for each line of the settings file and prints NAME=FILEVALUE\n"
    "(camera: CAMERAVALUE) for each difference; it exits 0 when all match, 3 when any differ.\n"
    "A FILE read may be - for standard input; read-settings and read-luts write to standard\n"
    "output for -.\n";

// A line longer than the engine's receive buffer is shown in pieces, never lost.
constexpr size_t kLongestRawLine = 1024;
// raw listens until the time limit passes with nothing new, and never longer than this many limits.
constexpr int kRawTalkLimitFactor = 10;
// raw looks at its time limits and the line at least this often while nothing comes.
constexpr int kRawReadStepMs = 20;

}  // namespace

int KavroCli::Run(const std::vector<std::string>& args)
{
    CliCommandLine options;
    if (!options.Parse(args)) {
        std::cerr << "kavro-cli: " << options.Error() << "\n(kavro-cli --help lists the options)" << std::endl;
        return ExitUsage;
    }
    if (options.verb == CliCommandLine::Verb::Help) {
        StandardOutput::Print(kUsage);
        return StandardOutput::Delivered() ? ExitOk : ExitFailed;
    }
    // Before any file is opened: a FIFO without a writer blocks until Ctrl+C.
    StopSignals::Install();
    if (const int prepared = PrepareFiles(options); prepared != ExitOk)
        return prepared;

    AppSettings settings;
    ApplyOptions(options, settings);
    CGen gen;
    SerialPort port;
    const int comNumber = SerialPort::ComNumber(options.port);
    const std::string device = comNumber == 0 ? options.port : "";
    port.SetDeviceResolver([&gen, device](int number) {
        return device.empty() ? Profile::ComDevice(gen, number) : device;
    });
    if (comNumber > 0)
        settings.commPort = static_cast<uint32_t>(comNumber - 1);
    ClSerialLib camLink(GrabberFolder(options, gen));
    StderrHost host(options.verbose);
    CRsCmd engine(settings, port, camLink, host);
    m_engine = &engine;
    m_port = &port;
    m_camLink = &camLink;
    m_host = &host;
    m_settings = &settings;
    NameCameraLinkPort(options, settings);

    if (!engine.OpenPort(static_cast<int>(settings.commPort))) {
        // The serial port has named its device and the reason already.
        if (settings.serialMode != LineComPort && !camLink.OpenProblem().empty())
            std::cerr << "kavro-cli: " << camLink.OpenProblem() << std::endl;
        engine.ClosePort();
        std::cerr << "Failed to initialize!" << std::endl;
        return ExitFailed;
    }
    const int result = RunCommand(options);
    engine.ClosePort();
    return StandardOutput::Delivered() ? result : ExitFailed;
}

// Every input is read and judged, and every output judged, before the camera
// is claimed: a file that cannot be used costs no time at the camera.
int KavroCli::PrepareFiles(const CliCommandLine& o)
{
    switch (o.verb) {
    case CliCommandLine::Verb::ApplySettings:
    case CliCommandLine::Verb::Diff:
        return CliSettings::ReadSettingsFile(o.text, o.factory, m_settingsInput) ? ExitOk : ExitFailed;
    case CliCommandLine::Verb::SendLuts:
        return LutCommands::ReadGammaFile(o.text, m_gammaTables) ? ExitOk : ExitFailed;
    case CliCommandLine::Verb::ReadSettings:
    case CliCommandLine::Verb::ReadLuts:
        return CliOutput::Check(o.text);
    default:
        return ExitOk;
    }
}

// The profile is read only when the command needs it.
std::string KavroCli::GrabberFolder(const CliCommandLine& options, CGen& gen)
{
    if (!options.clFolder.empty())
        return options.clFolder;
    return options.lineKind == LineClSpec2000 ? Profile::CamLinkFolder(gen) : ClSerialLib::kDefaultFolder;
}

void KavroCli::ApplyOptions(const CliCommandLine& o, AppSettings& settings)
{
    for (uint32_t index = 0; index < 5; ++index)
        if (BaudFromIndex(index) == o.baud)
            settings.baudIndex = index;
    settings.serialMode = static_cast<uint32_t>(o.lineKind);
    settings.dllNo = static_cast<uint32_t>(o.clIndex);
    settings.camLinkSerialIndex = static_cast<uint32_t>(o.clIndex);
    settings.selectedPortName = o.clName;
    settings.commandFormat = o.registerBase ? 1 : 0;
    settings.commandCrc = o.crc ? 1 : 0;
    settings.replyWaitMs = static_cast<uint32_t>(o.replyWaitMs);
}

// The library's messages name the port: a port of all grabbers is named as
// the communication window lists it.
void KavroCli::NameCameraLinkPort(const CliCommandLine& o, AppSettings& settings)
{
    if (o.lineKind != LineClSpecV11 || !o.clName.empty())
        return;
    m_camLink->ListClPorts();
    settings.selectedPortName = ClSerialLib::GetListEntry(m_camLink->ClPorts(), o.clIndex);
    if (settings.selectedPortName.empty())
        settings.selectedPortName = "port " + std::to_string(o.clIndex);
}

int KavroCli::RunCommand(const CliCommandLine& o)
{
    switch (o.verb) {
    case CliCommandLine::Verb::Query:
        return Query(o.commandIndex, o.timeoutMs);
    case CliCommandLine::Verb::Set:
        return Set(o);
    case CliCommandLine::Verb::Raw:
        return Raw(o.text, o.timeoutMs);
    case CliCommandLine::Verb::ReadLuts:
        return LutCommands(*m_engine, o).ReadLuts();
    case CliCommandLine::Verb::SendLuts:
        return LutCommands(*m_engine, o).SendLuts(m_gammaTables);
    case CliCommandLine::Verb::Identity:
        return PrintIdentity(*m_engine, *m_host, o.registerBase, o.timeoutMs);
    case CliCommandLine::Verb::ReadSettings:
        return CliSettings(*m_engine, o).ReadSettings();
    case CliCommandLine::Verb::ApplySettings:
        return CliSettings(*m_engine, o).ApplySettings(m_settingsInput);
    case CliCommandLine::Verb::Diff:
        return CliSettings(*m_engine, o).Diff(m_settingsInput);
    case CliCommandLine::Verb::StoreArea:
        return CliSettings(*m_engine, o).StoreArea();
    case CliCommandLine::Verb::LoadArea:
        return CliSettings(*m_engine, o).LoadArea();
    default:
        return ExitUsage;
    }
}

int KavroCli::Query(int index, int timeoutMs)
{
    const bool isText = CommandTable::Row(index).kind == KindText;
    const bool registerBase = m_settings->commandFormat == 1;
    int value = 0;
    CommandValue text;
    m_host->ForgetReply();
    const int ok = !isText       ? m_engine->GetInt(index, 0, value, timeoutMs)
                   : registerBase ? m_engine->GetValueReg(index, 0, text, timeoutMs)
                                  : m_engine->GetValue(index, 0, text, timeoutMs, 1, 1);
    const std::string query = m_engine->FormatQuery(index, 0, 0);
    if (!ok && LineFailed()) {
        std::cerr << "kavro-cli: the line failed while sending " << query << std::endl;
        return ExitFailed;
    }
    if (!ok && m_engine->LastWaitUnanswered()) {
        std::cerr << "kavro-cli: " << CameraSilence::NoAnswerText(query, timeoutMs) << std::endl;
        return ExitFailed;
    }
    if (!ok) {
        std::cerr << "kavro-cli: " << query << " answered '" << TerminalText::Escaped(m_host->LastReply()) << "'"
                  << std::endl;
        return ExitFailed;
    }
    StandardOutput::Print((isText ? TerminalText::For(STDOUT_FILENO, text.text) : std::to_string(value)) + "\n");
    return ExitOk;
}

int KavroCli::Set(const CliCommandLine& o)
{
    const int index = o.commandIndex;
    const bool isText = CommandTable::Row(index).kind == KindText;
    const int ok = isText ? m_engine->SetText(index, 0, o.text, o.timeoutMs)
                          : m_engine->SetInt(index, 0, o.value, o.timeoutMs);
    if (!ok && !CameraSilence::ReportUnanswered(*m_engine, o.timeoutMs))
        std::cerr << "kavro-cli: the camera did not acknowledge " << TerminalText::Escaped(m_engine->LastSentLine())
                  << std::endl;
    return ok ? ExitOk : ExitFailed;
}

// Every line received is shown, notices included, whether it ends in CR LF,
// in LF or, as register-base replies do, in CR alone.
int KavroCli::Raw(const std::string& line, int timeoutMs)
{
    std::string text = line + "\r\n";
    m_engine->SendCommand(text, 1);
    m_host->printReceived = true;
    std::string received;
    bool afterCr = false;
    const long long start = SteadyMs();
    long long lastActivity = start;
    bool stillTalking = false;
    while (!LineFailed()) {
        // A camera that never falls silent must not keep the command alive for ever.
        if ((stillTalking = SteadyMs() - start >= static_cast<long long>(timeoutMs) * kRawTalkLimitFactor))
            break;
        uint8_t byte = 0;
        if (m_engine->ReadBytes(&byte, 1, kRawReadStepMs) != 1) {
            // Silence is judged right after a look at the line, never after a
            // pause of this process on a busy machine, with bytes waiting.
            if (SteadyMs() - lastActivity >= timeoutMs)
                break;
            continue;
        }
        lastActivity = SteadyMs();
        const bool lineEnd = byte == '\r' || byte == '\n';
        if (lineEnd && !(byte == '\n' && afterCr))
            ShowReceived(received);
        afterCr = byte == '\r';
        if (!lineEnd)
            received.push_back(static_cast<char>(byte));
        if (received.size() >= kLongestRawLine)
            ShowReceived(received);
    }
    if (!received.empty())
        ShowReceived(received);
    if (stillTalking)
        std::cerr << "kavro-cli: the camera was still talking " << static_cast<long long>(timeoutMs) * kRawTalkLimitFactor
                  << " ms after the line was sent" << std::endl;
    return LineFailed() || stillTalking ? ExitFailed : ExitOk;
}

void KavroCli::ShowReceived(std::string& line)
{
    m_host->AddTraffic("Rx: " + line);
    line.clear();
}

bool KavroCli::LineFailed() const
{
    return m_settings->serialMode == LineComPort ? m_port->HasLineFault() : m_camLink->HasLineFault();
}
