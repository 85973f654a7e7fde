#include "camsim/RegisterBaseForm.h"

#include <cctype>
#include <cstdio>

#include "camsim/LineCheck.h"
#include "camsim/ValueText.h"

namespace camsim {

namespace {

// ":R" + device(4) + "@" + address(4) + marker
constexpr size_t kHeadLength = 12;

bool IsHex(const std::string& text, size_t pos, size_t count)
{
    if (pos + count > text.size())
        return false;
    for (size_t i = pos; i < pos + count; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

std::string LowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool RegisterBaseForm::Parse(const std::string& line, RegisterBaseRequest& request)
{
    if (line.size() <= kHeadLength || line[0] != ':' || std::toupper(static_cast<unsigned char>(line[1])) != 'R'
        || !IsHex(line, 2, 4) || line[6] != '@' || !IsHex(line, 7, 4) || (line[11] != '#' && line[11] != '$'))
        return false;
    request = RegisterBaseRequest{};
    request.device = line.substr(2, 4);
    request.address = UpperCase(line.substr(7, 4));
    request.marker = line[11];
    const std::string rest = line.substr(kHeadLength);
    if (rest[0] == '=') {
        request.value = rest.substr(1);
        return true;
    }
    if (rest == "?") {
        request.query = true;
        return true;
    }
    return ParseChecked(line, rest, request);
}

bool RegisterBaseForm::ParseChecked(const std::string& line, const std::string& rest, RegisterBaseRequest& request)
{
    // rest = LL + ("=" value | "?") + two check characters
    if (rest.size() < 5 || !IsHex(rest, 0, 2) || (rest[2] != '=' && rest[2] != '?'))
        return false;
    const std::string body = line.substr(0, line.size() - 2);
    if (LowerCase(line.substr(line.size() - 2)) != CrcText(body))
        return false;
    const size_t length = std::stoul(rest.substr(0, 2), nullptr, 16);
    request.checked = true;
    if (rest[2] == '?') {
        request.query = true;
        return rest.size() == 5 && length == 4;
    }
    request.value = rest.substr(3, rest.size() - 5);
    return request.value.size() == length;
}

std::string RegisterBaseForm::ValueReply(const RegisterBaseRequest& request, const std::string& value)
{
    std::string reply = ":r" + request.device + "@" + request.address + request.marker;
    if (request.checked) {
        char length[8];
        std::snprintf(length, sizeof length, "%02x", static_cast<unsigned>(value.size() & 0xFF));
        reply += length;
    }
    reply += "=" + value;
    if (request.checked)
        reply += CrcText(reply);
    return reply + "\r";
}

}  // namespace camsim
