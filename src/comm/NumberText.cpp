#include "comm/NumberText.h"

#include <cerrno>
#include <climits>
#include <cctype>
#include <cstdlib>

namespace NumberText {

namespace {

int32_t ClampedLong(const std::string& text, int base)
{
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, base);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool IsSign(char c)
{
    return c == '+' || c == '-';
}

bool AllOf(const std::string& text, size_t from, int (*isDigit)(int))
{
    if (from >= text.size())
        return false;
    for (size_t i = from; i < text.size(); ++i)
        if (!isDigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

}  // namespace

int32_t Decimal(const std::string& text)
{
    return ClampedLong(text, 10);
}

int32_t Hex(const std::string& text)
{
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 16);
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

int32_t AutoBase(const std::string& text)
{
    return ClampedLong(text, 0);
}

double Floating(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr);
}

bool IsDecimal(const std::string& text)
{
    return AllOf(text, !text.empty() && IsSign(text[0]) ? 1 : 0, isdigit);
}

bool IsHex(const std::string& text)
{
    return AllOf(text, 0, isxdigit);
}

bool IsFloating(const std::string& text)
{
    const size_t point = text.find('.');
    if (point == std::string::npos)
        return IsDecimal(text);
    const std::string whole = text.substr(0, point);
    const std::string fraction = text.substr(point + 1);
    const bool wholeOk = whole.empty() || (whole.size() == 1 && IsSign(whole[0])) || IsDecimal(whole);
    const bool hasDigits = whole.find_first_of("0123456789") != std::string::npos || !fraction.empty();
    return wholeOk && hasDigits && (fraction.empty() || AllOf(fraction, 0, isdigit));
}

}  // namespace NumberText
