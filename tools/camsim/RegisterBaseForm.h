#pragma once

#include <string>

namespace camsim {

// One received register-base line, e.g. ":R0000@A000#=100", ":R0000@A000#?",
// or with length and check ":R0000@A000#03=100" + 2 check characters.
struct RegisterBaseRequest {
    std::string device;    // the four digits after ":R", echoed in the reply
    std::string address;   // four hex digits, upper-cased
    char marker = '#';     // '#' integer register, '$' text register
    bool query = false;
    bool checked = false;  // carried a length field and check characters
    std::string value;     // of a setting
};

// The register-base form on the camera's side. Its replies end with CR only.
class RegisterBaseForm {
public:
    static bool IsRegisterBase(const std::string& line) { return !line.empty() && line[0] == ':'; }

    // Reads a line without its line end; false when it is malformed, its
    // length field is wrong or its check does not match.
    static bool Parse(const std::string& line, RegisterBaseRequest& request);

    // ":r0000@AAAA#=value" (with check: "#LL=value" + check), then CR.
    static std::string ValueReply(const RegisterBaseRequest& request, const std::string& value);
    static std::string OkReply() { return ":ok\r"; }
    static std::string ErrorReply() { return ":er\r"; }

private:
    static bool ParseChecked(const std::string& line, const std::string& rest, RegisterBaseRequest& request);
};

}  // namespace camsim
