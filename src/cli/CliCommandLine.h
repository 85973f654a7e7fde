#pragma once

#include <string>
#include <vector>

// The command line of kavro-cli, read and judged in full before the port is
// touched: every option value, the command, the camera command's name and,
// for a bound setting, its value against the range the pages allow.
class CliCommandLine {
public:
    enum class Verb {
        None, Help, Query, Set, Raw,
        ReadLuts, SendLuts, ReadSettings, ApplySettings, StoreArea, LoadArea, Identity, Diff
    };

    // Option values, with their defaults.
    std::string port = "COM1";
    int baud = 9600;
    int timeoutMs = 3000;
    int replyWaitMs = 20;    // the camera's pause after each command before its reply is looked for
    bool timeoutGiven = false;   // --timeout was given: it then limits every command the run sends
    int lineKind = 0;
    int clIndex = 0;
    std::string clName;
    std::string clFolder;
    bool registerBase = false;
    bool crc = false;
    bool verbose = false;
    bool keepGoing = false;      // apply-settings, store-area all: go on after the camera stopped answering

    // The command.
    Verb verb = Verb::None;
    int commandIndex = -1;   // query and set: the camera command's row
    int value = 0;           // set of a number row
    std::string text;        // set of a text row: the value; raw: the line; file commands: the file;
    static constexpr int kAllAreas = -1;
    int area = 0;            // store-area, load-area: 0 Factory, 1..3 User1..User3; store-area: or kAllAreas
    bool factory = false;    // read-settings, apply-settings, diff: every line of the factory level

    // False with Error() naming the problem and what is valid.
    bool Parse(const std::vector<std::string>& args);
    // The time limit of a command whose own limit is `ownMs`: that limit, or --timeout when given.
    int TimeLimit(int ownMs) const { return timeoutGiven ? timeoutMs : ownMs; }
    const std::string& Error() const { return m_error; }

private:
    bool ParseOption(const std::vector<std::string>& args, size_t& i);
    bool ParseNumberOption(const std::string& option, const std::string& numberText, int min, int max,
                           const std::string& validText, int& out);
    bool CheckPort();
    bool CheckBaud();
    bool ParseCommand(const std::vector<std::string>& words);
    bool ParseName(const std::string& name);
    bool ParseSetValue(const std::string& valueText);
    bool ParseFileCommand(Verb fileVerb, const std::vector<std::string>& words);
    bool ParseAreaCommand(Verb areaVerb, const std::vector<std::string>& words);
    bool Fail(const std::string& error);

    std::string m_error;
};
