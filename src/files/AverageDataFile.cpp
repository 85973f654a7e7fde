#include "files/AverageDataFile.h"

#include <cstdio>
#include <utility>

#include "files/SafeFile.h"

AverageDataFile::AverageDataFile(std::string path) : m_path(std::move(path)) {}

bool AverageDataFile::Start()
{
    m_content = std::string(kHeader) + "\r\n";
    return SafeFile::WriteAll(m_path, m_content);
}

bool AverageDataFile::Add(int block, int value)
{
    char line[32];
    std::snprintf(line, sizeof line, "%d,%d\r\n", block, value);
    if (!SafeFile::WriteAll(m_path, m_content + line))
        return false;
    m_content += line;
    return true;
}
