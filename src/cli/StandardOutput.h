#pragma once

#include <string>

// Standard output as kavro-cli's results leave by it: each text is written at
// once, the first failure is remembered with its reason, and the run is
// judged at its end. A result that never arrived (a reader that went away, a
// full disk) is work not done.
class StandardOutput {
public:
    // Writes and flushes the text; false once anything failed.
    static bool Print(const std::string& text);
    // True when everything printed arrived; otherwise says why on standard error.
    static bool Delivered();

private:
    static int s_error;   // errno of the first failure, 0 while none
};
