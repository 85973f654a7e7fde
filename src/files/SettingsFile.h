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
};

// What applying a file does with each usable line; the window sends and shows
// it, the command line only sends it.
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
    // Appears complete or not at all; an old file survives a failed write.
    static bool Write(const std::string& path, bool factory, const ValueOfCtrl& valueOf);

    // True when the piece is a setting that this level may apply: it names a
    // command bound to a control that holds a value, its value is a whole
    // number (decimal or "&H" hexadecimal) within that control's range.
    static bool ParseLine(const CommandFormat& format, const std::string& piece, bool factory, SettingsLine& line);

    // Reads the file piece by piece and hands every usable line to the sink.
    // False when the file cannot be read (nothing was applied then).
    static bool Apply(const std::string& path, const CommandFormat& format, bool factory, SettingsSink& sink);

    // Whether the binding row is written to a file at that level.
    static bool IsWritten(int row, bool factory);
};
