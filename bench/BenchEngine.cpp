// bench_engine idle   : processor time of the engine's 50 ms tick on an open, silent line (10 s)
// bench_engine queries: 500 queries against the virtual camera at 115200 baud over a pseudo-terminal
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include "bench/BenchClock.h"
#include "settings/AppSettings.h"
#include "bench/BenchHost.h"
#include "bench/BenchLine.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/CRsCmd.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"

namespace {

double ProcessCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

int IdleTick(double seconds)
{
    termios raw {};
    cfmakeraw(&raw);
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, &raw, nullptr) != 0)
        return 1;
    AppSettings settings;
    settings.baudIndex = 4;
    SerialPort port;
    port.SetDeviceResolver([&](int) { return std::string(name); });
    ClSerialLib camLink;
    BenchHost host;
    CRsCmd engine(settings, port, camLink, host);
    if (!engine.OpenPort(0))
        return 1;

    const double cpu0 = ProcessCpuSeconds();
    const double wall0 = WallSeconds();
    int ticks = 0;
    auto next = std::chrono::steady_clock::now();
    while (WallSeconds() - wall0 < seconds) {
        next += std::chrono::milliseconds(CRsCmd::kTimerPeriodMs);
        std::this_thread::sleep_until(next);
        engine.OnTimer();
        ++ticks;
    }
    const double cpu = ProcessCpuSeconds() - cpu0;
    const double wall = WallSeconds() - wall0;
    std::printf("idle tick: %d ticks in %.2f s wall, %.4f s processor = %.3f %% of one core (budget < 1 %%)\n",
                ticks, wall, cpu, 100.0 * cpu / wall);
    engine.ClosePort();
    close(slave);
    close(master);
    return 0;
}

int Queries(int count)
{
    BenchLine line;
    if (!line.opened)
        return 1;
    CRsCmd& engine = *line.engine;

    int failures = 0;
    const double wall0 = WallSeconds();
    for (int i = 0; i < count; ++i) {
        int value = 0;
        failures += engine.GetInt(CmdGA, 0, value, 3000) ? 0 : 1;
    }
    const double wall = WallSeconds() - wall0;
    const double budget = 1.10 * count * 20 / 1000.0;
    std::printf("queries: %d in %.3f s (%.2f ms each), %d failed; budget %.3f s -> %s\n", count, wall,
                1000.0 * wall / count, failures, budget, wall <= budget && failures == 0 ? "within" : "OVER");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "idle")
        return IdleTick(argc > 2 ? std::stod(argv[2]) : 10.0);
    if (mode == "queries")
        return Queries(argc > 2 ? std::stoi(argv[2]) : 500);
    std::fprintf(stderr, "usage: bench_engine idle [SECONDS] | queries [COUNT]\n");
    return 2;
}
