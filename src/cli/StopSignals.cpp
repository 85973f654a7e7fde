#include "cli/StopSignals.h"

#include <cerrno>
#include <csignal>

#include "comm/serial/SerialPort.h"
#include "files/SafeFile.h"

void StopSignals::Install()
{
    struct sigaction action {};
    action.sa_handler = &StopSignals::OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

// Async-signal-safe calls only. The signal, blocked while this runs, is sent
// again with its default action, so the caller still sees how the process ended.
void StopSignals::OnSignal(int signal)
{
    const int interrupted = errno;   // should the process go on, the code it interrupted finds errno as it was
    SafeFile::RemoveTemporaryForSignal();
    SerialPort::ReleaseForSignal();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    errno = interrupted;
}
