#pragma once

#include <array>
#include <cstddef>

#include "lut/LutTable.h"

using GammaTables = std::array<LutTable, 3>;   // red, green, blue

// The lenient reader of gamma data files, fed bytes as they come. CR, LF and
// CR LF each end a line. A line is taken in pieces of at most 127 characters
// (its line end counted), each handled as a line of its own. In each piece the digits before the first, second and third comma make
// the red, green and blue values (later fields are dropped; every character
// that is neither digit nor comma is ignored). A piece without any digit is
// skipped, so the header and empty lines are; every other piece fills the
// next entry, an empty field giving 0 and anything above 8191 giving 8191.
// From the 512th data piece on, each one replaces entry 511. Entries no piece
// reached keep what they held.
class GammaFileReader {
public:
    static constexpr int kPieceChars = 127;

    explicit GammaFileReader(GammaTables& tables) : m_tables(tables) {}

    void Feed(const char* bytes, std::size_t count);
    // The last piece when the file does not end with a line end.
    void Finish();

    int DataPieces() const { return m_dataPieces; }

private:
    void Take(char c);
    void EndPiece();

    GammaTables& m_tables;
    size_t m_row = 0;
    int m_dataPieces = 0;

    // ---- the piece being read
    bool m_afterCr = false;   // the last byte was a CR, so an LF now ends nothing
    int m_pieceLength = 0;
    size_t m_field = 0;
    bool m_hasDigit = false;
    std::array<int, 3> m_values{};   // capped above 8191, so a long run of digits cannot overflow
};
