#pragma once

#include <cstdio>
#include <string>

// Reads a settings file the way the tool always has: a line longer than 255
// characters comes in pieces of at most 255, each handled as a line of its
// own. Any bytes at all are taken; nothing is ever held beyond one piece.
class SettingsFileReader {
public:
    static constexpr size_t kPieceLength = 255;

    SettingsFileReader() = default;
    ~SettingsFileReader();
    SettingsFileReader(const SettingsFileReader&) = delete;
    SettingsFileReader& operator=(const SettingsFileReader&) = delete;

    // Opens the file and counts its pieces; false when it cannot be read.
    bool Open(const std::string& path);
    long long PieceCount() const { return m_pieceCount; }
    // The next piece with its line end, or false at the end of the file.
    bool Next(std::string& piece);

private:
    std::FILE* m_file = nullptr;
    long long m_pieceCount = 0;
};
