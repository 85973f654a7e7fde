#include "camsim/ValueText.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace camsim {

namespace {

bool ParseHex(const std::string& digits, int& value)
{
    if (digits.empty() || digits.size() > 8)
        return false;
    for (char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    value = static_cast<int>(static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16)));
    return true;
}

bool ParseDecimal(const std::string& text, int& value)
{
    size_t first = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (first == text.size())
        return false;
    for (size_t i = first; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    errno = 0;
    long long number = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || number < INT_MIN || number > INT_MAX)
        return false;
    value = static_cast<int>(number);
    return true;
}

}  // namespace

bool ParseValue(const std::string& text, int& value)
{
    if (text.empty())
        return false;
    if (text.size() >= 2 && text[0] == '&' && std::toupper(static_cast<unsigned char>(text[1])) == 'H')
        return ParseHex(text.substr(2), value);
    return ParseDecimal(text, value);
}

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string WithoutSpaces(const std::string& text)
{
    std::string result;
    for (char c : text) {
        if (c != ' ')
            result += c;
    }
    return result;
}

}  // namespace camsim
