#include "comm/serial/PortLock.h"

#include "comm/serial/SystemError.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {
// The other holder writes one command line, a few milliseconds at most.
constexpr std::chrono::milliseconds kRetryPause{2};
}  // namespace

PortLock::PortLock(const std::string& name)
    : m_path(LockFilePath(name))
{
    // Private to the user; O_NOFOLLOW so a planted link in /tmp is not followed.
    m_fileFd = open(m_path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fileFd < 0)
        ReportSystemError(m_path, "open lock file", errno);
}

PortLock::~PortLock()
{
    if (m_fileFd >= 0)
        close(m_fileFd);
}

std::string PortLock::LockFilePath(const std::string& name)
{
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtimeDir && *runtimeDir ? runtimeDir : "/tmp";
    return folder + "/" + name + ".lock";
}

void PortLock::lock()
{
    m_threadMutex.lock();
    if (m_fileFd >= 0)
        LockFile();
}

void PortLock::unlock()
{
    if (m_fileFd >= 0 && flock(m_fileFd, LOCK_UN) != 0)
        AbandonFile("unlock");
    m_threadMutex.unlock();
}

// Non-blocking attempts with short pauses until the other process lets go.
void PortLock::LockFile()
{
    while (flock(m_fileFd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            std::this_thread::sleep_for(kRetryPause);
        else if (errno != EINTR)
            return AbandonFile("lock");
    }
}

// A lock file that fails once is given up, so the failure is reported once.
void PortLock::AbandonFile(const char* action)
{
    ReportSystemError(m_path, action, errno);
    close(m_fileFd);
    m_fileFd = -1;
}
