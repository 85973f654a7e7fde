#pragma once

#include <chrono>
#include <mutex>
#include <string>

// A named lock shared by every process of the user and every thread of this
// one: a mutex orders the threads, a flock on a lock file named after
// the lock orders the processes. The kernel drops the flock when its holder
// exits, so a crashed copy of the tool cannot leave the lock held, and every
// wait for it has a limit, so a copy that keeps it cannot hang the others.
// try_lock()/try_lock_for()/unlock() are spelt for std::unique_lock.
class PortLock {
public:
    explicit PortLock(const std::string& name);
    ~PortLock();
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    // False when another thread or process held the lock for the whole limit.
    bool try_lock_for(std::chrono::milliseconds limit);
    bool try_lock() { return try_lock_for(std::chrono::milliseconds(0)); }
    void unlock();

    // The name of one port's lock, "Rs Mutex <key>": the key with '/' made
    // '_' and '_', '%' and bytes outside printable ASCII written %XX, so that
    // two keys never share a name; a key too long for a file name is cut and
    // ends in a hash of the whole.
    static std::string NameFor(const std::string& portKey);

    // <$XDG_RUNTIME_DIR>/<name>.lock; without a runtime folder the file lies
    // in a folder of the user's own, <$TMPDIR or /tmp>/kavro-<uid>, which is
    // created 0700 and used only when it is a real folder owned by the user.
    // "" when no such folder can be had.
    static std::string LockFilePath(const std::string& name);

private:
    using Deadline = std::chrono::steady_clock::time_point;

    static std::string PrivateFolder();
    bool LockThreads(Deadline deadline);
    bool LockFile(Deadline deadline);
    void AbandonFile(const char* action);

    // Threads of this process
    std::mutex m_threadMutex;        // Protects m_fileFd and orders this process's threads

    // Other processes
    std::string m_path;
    int m_fileFd = -1;  // the lock file; -1 when unusable (then only the threads are ordered)
};
