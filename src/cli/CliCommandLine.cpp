#include "cli/CliCommandLine.h"

#include <cctype>
#include <climits>

#include "settings/AppSettings.h"
#include "comm/CommandFormat.h"
#include "comm/CommandTable.h"
#include "comm/NumberText.h"
#include "comm/serial/NetworkPortName.h"
#include "comm/serial/SerialPort.h"
#include "params/ParamStore.h"

namespace {

constexpr int kLongestTimeoutMs = 600000;
constexpr int kHighestClIndex = 255;
constexpr int kHighestLineKind = 3;
constexpr int kBaudCount = 5;
const char kBaudList[] = "9600, 19200, 38400, 57600 or 115200";
const char kVerbs[] = "query NAME, set NAME VALUE, raw LINE, read-luts FILE.csv, send-luts FILE.csv, "
                      "read-settings FILE.cam [--factory], apply-settings FILE.cam [--factory], "
                      "diff FILE.cam [--factory], store-area N|all, load-area N or identity";

using NumberRead = NumberText::WholeRead;

NumberRead ReadWholeNumber(const std::string& text, int& out)
{
    int32_t number = 0;
    const NumberRead read = NumberText::ReadWhole(text, number);
    if (read == NumberRead::Ok)
        out = number;
    return read;
}

bool WholeNumber(const std::string& text, int& out)
{
    return ReadWholeNumber(text, out) == NumberRead::Ok;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

using Verb = CliCommandLine::Verb;

// Commands whose first word is the file they read or write.
Verb FileVerb(const std::string& name)
{
    return name == "read-luts"        ? Verb::ReadLuts
           : name == "send-luts"      ? Verb::SendLuts
           : name == "read-settings"  ? Verb::ReadSettings
           : name == "apply-settings" ? Verb::ApplySettings
           : name == "diff"           ? Verb::Diff
                                      : Verb::None;
}

// Commands on the camera's setting areas.
Verb AreaVerb(const std::string& name)
{
    return name == "store-area" ? Verb::StoreArea : name == "load-area" ? Verb::LoadArea : Verb::None;
}

constexpr int kHighestArea = 3;   // 0 Factory, 1..3 User1..User3

}  // namespace

bool CliCommandLine::Parse(const std::vector<std::string>& args)
{
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!words.empty() || arg.compare(0, 2, "--") != 0 || arg == "--help")
            words.push_back(arg);
        else if (!ParseOption(args, i))
            return false;
    }
    return CheckPort() && CheckBaud() && ParseCommand(words);
}

bool CliCommandLine::ParseOption(const std::vector<std::string>& args, size_t& i)
{
    const std::string& option = args[i];
    bool* flag = option == "--register-base" ? &registerBase
                 : option == "--crc"           ? &crc
                 : option == "--verbose"       ? &verbose
                 : option == "--keep-going"    ? &keepGoing
                                               : nullptr;
    if (flag != nullptr) {
        *flag = true;
        return true;
    }
    static const char* const kWithValue[] = {"--port", "--baud", "--timeout", "--reply-wait", "--line-kind",
                                             "--cl-index", "--cl-name", "--cl-folder"};
    bool known = false;
    for (const char* name : kWithValue)
        known = known || option == name;
    if (!known)
        return Fail("unknown option " + option);
    if (i + 1 >= args.size())
        return Fail(option + " needs a value");
    const std::string& argument = args[++i];
    if (option == "--port")
        port = argument;
    else if (option == "--baud")
        return ParseNumberOption(option, argument, 1, INT_MAX, kBaudList, baud);
    else if (option == "--timeout") {
        timeoutGiven = true;
        return ParseNumberOption(option, argument, 1, kLongestTimeoutMs,
                                 "1.." + std::to_string(kLongestTimeoutMs) + " ms", timeoutMs);
    } else if (option == "--reply-wait")
        return ParseNumberOption(option, argument, 0, static_cast<int>(kReplyWaitLongestMs),
                                 "0.." + std::to_string(kReplyWaitLongestMs) + " ms", replyWaitMs);
    else if (option == "--line-kind")
        return ParseNumberOption(option, argument, 0, kHighestLineKind, "0, 1, 2 or 3", lineKind);
    else if (option == "--cl-index")
        return ParseNumberOption(option, argument, 0, kHighestClIndex,
                                 "0.." + std::to_string(kHighestClIndex), clIndex);
    else if (option == "--cl-name")
        clName = argument;
    else
        clFolder = argument;
    return true;
}

bool CliCommandLine::ParseNumberOption(const std::string& option, const std::string& numberText, int min,
                                       int max, const std::string& validText, int& out)
{
    int number = 0;
    const NumberRead read = ReadWholeNumber(numberText, number);
    if (read == NumberRead::NotWhole)
        return Fail(option + " \"" + numberText + "\" is not a whole number; valid: " + validText);
    if (read == NumberRead::TooLarge || number < min || number > max)
        return Fail(option + " " + numberText + " is out of range; valid: " + validText);
    out = number;
    return true;
}

