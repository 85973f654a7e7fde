#pragma once

#include <string>

// Camera text on its way to a terminal: control characters and bytes outside
// printable ASCII are shown as \xHH, so a camera cannot retitle the terminal,
// move its cursor or write the clipboard. Text for a pipe or a file keeps its
// bytes, so scripts get what the camera holds.
class TerminalText {
public:
    static std::string Escaped(const std::string& text);
    // Escaped when `fd` is a terminal, else unchanged.
    static std::string For(int fd, const std::string& text);
};
