#include "files/SettingsComparison.h"

#include "comm/CommandTable.h"

void SettingsComparison::Load(const SettingsInput& input)
{
    m_lines.clear();
    m_failed = 0;
    for (const SettingsLine& line : input.Lines())
        m_lines.push_back(ComparedLine{line, 0});
}

bool SettingsComparison::ReadCamera(const Query& query, const Progress& progress)
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (!query(m_lines[i].line.commandIndex, m_lines[i].cameraValue)) {
            m_failed = i;
            return false;
        }
        if (progress)
            progress(i + 1, m_lines.size());
    }
    return true;
}

size_t SettingsComparison::DifferenceCount() const
{
    size_t count = 0;
    for (const ComparedLine& line : m_lines)
        count += line.Differs() ? 1u : 0u;
    return count;
}

void SettingsComparison::MarkApplied(size_t index)
{
    if (index < m_lines.size())
        m_lines[index].cameraValue = m_lines[index].line.value;
}

bool SettingsComparison::SetCameraValue(int commandIndex, int value)
{
    bool changed = false;
    for (ComparedLine& line : m_lines)
        if (line.line.commandIndex == commandIndex && line.cameraValue != value) {
            line.cameraValue = value;
            changed = true;
        }
    return changed;
}

std::string SettingsComparison::DifferenceText(const ComparedLine& line)
{
    return std::string(CommandTable::Row(line.line.commandIndex).mnemonic) + "=" + std::to_string(line.line.value) +
           " (camera: " + std::to_string(line.cameraValue) + ")";
}
