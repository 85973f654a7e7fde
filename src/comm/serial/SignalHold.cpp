#include "comm/serial/SignalHold.h"

#include <pthread.h>

namespace {

const int kFaults[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT};

}  // namespace

SignalHold::SignalHold()
{
    sigset_t held;
    sigfillset(&held);
    for (const int fault : kFaults)
        sigdelset(&held, fault);
    pthread_sigmask(SIG_BLOCK, &held, &m_previous);
}

SignalHold::~SignalHold()
{
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}
