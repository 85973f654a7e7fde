#include "ClSimConfig.h"

#include <cstdlib>
#include <iostream>
#include <sstream>

namespace clsim {

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator)) {
        if (!part.empty())
            parts.push_back(part);
    }
    return parts;
}

// Decimal or 0x-prefixed hexadecimal; false when the whole text is not a number.
bool ParseNumber(const std::string& text, uint32_t& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const unsigned long number = std::strtoul(text.c_str(), &end, 0);
    if (*end != '\0' || number > UINT32_MAX)
        return false;
    value = static_cast<uint32_t>(number);
    return true;
}

void Warn(const std::string& what)
{
    std::cerr << "clsim: " << ClSimConfig::kVariable << ": " << what << '\n';
}

void Apply(ClSimConfig& config, const std::string& key, const std::string& value)
{
    uint32_t number = 0;
    if (key == "device") {
        config.device = value;
    } else if (key == "makers") {
        config.makers = Split(value, ',');
    } else if (key == "ports" && ParseNumber(value, number)) {
        config.portsPerMaker = number;
    } else if (key == "rates" && ParseNumber(value, number)) {
        config.rateMask = number;
    } else if (key == "norates" && ParseNumber(value, number)) {
        config.noRates = number != 0;
    } else if (key == "badset" && ParseNumber(value, number)) {
        config.failSetRate = number != 0;
    } else if (key == "count" && ParseNumber(value, number)) {
        config.claimCount = true;
        config.claimedCount = number;
    } else {
        Warn("ignored '" + key + "=" + value + "'");
    }
}

}  // namespace

ClSimConfig ClSimConfig::FromEnvironment()
{
    const char* text = std::getenv(kVariable);
    return Parse(text != nullptr ? text : "");
}

ClSimConfig ClSimConfig::Parse(const std::string& text)
{
    ClSimConfig config;
    for (const std::string& item : Split(text, ';')) {
        const size_t equals = item.find('=');
        if (equals == std::string::npos)
            Apply(config, item, "");
        else
            Apply(config, item.substr(0, equals), item.substr(equals + 1));
    }
    return config;
}

uint32_t ClSimConfig::TotalPorts() const
{
    const uint64_t total = static_cast<uint64_t>(makers.size()) * portsPerMaker;
    return total > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(total);
}

std::string ClSimConfig::PortName(uint32_t portOfMaker)
{
    return "Port " + std::to_string(portOfMaker);
}

}  // namespace clsim
