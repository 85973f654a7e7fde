#pragma once

#include <string>
#include <vector>

#include "files/SettingsFile.h"

class CommandFormat;

// A line of a settings file that applying leaves out, and why.
struct SkippedLine {
    long long lineNumber = 0;
    std::string text;     // as the file holds it, without its line end
    std::string reason;
};

// A settings file read whole and judged line by line before anything is sent:
// the lines applying sends at a level, in file order, and the lines it skips
// with their reason. The window's "&Open" and compare and kavro-cli's
// apply-settings and diff all take their lines from here, so they send and
// compare the same lines. Blank lines are neither applied nor skipped.
class SettingsInput {
public:
    // Reads the input (a file, a pipe, "-" for standard input) and judges it;
    // false with Error() when it cannot be read.
    bool Read(const std::string& path, const CommandFormat& format, bool factory);
    // Judges a file's text.
    void Judge(const std::string& text, const CommandFormat& format, bool factory);

    const std::vector<SettingsLine>& Lines() const { return m_lines; }
    const std::vector<SkippedLine>& Skipped() const { return m_skipped; }
    long long LineCount() const { return m_lineCount; }
    // "PATH: why" after a failed Read.
    const std::string& Error() const { return m_error; }
    // "" when some line can be applied; otherwise why nothing can ("the file
    // is empty", "no line of the file is a setting this level applies").
    std::string NothingUsable() const;

    // Hands every line to the sink in file order; the bar follows the lines of
    // the file, so a long file moves it however few of its lines are usable.
    void Apply(SettingsSink& sink) const;

private:
    std::vector<SettingsLine> m_lines;
    std::vector<SkippedLine> m_skipped;
    long long m_lineCount = 0;
    std::string m_error;
};
