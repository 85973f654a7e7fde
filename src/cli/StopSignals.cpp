#include "cli/StopSignals.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "comm/serial/SerialPort.h"
#include "files/SafeFile.h"

namespace {

// Signals whose default action ends the process. Faults of the program itself
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS) keep their own.
const int kStopSignals[] = {SIGHUP,    SIGINT,  SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM,
                            SIGVTALRM, SIGPROF, SIGIO,   SIGXCPU, SIGXFSZ, SIGPWR,  SIGSTKFLT};

// Written by the handler, so made beforehand: "kavro-cli: stopped by SIGTERM\n".
char gStopMessages[NSIG][48];

void MakeStopMessage(int signal)
{
    char* message = gStopMessages[signal];
    const char* name = sigabbrev_np(signal);   // none for the real-time signals
    if (name != nullptr)
        std::snprintf(message, sizeof gStopMessages[signal], "kavro-cli: stopped by SIG%s\n", name);
    else
        std::snprintf(message, sizeof gStopMessages[signal], "kavro-cli: stopped by signal %d\n", signal);
}

template <typename Action>
void ForEachStopSignal(Action action)
{
    for (const int signal : kStopSignals)
        action(signal);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        action(signal);
}

}  // namespace

void StopSignals::Install()
{
    struct sigaction action {};
    action.sa_handler = &StopSignals::OnSignal;
    sigemptyset(&action.sa_mask);
    ForEachStopSignal([&](int signal) { sigaddset(&action.sa_mask, signal); });   // one stop at a time
    ForEachStopSignal([&](int signal) {
        MakeStopMessage(signal);
        sigaction(signal, &action, nullptr);
    });
    std::signal(SIGPIPE, SIG_IGN);
}

// Async-signal-safe calls only. The signal, blocked while this runs, is sent
// again with its default action, so the caller still sees how the process ended.
void StopSignals::OnSignal(int signal)
{
    const int interrupted = errno;   // should the process go on, the code it interrupted finds errno as it was
    SafeFile::RemoveTemporaryForSignal();
    SerialPort::ReleaseForSignal();
    const char* message = gStopMessages[signal];
    (void)!write(STDERR_FILENO, message, std::strlen(message));
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    errno = interrupted;
}
