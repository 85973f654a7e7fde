#pragma once

#include <string>

// Camera text on its way to a person: control characters and bytes outside
// printable ASCII are shown as \xHH, so a camera cannot retitle the terminal,
// move its cursor or write the clipboard. Messages and traffic on standard
// error are always escaped, since a log is read on a terminal later; results
// on standard output are escaped only for a terminal, so that scripts get
// what the camera holds.
class TerminalText {
public:
    static std::string Escaped(const std::string& text);
    // For standard output: escaped when `fd` is a terminal, else unchanged.
    static std::string For(int fd, const std::string& text);
};
