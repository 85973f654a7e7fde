#include "comm/serial/PortLock.h"

#include "comm/serial/SystemError.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
// The other holder writes one command line, a few milliseconds at most.
constexpr std::chrono::milliseconds kRetryPause{2};

constexpr char kBaseName[] = "Rs Mutex";
// Leaves room within a file name's 255 bytes for the base name and ".lock".
constexpr size_t kLongestKeyPart = 200;

// Printable ASCII but for the characters the name gives a meaning to.
bool KeptAsItIs(unsigned char c)
{
    return c > 0x20 && c < 0x7F && c != '/' && c != '_' && c != '%';
}

std::string Escaped(const std::string& key)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if (KeptAsItIs(byte)) {
            escaped += c;
        } else if (c == '/') {
            escaped += '_';
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
        }
    }
    return escaped;
}

// FNV-1a, 64 bits: the same key gives the same name in every copy of the tool.
std::string Hash(const std::string& key)
{
    uint64_t hash = 14695981039346656037ull;
    for (const char c : key)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string EnvironmentFolder(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0' ? value : "";
}
}  // namespace

PortLock::PortLock(const std::string& name)
    : m_path(LockFilePath(name))
{
    if (m_path.empty())
        return;
    // Private to the user; O_NOFOLLOW so a planted link is not followed.
    m_fileFd = open(m_path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fileFd < 0)
        ReportSystemError(m_path, "open lock file", errno);
}

PortLock::~PortLock()
{
    if (m_fileFd >= 0)
        close(m_fileFd);
}

std::string PortLock::NameFor(const std::string& portKey)
{
    // Device paths all begin with '/'; the name need not.
    const std::string key = !portKey.empty() && portKey[0] == '/' ? portKey.substr(1) : portKey;
    std::string escaped = Escaped(key);
    if (escaped.size() > kLongestKeyPart)
        escaped = escaped.substr(0, kLongestKeyPart - 17) + "~" + Hash(key);
    return std::string(kBaseName) + " " + escaped;
}

std::string PortLock::LockFilePath(const std::string& name)
{
    std::string folder = EnvironmentFolder("XDG_RUNTIME_DIR");
    if (folder.empty())
        folder = PrivateFolder();
    return folder.empty() ? "" : folder + "/" + name + ".lock";
}

// A shared folder such as /tmp lets anyone create any name, so the lock file
// lives in a folder that only this user can enter; one that someone else
// made, or a link, is never used.
std::string PortLock::PrivateFolder()
{
    std::string base = EnvironmentFolder("TMPDIR");
    if (base.empty())
        base = "/tmp";
    const std::string folder = base + "/kavro-" + std::to_string(geteuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        ReportSystemError(folder, "create lock folder", errno);
        return "";
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
        ReportSerialProblem(folder, "not a folder of this user's own; the port lock orders this process only");
        return "";
    }
    if ((info.st_mode & 0777) != 0700 && chmod(folder.c_str(), 0700) != 0) {
        ReportSystemError(folder, "make lock folder private", errno);
        return "";
    }
    return folder;
}

bool PortLock::try_lock_for(std::chrono::milliseconds limit)
{
    const Deadline deadline = std::chrono::steady_clock::now() + limit;
    if (!LockThreads(deadline))
        return false;
    if (m_fileFd >= 0 && !LockFile(deadline)) {
        m_threadMutex.unlock();
        return false;
    }
    return true;
}

// Tried in short pauses rather than with a timed mutex, whose timed wait the
// thread sanitizer of this toolchain cannot see (it reports every unlock).
bool PortLock::LockThreads(Deadline deadline)
{
    while (!m_threadMutex.try_lock()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void PortLock::unlock()
{
    if (m_fileFd >= 0 && flock(m_fileFd, LOCK_UN) != 0)
        AbandonFile("unlock");
    m_threadMutex.unlock();
}

// Non-blocking attempts with short pauses until the other process lets go
// or the deadline passes. True when the lock is ours (or the file was given up).
bool PortLock::LockFile(Deadline deadline)
{
    while (flock(m_fileFd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            AbandonFile("lock");
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kRetryPause);
    }
    return true;
}

// A lock file that fails once is given up, so the failure is reported once.
void PortLock::AbandonFile(const char* action)
{
    ReportSystemError(m_path, action, errno);
    close(m_fileFd);
    m_fileFd = -1;
}
