#include "files/SettingsFileReader.h"

SettingsFileReader::~SettingsFileReader()
{
    if (m_file)
        std::fclose(m_file);
}

bool SettingsFileReader::Open(const std::string& path)
{
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file)
        return false;
    std::string piece;
    while (Next(piece))
        ++m_pieceCount;
    const bool readToEnd = !std::ferror(m_file);
    std::rewind(m_file);
    return readToEnd;
}

bool SettingsFileReader::Next(std::string& piece)
{
    piece.clear();
    if (!m_file)
        return false;
    int c = 0;
    while (piece.size() < kPieceLength && (c = std::getc(m_file)) != EOF) {
        piece.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
    }
    return !piece.empty();
}
