#include "comm/serial/NetworkPortName.h"

#include <algorithm>
#include <cstring>

namespace {

struct ProtocolRow {
    const char* prefix;
    NetworkPortName::Protocol protocol;
};

constexpr ProtocolRow kProtocols[] = {
    {"tcp:", NetworkPortName::Protocol::Raw},
    {"rfc2217:", NetworkPortName::Protocol::Rfc2217},
};

constexpr char kForm[] = "a network port is tcp:HOST:PORT or rfc2217:HOST:PORT";
// The longest host name the name service takes.
constexpr size_t kLongestHost = 253;
constexpr unsigned kHighestPort = 65535;

const ProtocolRow* FindProtocol(const std::string& text)
{
    for (const ProtocolRow& row : kProtocols)
        if (text.compare(0, std::strlen(row.prefix), row.prefix) == 0)
            return &row;
    return nullptr;
}

bool IsNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
           || c == '_';
}

// Inside brackets: hexadecimal groups, dots of an embedded IPv4 address, and
// a zone after '%' ("fe80::1%eth0").
bool IsAddressCharacter(char c)
{
    return IsNameCharacter(c) || c == ':' || c == '%';
}

bool Fail(std::string* problem, const std::string& what)
{
    *problem = what + "; " + kForm;
    return false;
}

}  // namespace

bool NetworkPortName::HasPrefix(const std::string& text)
{
    return FindProtocol(text) != nullptr;
}

bool NetworkPortName::Parse(const std::string& text, NetworkPortName* name, std::string* problem)
{
    const ProtocolRow* row = FindProtocol(text);
    if (row == nullptr)
        return Fail(problem, "no tcp: or rfc2217: before the host");
    const std::string rest = text.substr(std::strlen(row->prefix));
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos || (!rest.empty() && rest.back() == ']'))
        return Fail(problem, "no port after the host");
    NetworkPortName parsed;
    parsed.protocol = row->protocol;
    if (!ParseHost(rest.substr(0, colon), &parsed.host, problem) || !ParsePort(rest.substr(colon + 1), &parsed.port, problem))
        return false;
    *name = parsed;
    return true;
}

bool NetworkPortName::ParseHost(const std::string& text, std::string* host, std::string* problem)
{
    const bool bracketed = text.size() >= 2 && text.front() == '[' && text.back() == ']';
    const std::string bare = bracketed ? text.substr(1, text.size() - 2) : text;
    if (bare.empty())
        return Fail(problem, "no host");
    if (bare.size() > kLongestHost)
        return Fail(problem, "a host of more than " + std::to_string(kLongestHost) + " characters");
    if (bracketed != (bare.find(':') != std::string::npos))
        return Fail(problem, "an IPv6 address, and nothing else, goes in brackets, as in tcp:[::1]:3003");
    if (!std::all_of(bare.begin(), bare.end(), bracketed ? IsAddressCharacter : IsNameCharacter))
        return Fail(problem, "the host \"" + bare + "\" holds a character no host name has");
    if (!bracketed && bare.front() == '-')
        return Fail(problem, "a host name does not begin with '-'");
    *host = bare;
    return true;
}

// Decimal digits only: no sign, no spaces, no leading "0x".
bool NetworkPortName::ParsePort(const std::string& text, uint16_t* port, std::string* problem)
{
    unsigned number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return Fail(problem, "the port \"" + text + "\" is not a whole number");
        number = number * 10 + static_cast<unsigned>(c - '0');
        if (number > kHighestPort)
            return Fail(problem, "the port " + text + " is out of range 1..65535");
    }
    if (text.empty())
        return Fail(problem, "no port after the host");
    if (number == 0)
        return Fail(problem, "the port 0 is out of range 1..65535");
    *port = static_cast<uint16_t>(number);
    return true;
}
