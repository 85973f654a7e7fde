#include "app/SignalCloser.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "comm/StopRequest.h"

int SignalCloser::s_pipe[2] = {-1, -1};

namespace {

const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

SignalCloser::SignalCloser(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal))
{
    StopRequest::Clear();
    if (pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalCloser::OnReadable);
    struct sigaction action {};
    action.sa_handler = &SignalCloser::Handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kSignals)
        sigaction(signalNumber, &action, nullptr);
}

SignalCloser::~SignalCloser()
{
    for (int signalNumber : kSignals)
        signal(signalNumber, SIG_DFL);
    for (int& fd : s_pipe) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}

// The stop request ends the command in progress at its next wait, so the
// user-interface thread gets back to its loop and sees the byte.
void SignalCloser::Handler(int)
{
    const int interrupted = errno;   // the code the handler interrupted may be about to read it
    StopRequest::Raise();
    const char byte = 1;
    (void)!write(s_pipe[1], &byte, 1);   // async-signal-safe; the rest happens on the UI thread
    errno = interrupted;
}

void SignalCloser::OnReadable()
{
    char buffer[16];
    while (read(s_pipe[0], buffer, sizeof buffer) > 0) {
    }
    if (m_onSignal)
        m_onSignal();
}
