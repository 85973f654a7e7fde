#pragma once

#include <mutex>
#include <string>

// A named lock shared by every process of the user and every thread of this
// one: a std::mutex orders the threads, a flock on a lock file named after
// the lock orders the processes. The kernel drops the flock when its holder
// exits, so a crashed copy of the tool cannot leave the lock held.
// lock()/unlock() are spelt for std::lock_guard.
class PortLock {
public:
    explicit PortLock(const std::string& name);
    ~PortLock();
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    void lock();
    void unlock();

    // <$XDG_RUNTIME_DIR, else /tmp>/<name>.lock
    static std::string LockFilePath(const std::string& name);

private:
    void LockFile();
    void AbandonFile(const char* action);

    // Threads of this process
    std::mutex m_threadMutex;  // Protects m_fileFd and orders this process's threads

    // Other processes
    std::string m_path;
    int m_fileFd = -1;  // the lock file; -1 when unusable (then only the threads are ordered)
};
