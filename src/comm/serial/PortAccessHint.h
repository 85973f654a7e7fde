#pragma once

#include <string>

// What to tell a user who may not open a serial device. On Debian serial
// devices belong to the group "dialout": its members may use them, and a
// user who joins it gets the group at the next login.
class PortAccessHint {
public:
    // Empty when this process may read and write the device, or when the
    // device cannot be looked at; else names the device's group and how to
    // join it, on lines without a trailing line end.
    static std::string For(const std::string& device);
    // Writes the hint, if there is one, to standard error.
    static void Report(const std::string& device);

private:
    static std::string GroupName(unsigned int groupId);
};
