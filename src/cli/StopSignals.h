#pragma once

// SIGTERM, SIGINT and SIGHUP end kavro-cli with the serial device shareable
// again (exclusive mode would otherwise outlive the process for as long as
// anyone else holds the terminal open) and no half-written file's temporary
// copy left behind.
class StopSignals {
public:
    static void Install();

private:
    static void OnSignal(int signal);
};
