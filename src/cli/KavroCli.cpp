#include "cli/KavroCli.h"

#include <cctype>
#include <chrono>
#include <iostream>
#include <thread>

#include "app/AppSettings.h"
#include "app/CGen.h"
#include "app/Profile.h"
#include "cli/IdentityCommand.h"
#include "cli/StderrHost.h"
#include "comm/CRsCmd.h"
#include "comm/NumberText.h"
#include "comm/SteadyClock.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"

namespace {

const char kUsage[] =
    "usage: kavro-cli [options] query NAME | set NAME VALUE | raw LINE | identity\n"
    "  --port PORT        COM1..COM16 (as the tool resolves them) or a device path; default COM1\n"
    "  --baud RATE        9600, 19200, 38400, 57600 or 115200; default 9600\n"
    "  --timeout MS       time limit of the command; default 3000\n"
    "  --line-kind K      0 PC serial port (default); 1, 2, 3 the Camera Link serial library kinds\n"
    "  --cl-name TEXT     kind 1: grabber library file; kind 2: maker name\n"
    "  --cl-index N       kind 2: serial index; kind 3: port index over all grabbers\n"
    "  --cl-folder DIR    folder of the grabber libraries (kind 1)\n"
    "  --register-base    send commands in register-base form; --crc adds the check\n"
    "  --verbose          show the line traffic on standard error\n"
    "query prints the value as the tool's pages show it; set exits 0 only when the camera\n"
    "acknowledged; raw sends LINE and prints every line received until the time limit\n"
    "passes with nothing new.\n";

int BaudIndexOf(int baud)
{
    for (uint32_t index = 0; index < 5; ++index)
        if (BaudFromIndex(index) == baud)
            return static_cast<int>(index);
    return -1;
}

bool IsWholeNumber(const std::string& text)
{
    size_t start = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (start >= text.size())
        return false;
    for (size_t i = start; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

bool IsComName(const std::string& port)
{
    return port.size() > 3 && port.compare(0, 3, "COM") == 0 && IsWholeNumber(port.substr(3));
}

}  // namespace

int KavroCli::Run(const std::vector<std::string>& args)
{
    Options options;
    if (!ParseOptions(args, options)) {
        std::cerr << "kavro-cli: " << m_error << "\n" << kUsage;
        return ExitUsage;
    }
    if (options.words.empty() || options.words[0] == "--help") {
        std::cout << kUsage;
        return options.words.empty() ? ExitUsage : ExitOk;
    }

    AppSettings settings;
    if (!ApplyOptions(options, settings)) {
        std::cerr << "kavro-cli: " << m_error << "\n";
        return ExitUsage;
    }
    CGen gen;
    SerialPort port;
    const std::string device = IsComName(options.port) ? "" : options.port;
    port.SetDeviceResolver([&gen, device](int comNumber) {
        if (!device.empty())
            return device;
        const std::string mapped = Profile::ComDevice(gen, comNumber);
        return mapped.empty() ? "/dev/ttyS" + std::to_string(comNumber - 1) : mapped;
    });
    if (IsComName(options.port))
        settings.commPort = static_cast<uint32_t>(NumberText::Decimal(options.port.substr(3)) - 1);
    ClSerialLib camLink(settings, GrabberFolder(options, gen));
    StderrHost host(options.verbose);
    m_host = &host;
    CRsCmd engine(settings, port, camLink, host);

    if (!engine.OpenPort(static_cast<int>(settings.commPort))) {
        engine.ClosePort();
        std::cerr << "Failed to initialize!" << std::endl;
        return ExitFailed;
    }
    const int result = RunCommand(engine, options);
    engine.ClosePort();
    return result;
}

// The profile is read only when the command needs it.
std::string KavroCli::GrabberFolder(const Options& options, CGen& gen)
{
    if (!options.clFolder.empty())
        return options.clFolder;
    return options.lineKind == LineClSpec2000 ? Profile::CamLinkFolder(gen) : ClSerialLib::kDefaultFolder;
}

bool KavroCli::ParseOptions(const std::vector<std::string>& args, Options& o)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() { return args[++i]; };
        if (!o.words.empty() || arg.compare(0, 2, "--") != 0 || arg == "--help")
            o.words.push_back(arg);
        else if (arg == "--register-base")
            o.registerBase = true;
        else if (arg == "--crc")
            o.crc = true;
        else if (arg == "--verbose")
            o.verbose = true;
        else if (!hasValue) {
            m_error = arg + " needs a value";
            return false;
        } else if (arg == "--port")
            o.port = value();
        else if (arg == "--baud")
            o.baud = NumberText::Decimal(value());
        else if (arg == "--timeout")
            o.timeoutMs = NumberText::Decimal(value());
        else if (arg == "--line-kind")
            o.lineKind = NumberText::Decimal(value());
        else if (arg == "--cl-index")
            o.clIndex = NumberText::Decimal(value());
        else if (arg == "--cl-name")
            o.clName = value();
        else if (arg == "--cl-folder")
            o.clFolder = value();
        else {
            m_error = "unknown option " + arg;
            return false;
        }
    }
    return true;
}

