#include "storage/ReplaceFile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

namespace {

constexpr int kMostLinks = 40;   // the system's own limit on a chain of links
constexpr size_t kSuffixLength = 6;
constexpr int kNameAttempts = 100;
constexpr char kSuffixLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The temporary file being written, for a stop signal's handler: the name is
// complete before the flag says so, and the flag is down before it changes.
char s_temporary[PATH_MAX];
volatile sig_atomic_t s_temporaryArmed = 0;

void Arm(const std::string& temporary)
{
    std::memcpy(s_temporary, temporary.c_str(), temporary.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    s_temporaryArmed = 1;
}

void Disarm()
{
    s_temporaryArmed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

std::string Reason(int error)
{
    return std::strerror(error);
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a special file";
}

std::string RandomSuffix()
{
    static unsigned s_counter = 0;   // when the system gives no random bytes, names still differ
    unsigned char bytes[kSuffixLength];
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes))
        for (unsigned char& byte : bytes)
            byte = static_cast<unsigned char>(++s_counter * 131u + static_cast<unsigned>(getpid()));
    std::string suffix;
    for (unsigned char byte : bytes)
        suffix.push_back(kSuffixLetters[byte % (sizeof kSuffixLetters - 1)]);
    return suffix;
}

// Only root may give a file to another user; anyone may keep a group they belong to.
bool KeepModeAndOwner(int fd, const std::string& target, std::string& error)
{
    struct stat old {};
    if (stat(target.c_str(), &old) != 0)
        return true;   // a new file keeps what the umask gave it
    if (fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)!fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    if (fchmod(fd, old.st_mode & 07777) == 0)   // after the owner: a change of owner clears set-id bits
        return true;
    error = Reason(errno);
    return false;
}

// A folder that cannot be synced (some file systems refuse) still holds the
// renamed file; only a failing disk is a failure.
bool SyncFolder(const std::string& folder, std::string& error)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool failed = fsync(fd) != 0 && errno == EIO;
    close(fd);
    if (failed)
        error = Reason(EIO);
    return !failed;
}

}  // namespace

bool ReplaceFile::Target(const std::string& path, std::string& target, std::string& error)
{
    target = path;
    for (int link = 0; link <= kMostLinks; ++link) {
        struct stat info {};
        if (lstat(target.c_str(), &info) != 0) {
            if (errno == ENOENT)
                return true;   // a new file; a missing folder shows when it is made
            error = Reason(errno);
            return false;
        }
        if (S_ISREG(info.st_mode))
            return true;
        if (!S_ISLNK(info.st_mode)) {
            const std::string kind = std::string(KindOf(info.st_mode)) + ", not a regular file";
            error = target == path ? kind : "it leads to " + target + ", " + kind;
            return false;
        }
        char next[PATH_MAX];
        const ssize_t length = readlink(target.c_str(), next, sizeof next);
        if (length < 0 || static_cast<size_t>(length) >= sizeof next) {
            error = Reason(length < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        const std::string linked(next, static_cast<size_t>(length));
        target = !linked.empty() && linked[0] == '/' ? linked : FolderOf(target) + "/" + linked;
    }
    error = Reason(ELOOP);
    return false;
}

bool ReplaceFile::CheckWritable(const std::string& path, std::string& target, std::string& error)
{
    if (!Target(path, target, error))
        return false;
    if (access(target.c_str(), F_OK) == 0 && access(target.c_str(), W_OK) != 0) {
        error = Reason(errno);
        return false;
    }
    const std::string folder = FolderOf(target);
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        error = "its folder " + folder + ": " + Reason(errno);
        return false;
    }
    return true;
}

int ReplaceFile::CreateTemporary(const std::string& target, std::string& temporary, std::string& error)
{
    std::string name = NameOf(target);
    name.resize(std::min(name.size(), static_cast<size_t>(NAME_MAX) - 1 - kSuffixLength));   // "." and the suffix
    struct stat old {};
    // A replacement stays private until it takes the old file's mode; a new
    // file gets what the umask gives any new file.
    const mode_t mode = stat(target.c_str(), &old) == 0 ? 0600 : 0666;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = FolderOf(target) + "/" + name + "." + RandomSuffix();
        if (temporary.size() >= sizeof s_temporary) {
            error = Reason(ENAMETOOLONG);
            return -1;
        }
        Arm(temporary);
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return fd;
        const int failure = errno;
        Disarm();
        if (failure != EEXIST) {
            error = Reason(failure);
            return -1;
        }
    }
    error = Reason(EEXIST);
    return -1;
}

bool ReplaceFile::Commit(int fd, const std::string& temporary, const std::string& target, std::string& error)
{
    bool done = KeepModeAndOwner(fd, target, error);
    if (done && fsync(fd) != 0) {
        error = Reason(errno);
        done = false;
    }
    if (close(fd) != 0 && done) {
        error = Reason(errno);
        done = false;
    }
    if (done && rename(temporary.c_str(), target.c_str()) != 0) {
        error = Reason(errno);
        done = false;
    }
    if (!done)
        unlink(temporary.c_str());
    Disarm();
    return done && SyncFolder(FolderOf(target), error);
}

bool ReplaceFile::CommitFile(const std::string& temporary, const std::string& target, std::string& error)
{
    const int fd = open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = Reason(errno);
        unlink(temporary.c_str());
        return false;
    }
    return Commit(fd, temporary, target, error);
}

void ReplaceFile::Discard(int fd, const std::string& temporary)
{
    close(fd);
    unlink(temporary.c_str());
    Disarm();
}

void ReplaceFile::RemoveTemporaryForSignal()
{
    if (s_temporaryArmed)
        unlink(s_temporary);
}
