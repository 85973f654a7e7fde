#include "files/SettingsComparison.h"

#include "comm/CommandTable.h"

void SettingsComparison::Load(const SettingsInput& input)
{
    m_lines = input.Lines();
    m_camera = ParamStore();
    m_failed = 0;
}

bool SettingsComparison::ReadCamera(const Query& query, const Progress& progress)
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        int value = 0;
        if (!query(m_lines[i].commandIndex, value)) {
            m_failed = i;
            return false;
        }
        SetCameraValue(m_lines[i].commandIndex, value);
        if (progress)
            progress(i + 1, m_lines.size());
    }
    return true;
}

int SettingsComparison::CameraValue(size_t index) const
{
    return index < m_lines.size() ? m_camera.Cur(m_lines[index].commandIndex) : 0;
}

bool SettingsComparison::Differs(size_t index) const
{
    return index < m_lines.size() && CameraValue(index) != m_lines[index].value;
}

size_t SettingsComparison::DifferenceCount() const
{
    size_t count = 0;
    for (size_t i = 0; i < m_lines.size(); ++i)
        count += Differs(i) ? 1u : 0u;
    return count;
}

void SettingsComparison::MarkApplied(size_t index)
{
    if (index < m_lines.size())
        SetCameraValue(m_lines[index].commandIndex, m_lines[index].value);
}

bool SettingsComparison::SetCameraValue(int commandIndex, int value)
{
    if (m_camera.Cur(commandIndex) == value)
        return false;
    return m_camera.SetParam(ParamStore::ParamIndex2CtrlId(commandIndex), value);
}

std::string SettingsComparison::DifferenceText(size_t index) const
{
    const SettingsLine& line = m_lines.at(index);
    return std::string(CommandTable::Row(line.commandIndex).mnemonic) + "=" + std::to_string(line.value) +
           " (camera: " + std::to_string(CameraValue(index)) + ")";
}
