#pragma once

#include <cstddef>
#include <string>

// Splits a settings file's text into lines the way the tool always has read
// it: a line longer than 255 characters comes in pieces of at most 255, each
// handled as a line of its own. CR alone, LF alone and CR LF each end a line,
// so files from any system read alike. Any bytes at all are taken.
class SettingsFileReader {
public:
    static constexpr size_t kPieceLength = 255;

    // The text must outlive the reader.
    explicit SettingsFileReader(const std::string& text) : m_text(text) {}

    // The next piece without its line end, or false at the end of the text.
    bool Next(std::string& piece);

private:
    const std::string& m_text;
    size_t m_position = 0;
};
