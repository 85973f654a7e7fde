#include "files/SettingsFileReader.h"

#include <algorithm>

bool SettingsFileReader::Next(std::string& piece)
{
    if (m_position >= m_text.size())
        return false;
    const size_t end = std::min(m_text.find_first_of("\r\n", m_position), m_text.size());
    const size_t length = std::min(end - m_position, kPieceLength);
    piece.assign(m_text, m_position, length);
    m_position += length;
    if (m_position == end && end < m_text.size()) {   // the line ends here, not only the piece
        const bool crLf = m_text[end] == '\r' && end + 1 < m_text.size() && m_text[end + 1] == '\n';
        m_position += crLf ? 2 : 1;
    }
    return true;
}
