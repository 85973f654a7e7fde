#pragma once

#include <functional>
#include <string>

class CommandFormat;

// One line of a settings file that may be applied: the command, the first
// control bound to it, and the value as that control shows it.
struct SettingsLine {
    int commandIndex = -1;
    int ctrlId = 0;
    int value = 0;
    long long lineNumber = 0;   // where the file holds it, 1 for the first line
};

// What applying a file does with each usable line (see SettingsInput); the
// window sends and shows it, the command line only sends it.
class SettingsSink {
public:
    virtual ~SettingsSink() = default;
    // 0..100, called only when the position changes.
    virtual void Progress(int position) = 0;
    virtual void Apply(const SettingsLine& line) = 0;
};

// The camera settings file (*.cam): one NAME=value line per value-holding
// binding row, in binding-table order, CR LF after each. Shared by the main
// window and kavro-cli so that both write and apply a file alike.
class SettingsFile {
public:
    // Value of the control with that id, as the pages hold it.
    using ValueOfCtrl = std::function<int(int ctrlId)>;

    // The file's text at user or factory level.
    static std::string Compose(bool factory, const ValueOfCtrl& valueOf);
    // Appears complete or not at all; an old file survives a failed write,
    // `why` then saying so ("PATH: why").
    static bool Write(const std::string& path, bool factory, const ValueOfCtrl& valueOf, std::string* why = nullptr);

    // True when the piece is a setting that this level may apply: it names a
    // command bound to a control that holds a value, and its value is a whole
    // number (decimal or "&H" hexadecimal) that fits the camera's register.
    // The pages' ranges do not apply: the camera judges its own values, and a
    // file written from a camera holding values the pages do not offer must
    // come back whole. Otherwise false with `reason`, as a person reads it.
    static bool ParseLine(const CommandFormat& format, const std::string& piece, bool factory, SettingsLine& line,
                          std::string& reason);

    // Whether the binding row is written to a file at that level.
    static bool IsWritten(int row, bool factory);
};
