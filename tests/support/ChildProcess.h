#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "support/TempFolder.h"
#include "support/WaitFor.h"

// A shell command line (NAME=value settings first, then the program) started beside the test, so that the test can play the
// far end of its line, signal it, or be the terminal it prints to. Its output
// goes to files of its own, or standard output to that terminal.
class ChildProcess {
public:
    explicit ChildProcess(const std::string& commandLine, bool onTerminal = false)
    {
        if (onTerminal && openpty(&m_terminal, &m_terminalSlave, nullptr, nullptr, nullptr) != 0)
            return;
        m_pid = fork();
        if (m_pid != 0)
            return;
        const int out = onTerminal ? m_terminalSlave : open(m_folder.File("out").c_str(), O_WRONLY | O_CREAT, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(open(m_folder.File("err").c_str(), O_WRONLY | O_CREAT, 0600), STDERR_FILENO);
        close_range(3, ~0U, 0);  // the test's own ends of its lines stay with the test
        execl("/bin/sh", "sh", "-c", ("exec env " + commandLine).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ~ChildProcess()
    {
        if (m_pid > 0 && Wait(0) == kRunning) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        for (int fd : {m_terminal, m_terminalSlave})
            if (fd >= 0)
                close(fd);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    static constexpr int kRunning = -1;

    pid_t Pid() const { return m_pid; }
    void Signal(int signal) const { kill(m_pid, signal); }
    // The exit code, 128 + the signal that ended it, or kRunning after the limit.
    int Wait(int limitMs = 10000)
    {
        WaitFor([&] { return m_status != kRunning || Reap(); }, limitMs);
        return m_status;
    }
    std::string Err() const { return FileText(m_folder.File("err")); }
    // Standard output: the file, or what reached the terminal.
    std::string Out() const
    {
        if (m_terminal < 0)
            return FileText(m_folder.File("out"));
        std::string shown;
        char chunk[256];
        pollfd terminal{m_terminal, POLLIN, 0};
        ssize_t n = 0;
        while (poll(&terminal, 1, 100) == 1 && (n = read(m_terminal, chunk, sizeof chunk)) > 0)
            shown.append(chunk, static_cast<size_t>(n));
        return shown;
    }
    // The first line printed, without its line end, once it is there.
    std::string FirstLine(int limitMs = 5000) const
    {
        std::string out;
        WaitFor([&] { return (out = Out()).find('\n') != std::string::npos; }, limitMs);
        return out.substr(0, out.find('\n'));
    }

private:
    bool Reap()
    {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) != m_pid)
            return false;
        m_status = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
        return true;
    }

    TempFolder m_folder;
    pid_t m_pid = -1;
    int m_status = kRunning;
    int m_terminal = -1;       // master of the terminal standard output goes to
    int m_terminalSlave = -1;  // kept open so that nothing printed is lost
};
