#include "comm/NumberText.h"

#include <cerrno>
#include <climits>
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

}  // namespace NumberText
