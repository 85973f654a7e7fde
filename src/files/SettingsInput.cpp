#include "files/SettingsInput.h"

#include "files/InputFile.h"
#include "files/SettingsFileReader.h"

namespace {

bool IsBlank(const std::string& piece)
{
    return piece.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

bool SettingsInput::Read(const std::string& path, const CommandFormat& format, bool factory)
{
    InputFile input;
    if (!input.Read(path)) {
        Judge("", format, factory);
        m_error = input.Error();
        return false;
    }
    Judge(input.Text(), format, factory);
    return true;
}

void SettingsInput::Judge(const std::string& text, const CommandFormat& format, bool factory)
{
    m_lines.clear();
    m_skipped.clear();
    m_lineCount = 0;
    m_error.clear();
    SettingsFileReader reader(text);
    for (std::string piece; reader.Next(piece);) {
        SettingsLine line;
        line.lineNumber = ++m_lineCount;
        if (IsBlank(piece))
            continue;
        std::string reason;
        if (SettingsFile::ParseLine(format, piece, factory, line, reason))
            m_lines.push_back(line);
        else
            m_skipped.push_back(SkippedLine{m_lineCount, piece, reason});
    }
}

std::string SettingsInput::NothingUsable() const
{
    if (!m_lines.empty())
        return "";
    if (m_lineCount == 0)
        return "the file is empty";
    if (m_skipped.empty())
        return "the file holds only blank lines";
    return "no line of the file is a setting this level applies";
}

void SettingsInput::Apply(SettingsSink& sink) const
{
    int shown = -1;
    for (const SettingsLine& line : m_lines) {
        const int position = static_cast<int>((line.lineNumber - 1) * 100 / m_lineCount);
        if (position != shown)
            sink.Progress(shown = position);
        sink.Apply(line);
    }
}