bool CliCommandLine::CheckPort()
{
    if (port.empty())
        return Fail("--port needs a port name: COM1..COM16, a device path or tcp:HOST:PORT, rfc2217:HOST:PORT");
    // COM0 and COM17 are port names too, only not valid ones: never device paths.
    if (SerialPort::ComNumber(port) < 0)
        return Fail("no port " + port + "; valid: COM1..COM16, a device path or tcp:HOST:PORT, rfc2217:HOST:PORT");
    NetworkPortName name;
    std::string problem;
    if (NetworkPortName::HasPrefix(port) && !NetworkPortName::Parse(port, &name, &problem))
        return Fail("--port " + port + ": " + problem);
    return true;
}

bool CliCommandLine::CheckBaud()
{
    for (uint32_t index = 0; index < kBaudCount; ++index)
        if (BaudFromIndex(index) == baud)
            return true;
    const std::string where = lineKind == LineComPort ? port : "the Camera Link line";
    return Fail("--baud " + std::to_string(baud) + " is not a rate of " + where + "; valid: " + kBaudList);
}

bool CliCommandLine::ParseCommand(const std::vector<std::string>& words)
{
    if (words.empty())
        return Fail("no command; expected " + std::string(kVerbs));
    const std::string& name = words[0];
    if (name == "--help") {
        verb = Verb::Help;
        return true;
    }
    if (name == "query" && words.size() == 2) {
        verb = Verb::Query;
        return ParseName(words[1]);
    }
    if (name == "set" && words.size() == 3) {
        verb = Verb::Set;
        return ParseName(words[1]) && ParseSetValue(words[2]);
    }
    if (name == "identity" && words.size() == 1) {
        verb = Verb::Identity;
        return true;
    }
    if (name == "raw" && words.size() == 2) {
        verb = Verb::Raw;
        text = words[1];
        return true;
    }
    if (const Verb fileVerb = FileVerb(name); fileVerb != Verb::None)
        return ParseFileCommand(fileVerb, words);
    if (const Verb areaVerb = AreaVerb(name); areaVerb != Verb::None)
        return ParseAreaCommand(areaVerb, words);
    if (name == "query" || name == "set" || name == "raw" || name == "identity")
        return Fail(name + " expects " + (name == "query" ? "NAME" : name == "set" ? "NAME VALUE" : name == "raw" ? "LINE" : "no word")
                    + ", given " + std::to_string(words.size() - 1) + " word(s)");
    return Fail("unknown command \"" + name + "\"; expected " + kVerbs);
}

// FILE, and for the settings files an optional --factory after it.
bool CliCommandLine::ParseFileCommand(Verb fileVerb, const std::vector<std::string>& words)
{
    const bool settings =
        fileVerb == Verb::ReadSettings || fileVerb == Verb::ApplySettings || fileVerb == Verb::Diff;
    const std::string expected = words[0] + (settings ? " expects FILE.cam [--factory]" : " expects FILE.csv");
    factory = settings && words.size() == 3 && words[2] == "--factory";
    if (words.size() != (factory ? 3u : 2u) || words[1].empty())
        return Fail(expected);
    verb = fileVerb;
    text = words[1];
    return true;
}

bool CliCommandLine::ParseAreaCommand(Verb areaVerb, const std::vector<std::string>& words)
{
    const bool allowAll = areaVerb == Verb::StoreArea;
    const std::string valid = std::string("0 (Factory), 1, 2 or 3 (User1..User3)") + (allowAll ? " or all" : "");
    if (words.size() != 2)
        return Fail(words[0] + " expects N: " + valid);
    const bool isAll = allowAll && words[1] == "all";
    if (!isAll && !(WholeNumber(words[1], area) && area >= 0 && area <= kHighestArea))
        return Fail(words[0] + " " + words[1] + ": not an area; valid: " + valid);
    verb = areaVerb;
    if (isAll)
        area = kAllAreas;
    return true;
}

bool CliCommandLine::ParseName(const std::string& name)
{
    commandIndex = CommandTable::Find(Upper(name));
    if (commandIndex < 0)
        return Fail("unknown camera command \"" + name + "\"");
    const char* mnemonic = CommandTable::Row(commandIndex).mnemonic;
    if (registerBase && !CommandTable::HasRegAddress(commandIndex))
        return Fail(std::string(mnemonic) + " has no register address; it can be sent without --register-base");
    return true;
}

bool CliCommandLine::ParseSetValue(const std::string& valueText)
{
    const std::string mnemonic = CommandTable::Row(commandIndex).mnemonic;
    if (CommandTable::Row(commandIndex).kind == KindText) {
        // A line end or escape inside the text would end the command early or reach a terminal.
        if (CommandFormat::HoldsControlCharacter(valueText))
            return Fail("the text for " + mnemonic + " holds a control character; it cannot be sent");
        text = valueText;
        return true;
    }
    const std::string accepted = ParamStore::AcceptedText(commandIndex);
    const bool bounded = !accepted.empty();   // a command no control binds takes any 32-bit value
    const std::string validText = bounded ? accepted : std::to_string(INT_MIN) + ".." + std::to_string(INT_MAX);
    const NumberRead read = ReadWholeNumber(valueText, value);
    if (read == NumberRead::NotWhole)
        return Fail("\"" + valueText + "\" is not a whole number; " + mnemonic + " takes " + validText);
    if (read == NumberRead::TooLarge || (bounded && !ParamStore::Accepts(commandIndex, value)))
        return Fail(valueText + " is outside the range of " + mnemonic + ": " + validText);
    return true;
}

bool CliCommandLine::Fail(const std::string& error)
{
    m_error = error;
    return false;
}
