#include "files/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kChunkBytes = 64 * 1024;
const char kByteOrderMark[] = "\xEF\xBB\xBF";
const char kTooLarge[] = "larger than 64 MB, which no settings or gamma file is; not read";

}  // namespace

std::string InputFile::NameOf(const std::string& path)
{
    return path == kStandardInput ? "standard input" : path;
}

bool InputFile::Read(const std::string& path)
{
    m_text.clear();
    m_error.clear();
    const bool standardInput = path == kStandardInput;
    int fd = standardInput ? STDIN_FILENO : -1;
    while (fd < 0 && (fd = open(path.c_str(), O_RDONLY | O_CLOEXEC)) < 0 && errno == EINTR) {
    }
    if (fd < 0)
        return Fail(path, std::strerror(errno));
    const bool read = ReadAll(fd, path);
    if (!standardInput)
        close(fd);
    if (read && m_text.compare(0, 3, kByteOrderMark) == 0)
        m_text.erase(0, 3);
    return read;
}

// Until the end, whatever the input: a regular file's size only tells early
// that it is too large, since a file may grow while it is read.
bool InputFile::ReadAll(int fd, const std::string& path)
{
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<unsigned long long>(info.st_size) > kLargestBytes)
        return Fail(path, kTooLarge);
    char chunk[kChunkBytes];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Fail(path, std::strerror(errno));
        if (n == 0)
            return true;
        if (m_text.size() + static_cast<size_t>(n) > kLargestBytes)
            return Fail(path, kTooLarge);
        m_text.append(chunk, static_cast<size_t>(n));
    }
}

bool InputFile::Fail(const std::string& path, const std::string& why)
{
    m_text.clear();
    m_error = NameOf(path) + ": " + why;
    return false;
}
