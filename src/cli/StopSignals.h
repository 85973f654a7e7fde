#pragma once

// Every signal that would end kavro-cli and can be caught (SIGTERM, SIGINT,
// SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, ...) ends it alike: the serial device is
// made shareable again (exclusive mode would otherwise outlive the process
// for as long as anyone else holds the terminal open), no half-written file's
// temporary copy stays behind, "stopped by SIGTERM" goes to standard error,
// and the process ends by that signal. A command line being written is
// finished first (see SignalHold). SIGPIPE is ignored: a reader that went
// away is a failed write to standard output, which the command reports.
class StopSignals {
public:
    static void Install();

private:
    static void OnSignal(int signal);
};