bool KavroCli::ApplyOptions(const Options& o, AppSettings& settings)
{
    const int baudIndex = BaudIndexOf(o.baud);
    if (baudIndex < 0) {
        m_error = "unsupported baud rate " + std::to_string(o.baud);
        return false;
    }
    if (o.lineKind < 0 || o.lineKind > 3) {
        m_error = "line kind must be 0, 1, 2 or 3";
        return false;
    }
    if (o.timeoutMs <= 0) {
        m_error = "time limit must be positive";
        return false;
    }
    settings.baudIndex = static_cast<uint32_t>(baudIndex);
    settings.serialMode = static_cast<uint32_t>(o.lineKind);
    settings.dllNo = static_cast<uint32_t>(o.clIndex);
    settings.camLinkSerialIndex = static_cast<uint32_t>(o.clIndex);
    settings.selectedPortName = o.clName;
    settings.commandFormat = o.registerBase ? 1 : 0;
    settings.commandCrc = o.crc ? 1 : 0;
    return true;
}

int KavroCli::RunCommand(CRsCmd& engine, const Options& o)
{
    const std::vector<std::string>& w = o.words;
    const std::string& verb = w[0];
    if (verb == "raw" && w.size() == 2)
        return Raw(engine, w[1], o.timeoutMs);
    if (verb == "identity" && w.size() == 1)
        return PrintIdentity(engine, o.registerBase, o.timeoutMs, std::cout);
    if ((verb == "query" && w.size() == 2) || (verb == "set" && w.size() == 3)) {
        const int index = CommandIndex(w[1]);
        if (index < 0) {
            std::cerr << "kavro-cli: unknown camera command \"" << w[1] << "\"" << std::endl;
            return ExitUsage;
        }
        return verb == "query" ? Query(engine, index, o.timeoutMs) : Set(engine, index, w[2], o.timeoutMs);
    }
    std::cerr << "kavro-cli: expected query NAME, set NAME VALUE or raw LINE\n" << kUsage;
    return ExitUsage;
}

int KavroCli::CommandIndex(const std::string& name)
{
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return CommandTable::Find(upper);
}

int KavroCli::Query(CRsCmd& engine, int index, int timeoutMs)
{
    int value = 0;
    CommandValue text;
    const bool isText = CommandTable::Row(index).kind == KindText;
    const int ok = isText ? engine.GetValue(index, 0, text, timeoutMs, 1, 1) : engine.GetInt(index, 0, value, timeoutMs);
    if (!ok) {
        std::cerr << "kavro-cli: no valid answer to " << engine.FormatQuery(index, 0, 0) << " within "
                  << timeoutMs << " ms" << std::endl;
        return ExitFailed;
    }
    if (isText)
        std::cout << text.text << std::endl;
    else
        std::cout << value << std::endl;
    return ExitOk;
}

int KavroCli::Set(CRsCmd& engine, int index, const std::string& value, int timeoutMs)
{
    const bool isText = CommandTable::Row(index).kind == KindText;
    if (!isText && !IsWholeNumber(value)) {
        std::cerr << "kavro-cli: \"" << value << "\" is not a whole number" << std::endl;
        return ExitUsage;
    }
    const int ok = isText ? engine.SetText(index, 0, value, timeoutMs)
                          : engine.SetInt(index, 0, NumberText::Decimal(value), timeoutMs);
    if (!ok) {
        std::cerr << "kavro-cli: the camera did not acknowledge " << engine.LastSentLine() << std::endl;
        return ExitFailed;
    }
    return ExitOk;
}

int KavroCli::Raw(CRsCmd& engine, const std::string& line, int timeoutMs)
{
    engine.ClearReplies();
    std::string text = line + "\r\n";
    engine.SendText(text, 1);
    m_host->printReceived = true;
    long long lastActivity = SteadyMs();
    while (SteadyMs() - lastActivity < timeoutMs) {
        if (engine.ReceiveLines(1) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(CRsCmd::kPollMs));
            continue;
        }
        engine.ClearReplies();   // already printed
        lastActivity = SteadyMs();
    }
    return ExitOk;
}
