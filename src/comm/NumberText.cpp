#include "comm/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cctype>
#include <cstdlib>

namespace NumberText {

namespace {

int32_t ClampedLong(const std::string& text, int base)
{
    errno = 0;
    return ClampToInt(std::strtoll(text.c_str(), nullptr, base));
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

// Digits of the base, at least one, each taken into a magnitude that stops
// growing past 2^32 so that no run of digits can overflow.
bool ReadDigits(const std::string& text, size_t from, unsigned base, unsigned long long& magnitude)
{
    constexpr unsigned long long kBeyond32Bits = 1ULL << 32;
    if (from >= text.size())
        return false;
    magnitude = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(text[i])));
        const unsigned digit = std::isdigit(c) ? c - '0' : std::isxdigit(c) ? c - 'a' + 10 : base;
        if (digit >= base)
            return false;
        magnitude = std::min(magnitude * base + digit, kBeyond32Bits);
    }
    return true;
}

bool StartsWith(const std::string& text, size_t at, const char* lower, const char* upper)
{
    return text.compare(at, 2, lower) == 0 || text.compare(at, 2, upper) == 0;
}

}  // namespace

int ClampToInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

WholeRead ReadWhole(const std::string& text, int32_t& out, WholeForms forms)
{
    unsigned long long magnitude = 0;
    if (StartsWith(text, 0, "&h", "&H")) {
        if (!ReadDigits(text, 2, 16, magnitude))
            return WholeRead::NotWhole;
        if (magnitude > UINT32_MAX)
            return WholeRead::TooLarge;
        out = static_cast<int32_t>(static_cast<uint32_t>(magnitude));   // a register's bit pattern
        return WholeRead::Ok;
    }
    const bool negative = !text.empty() && text[0] == '-';
    size_t from = !text.empty() && IsSign(text[0]) ? 1 : 0;
    unsigned base = 10;
    if (forms == WholeForms::Reply && StartsWith(text, from, "0x", "0X")) {
        base = 16;
        from += 2;
    } else if (forms == WholeForms::Reply && text.size() > from + 1 && text[from] == '0') {
        base = 8;
        from += 1;
    }
    if (!ReadDigits(text, from, base, magnitude))
        return WholeRead::NotWhole;
    const long long value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (value < INT32_MIN || value > INT32_MAX)
        return WholeRead::TooLarge;
    out = static_cast<int32_t>(value);
    return WholeRead::Ok;
}

bool IsWhole(const std::string& text, int32_t& out, WholeForms forms)
{
    return ReadWhole(text, out, forms) == WholeRead::Ok;
}

int32_t Decimal(const std::string& text)
{
    return ClampedLong(text, 10);
}

int32_t Hex(const std::string& text)
{
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 16);
    return static_cast<int32_t>(static_cast<uint32_t>(value));
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
