#include "files/GammaFileReader.h"

namespace {

constexpr int kAboveRange = kLutMaxValue + 1;

}  // namespace

void GammaFileReader::Feed(const char* bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        Take(bytes[i]);
}

void GammaFileReader::Finish()
{
    if (m_pieceLength > 0)
        EndPiece();
}

void GammaFileReader::Take(char c)
{
    // CR, LF and CR LF each end a line; the LF of a CR LF ends nothing more.
    const bool afterCr = m_afterCr;
    m_afterCr = c == '\r';
    if (c == '\n' && afterCr)
        return;
    ++m_pieceLength;
    if (c >= '0' && c <= '9') {
        m_hasDigit = true;
        if (m_field < 3) {
            int& value = m_values[m_field];
            value = value * 10 + (c - '0');
            if (value > kAboveRange)
                value = kAboveRange;
        }
    } else if (c == ',') {
        if (m_field < 3)
            ++m_field;
    }
    if (c == '\n' || c == '\r' || m_pieceLength == kPieceChars)
        EndPiece();
}

void GammaFileReader::EndPiece()
{
    if (m_hasDigit) {
        for (size_t ch = 0; ch < 3; ++ch)
            m_tables[ch][m_row] = ClampLutTop(m_values[ch]);
        if (m_row < kLutEntries - 1)
            ++m_row;
        ++m_dataPieces;
    }
    m_pieceLength = 0;
    m_field = 0;
    m_hasDigit = false;
    m_values = {};
}
