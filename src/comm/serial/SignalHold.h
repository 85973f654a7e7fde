#pragma once

#include <signal.h>

// Holds back, in the calling thread and for the life of the object, every
// signal that comes from outside the program (a stop, a timer, a closed
// terminal); they are delivered when it ends. Faults of the program itself
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT) are never held.
//
// A command line is written inside a hold, so a stop never leaves half a line
// at the camera, where it would run into the next session's first command.
// A thread started inside a hold keeps it for good: the port's own threads
// thus never take a signal meant for the thread that writes.
class SignalHold {
public:
    SignalHold();
    ~SignalHold();
    SignalHold(const SignalHold&) = delete;
    SignalHold& operator=(const SignalHold&) = delete;

private:
    sigset_t m_previous;
};
