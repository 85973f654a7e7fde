// bench_stuck_port [COUNT]: the time of each of COUNT queries against the
// virtual camera (115200 baud, pseudo-terminal) while another process keeps
// writing to a port whose far end reads nothing.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "settings/AppSettings.h"
#include "bench/BenchHost.h"
#include "bench/BenchLine.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/CRsCmd.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"

namespace {

double Seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Fills the line until it takes nothing more; the terminal moves bytes on
// behind the writer's back, so it is filled until it stays full.
void FillUntilFull(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    const std::vector<char> block(4096, 'f');
    pollfd room{fd, POLLOUT, 0};
    do {
        while (write(fd, block.data(), block.size()) > 0) {
        }
    } while (poll(&room, 1, 300) == 1);
}

// The other process: writes to its stuck port for ever, telling `ready` once stuck.
[[noreturn]] void StuckWriter(int ready)
{
    termios raw {};
    cfmakeraw(&raw);
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, &raw, nullptr) != 0)
        _exit(1);
    SerialPort port;
    if (!port.Open(name, 9600, 8, 0, 0, 0))
        _exit(1);
    FillUntilFull(slave);
    const char go = 'S';
    write(ready, &go, 1);
    const uint8_t byte = 'x';
    for (;;)
        port.Write(&byte, 1);
}

std::vector<double> QueryTimes(CRsCmd& engine, int count)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        int value = 0;
        const double start = Seconds();
        const int ok = engine.GetInt(CmdGA, 0, value, 3000);
        times.push_back(ok ? Seconds() - start : 99.0);
    }
    return times;
}

void Report(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-28s %zu queries: median %.1f ms, longest %.1f ms\n", what, times.size(),
                1000.0 * times[times.size() / 2], 1000.0 * times.back());
}

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::stoi(argv[1]) : 100;
    BenchLine line;
    if (!line.opened)
        return 1;
    CRsCmd& engine = *line.engine;
    Report("alone:", QueryTimes(engine, count));

    int ready[2];
    if (pipe(ready) != 0)
        return 1;
    const pid_t writer = fork();
    if (writer == 0)
        StuckWriter(ready[1]);
    char go = 0;
    pollfd stuck{ready[0], POLLIN, 0};
    if (poll(&stuck, 1, 10000) != 1 || read(ready[0], &go, 1) != 1)
        return 1;
    const std::vector<double> times = QueryTimes(engine, count);
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    Report("beside a stuck writer:", times);
    const double longest = *std::max_element(times.begin(), times.end());
    std::printf("budget: every query < 200 ms -> %s\n", longest < 0.2 ? "within" : "OVER");
    return longest < 0.2 ? 0 : 1;
}
