#include "camsim/CamsimOptions.h"

#include <map>

#include "camsim/PtyCamera.h"
#include "camsim/ValueText.h"

namespace camsim {

namespace {

bool ReadCount(const std::string& text, int& count)
{
    return ParseValue(text, count) && count >= 0;
}

bool ReadWithin(const std::string& text, int lowest, int highest, int& value)
{
    return ParseValue(text, value) && value >= lowest && value <= highest;
}

}  // namespace

std::string CamsimOptions::Usage()
{
    return "Usage: kavro-camsim [options]\n"
           "Runs a virtual camera on a pseudo-terminal and prints the device to open.\n"
           "  --link PATH            also make PATH a symbolic link to the device\n"
           "  --state FILE           load the setting areas from FILE, save them there at exit\n"
           "  --baud RATE            answer only while the line is set to RATE\n"
           "  --wire-baud RATE       keep a line's time at RATE (10 bits a byte): a command is\n"
           "                         taken once its bytes have crossed, the reply leaves at that pace\n"
           "  --think MS             the camera's time between a command's end and its reply\n"
           "  --delay MS             wait MS milliseconds before every reply\n"
           "  --swallow N            send no reply to the next N commands\n"
           "  --refuse               answer every command as unknown\n"
           "  --notice TEXT          send the line TEXT before every reply\n"
           "  --garbage N            send N noise bytes before the next reply\n"
           "  --overlong N           send N bytes without a line end instead of the next reply\n"
           "  --store-delay MS       a store into a setting area (SA, SA00) answers MS milliseconds later\n"
           "  --awb-result N         a white balance (AW) ends with result N (AWRS)\n"
           "  --unanswered NAME      give no answer to the commands NAME (e.g. AWRS, AVDY10);\n"
           "                         may be given more than once\n"
           "  --hangup-after-first   close the line instead of answering the first command\n"
           "  --stream-notices       answer the first command with notice lines without end\n"
           "                         (the --notice TEXT, else !!Overheat) at 9600 baud's pace\n"
           "  --stream-line          answer the first command with bytes that never end a line\n"
           "  --help                 show this text\n"
           "Stops on SIGTERM, SIGINT or SIGHUP.\n";
}

CamsimOptions CamsimOptions::Parse(int argc, const char* const* argv)
{
    using Flag = void (*)(CamsimOptions&);
    using Setter = bool (*)(CamsimOptions&, const std::string&);
    static const std::map<std::string, Flag> kFlags = {
        {"--help", [](CamsimOptions& o) { o.help = true; }},
        {"--refuse", [](CamsimOptions& o) { o.faults.refuseAll = true; }},
        {"--hangup-after-first", [](CamsimOptions& o) { o.faults.hangUpAfterNextCommand = true; }},
        {"--stream-notices", [](CamsimOptions& o) { o.faults.stream = Stream::Notices; }},
        {"--stream-line", [](CamsimOptions& o) { o.faults.stream = Stream::EndlessLine; }},
    };
    static const std::map<std::string, Setter> kValues = {
        {"--link", [](CamsimOptions& o, const std::string& v) { o.linkPath = v; return !v.empty(); }},
        {"--state", [](CamsimOptions& o, const std::string& v) { o.statePath = v; return !v.empty(); }},
        {"--notice", [](CamsimOptions& o, const std::string& v) { o.faults.noticeBeforeReply = v; return true; }},
        {"--baud", [](CamsimOptions& o, const std::string& v) {
             return ParseValue(v, o.baud) && PtyCamera::IsSupportedBaud(o.baud); }},
        {"--wire-baud", [](CamsimOptions& o, const std::string& v) {
             return ReadWithin(v, PtyCamera::kSlowestWireBaud, PtyCamera::kFastestWireBaud, o.wireBaud); }},
        {"--think", [](CamsimOptions& o, const std::string& v) {
             return ReadWithin(v, 0, PtyCamera::kLongestThinkMs, o.thinkMs); }},
        {"--delay", [](CamsimOptions& o, const std::string& v) { return ReadCount(v, o.faults.replyDelayMs); }},
        {"--swallow", [](CamsimOptions& o, const std::string& v) { return ReadCount(v, o.faults.swallowReplies); }},
        {"--garbage", [](CamsimOptions& o, const std::string& v) { return ReadCount(v, o.faults.garbageBytes); }},
        {"--overlong", [](CamsimOptions& o, const std::string& v) { return ReadCount(v, o.faults.overlongLine); }},
        {"--awb-result", [](CamsimOptions& o, const std::string& v) { return ReadCount(v, o.faults.awbResult); }},
        {"--unanswered", [](CamsimOptions& o, const std::string& v) {
             o.faults.silent.insert(UpperCase(v)); return !v.empty(); }},
        {"--store-delay", [](CamsimOptions& o, const std::string& v) { return ReadCount(v, o.faults.storeDelayMs); }},
    };

    CamsimOptions options;
    for (int i = 1; i < argc && options.error.empty(); ++i) {
        const std::string option = argv[i];
        auto flag = kFlags.find(option);
        auto setter = kValues.find(option);
        if (flag != kFlags.end())
            flag->second(options);
        else if (setter == kValues.end())
            options.error = "unknown option " + option;
        else if (i + 1 >= argc)
            options.error = option + " needs a value";
        else if (!setter->second(options, argv[++i]))
            options.error = "invalid value for " + option + ": " + argv[i];
    }
    return options;
}

}  // namespace camsim
