#include "files/SafeFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "storage/ReplaceFile.h"

namespace {

// Every byte, however the system splits the writes.
bool WriteFully(int fd, const std::string& content, std::string& error)
{
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = std::strerror(n < 0 ? errno : ENOSPC);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool Failed(const std::string& path, const std::string& error, std::string* why)
{
    if (why)
        *why = path + ": " + error;
    return false;
}

}  // namespace

std::string SafeFile::CheckWritable(const std::string& path)
{
    std::string target;
    std::string error;
    return ReplaceFile::CheckWritable(path, target, error) ? std::string() : path + ": " + error;
}

bool SafeFile::WriteAll(const std::string& path, const std::string& content, std::string* why)
{
    std::string target;
    std::string error;
    if (!ReplaceFile::CheckWritable(path, target, error))
        return Failed(path, error, why);
    std::string temporary;
    const int fd = ReplaceFile::CreateTemporary(target, temporary, error);
    if (fd < 0)
        return Failed(path, error, why);
    if (!WriteFully(fd, content, error)) {
        ReplaceFile::Discard(fd, temporary);
        return Failed(path, error, why);
    }
    return ReplaceFile::Commit(fd, temporary, target, error) || Failed(path, error, why);
}

void SafeFile::RemoveTemporaryForSignal()
{
    ReplaceFile::RemoveTemporaryForSignal();
}
