#pragma once

#include <cstddef>
#include <string>

// An input read whole, in one pass, before anything is done with it: a
// regular file, a pipe, a FIFO, a device, or standard input ("-"). A pipe
// therefore gives what a file of the same text gives, and nothing needs to be
// read twice. An input larger than any settings or gamma file is refused, so
// /dev/zero ends at once instead of being read for ever.
class InputFile {
public:
    static constexpr size_t kLargestBytes = 64u << 20;
    static constexpr const char* kStandardInput = "-";

    // False with Error() when the input cannot be read or is too large.
    bool Read(const std::string& path);
    // The bytes; a UTF-8 byte-order mark at the start (a file saved by some
    // editors) is left out.
    const std::string& Text() const { return m_text; }
    // "PATH: why" after a failed Read.
    const std::string& Error() const { return m_error; }
    // The path as messages name it: "standard input" for "-".
    static std::string NameOf(const std::string& path);

private:
    bool ReadAll(int fd, const std::string& path);
    bool Fail(const std::string& path, const std::string& why);

    std::string m_text;
    std::string m_error;
};
