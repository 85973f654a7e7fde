// bench_wire BAUD RUNS [CLI [REPLY-WAIT]]: the bulk operations against the virtual camera keeping a line's
// wire time at BAUD with 1 ms of thought a command (what kavro-camsim --wire-baud BAUD --think 1
// does), at Reply Wait 0 and 20: the factory-level reload in the window, and, given the path of
// kavro-cli, its read-settings, apply-settings and diff --factory, read-luts and send-luts. Each
// is measured RUNS times; the best, the median and the worst are shown beside its floor and
// budget (the machine's own noise moves single runs by several per cent).
//
// The floor of a run is what the line itself costs: every command's bytes and its answer's, ten
// bits a byte, plus the camera's thought, from the camera's own log of the run. The budgets:
// Reply Wait 0, 1.10 x the floor; Reply Wait 20, 1.05 x the sum over the commands of the larger
// of 20 ms and that command's floor. Kept separately: the progress window's repaints during the
// window's reload, which must come at most every 50 ms, and the same 344 queries sent by a bare
// client, which shows what the virtual camera and the pseudo-terminal cost without the tool.
// Where the time above the floor went is shown as the line's idle time: before the first
// command, after the last answer, and between an answer and the next command.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "bench/CountingPrompts.h"
#include "settings/AppSettings.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "support/MainWindowAccess.h"

namespace {

constexpr int kThinkMs = 1;
constexpr double kCommandWaitSeconds = 0.020;   // the pace of Reply Wait 20

// The line's cost of the camera's log since it was last cleared.
struct Floor {
    int commands = 0;
    double wire = 0;     // every command's and answer's bytes, plus the thought
    double paced = 0;    // each command at least 20 ms
};

Floor FloorOf(const camsim::VirtualCamera& camera, int baud)
{
    Floor floor;
    const double byteSeconds = 10.0 / baud;
    for (const camsim::VirtualCamera::Received& received : camera.ReceivedLog()) {
        const size_t commandBytes = received.line.size() + 2;   // the tool ends every command with CR LF
        const double one = static_cast<double>(commandBytes + received.answerBytes) * byteSeconds + kThinkMs / 1000.0;
        ++floor.commands;
        floor.wire += one;
        floor.paced += std::max(kCommandWaitSeconds, one);
    }
    return floor;
}

// Where the line stood idle in a run: before the first command began to cross
// it, after the last answer had crossed it, and the longest pause between an
// answer and the next command, on the benchmark's clock.
struct IdleLine {
    double lead = 0;
    double tail = 0;
    double longestPause = 0;
    double pauses = 0;
};

IdleLine IdleLineOf(const camsim::VirtualCamera& camera, int baud, double start, double end)
{
    using namespace std::chrono;
    const std::vector<camsim::VirtualCamera::Received> log = camera.ReceivedLog();
    IdleLine idle;
    const double byteSeconds = 10.0 / baud;
    const auto seconds = [](steady_clock::time_point at) { return duration<double>(at.time_since_epoch()).count(); };
    double free = start;   // when the line was last left idle
    for (const camsim::VirtualCamera::Received& received : log) {
        const double began = seconds(received.at) - static_cast<double>(received.line.size() + 2) * byteSeconds;
        if (&received == &log.front())
            idle.lead = began - start;
        else {
            idle.longestPause = std::max(idle.longestPause, began - free);
            idle.pauses += began - free;
        }
        free = seconds(received.at) + kThinkMs / 1000.0 + static_cast<double>(received.answerBytes) * byteSeconds;
    }
    idle.tail = end - free;
    return idle;
}

// When the progress window's bar was painted; paints within a millisecond of
// each other are one repaint of the window.
class PaintClock : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<QProgressBar*>(watched) &&
            static_cast<QWidget*>(watched)->window()->objectName() == "progressWindow") {
            const double now = WallSeconds();
            if (now - last > 0.001) {
                shortest = std::min(shortest, now - last);
                ++repaints;
            }
            last = now;
        }
        return false;
    }
    void Reset()
    {
        repaints = 0;
        last = -1;
        shortest = 1e9;
    }
    int repaints = 0;
    double last = -1;
    double shortest = 1e9;
};

struct Bench {
    Bench(int wireBaud, std::string cliPath)
        : baud(wireBaud), cli(std::move(cliPath)), pty(camera), camLink("/nonexistent")
    {
        pty.SetWireTime(baud, kThinkMs);
        pty.Start();
        settings.baudIndex = 0;
        for (uint32_t index = 0; index < 5; ++index)
            if (BaudFromIndex(index) == baud)
                settings.baudIndex = index;
        settings.activeMode = ActiveFactory;
        port.SetDeviceResolver([this](int) { return pty.DevicePath(); });
        window = std::make_unique<CKavroDlg>(settings, port, camLink, prompts);
        window->show();
        window->Initialise();
        QApplication::instance()->installEventFilter(&paintClock);
    }
    ~Bench()
    {
        window.reset();
        pty.Stop();
    }

    // Runs work `runs` times and prints its best, median and worst against the floor of
    // its last run, and where the line stood idle, on average.
    void Measure(const char* what, uint32_t replyWait, int runs, const std::function<bool()>& work)
    {
        std::vector<double> took;
        bool ok = true;
        Floor floor;
        IdleLine idle;
        for (int run = 0; run < runs; ++run) {
            camera.ClearReceivedLines();
            const double start = WallSeconds();
            ok = work() && ok;
            const double end = WallSeconds();
            took.push_back(end - start);
            floor = FloorOf(camera, baud);
            const IdleLine thisRun = IdleLineOf(camera, baud, start, end);
            idle.lead += thisRun.lead / runs;
            idle.tail += thisRun.tail / runs;
            idle.pauses += thisRun.pauses / runs;
            idle.longestPause = std::max(idle.longestPause, thisRun.longestPause);
        }
        std::sort(took.begin(), took.end());
        const double best = took.front(), median = took[took.size() / 2], worst = took.back();
        const double base = replyWait == 0 ? floor.wire : floor.paced;
        const double budget = (replyWait == 0 ? 1.10 : 1.05) * base;
        std::printf("%2u | %-28s | %4d | %7.3f s | %7.3f s | %7.3f s | %7.3f s | %7.3f s | %5.3f | %s\n", replyWait,
                    what, floor.commands, base, budget, best, median, worst, worst / base,
                    !ok ? "FAILED" : worst <= budget ? "within" : "OVER");
        std::printf("   | line idle: %.1f ms before the first command, %.1f ms after the last answer, "
                    "%.1f ms between commands, at most %.1f ms between two\n",
                    1000 * idle.lead, 1000 * idle.tail, 1000 * idle.pauses, 1000 * idle.longestPause);
        std::fflush(stdout);
    }

    bool Cli(uint32_t replyWait, const std::string& arguments) const
    {
        const std::string line = "'" + cli + "' --port '" + pty.DevicePath() + "' --baud " + std::to_string(baud) +
                                 " --reply-wait " + std::to_string(replyWait) + " " + arguments + " >/dev/null";
        return std::system(line.c_str()) == 0;
    }

    void ReloadInTheWindow(uint32_t replyWait, int runs)
    {
        settings.replyWaitMs = replyWait;
        paintClock.Reset();
        double seconds = 0;
        double processor = 0;
        Measure("factory reload in the window", replyWait, runs, [&] {
            const double start = WallSeconds();
            const double cpuStart = ThreadCpuSeconds();
            MainWindowAccess(*window).Session().ReloadAll();
            processor += ThreadCpuSeconds() - cpuStart;
            seconds += WallSeconds() - start;
            return prompts.shown == 0;
        });
        std::printf("   | user-interface thread: %.0f us of processor time a command\n",
                    1e6 * processor / runs / 345);
        std::printf("   | progress window: %d repaints in %.3f s, the closest %.1f ms apart\n", paintClock.repaints,
                    seconds, 1000 * paintClock.shortest);
    }

    void CliCommands(uint32_t replyWait, int runs)
    {
        const std::string cam = "'" + folder.filePath("factory.cam").toStdString() + "'";
        const std::string csv = "'" + folder.filePath("tables.csv").toStdString() + "'";
        Measure("read-settings --factory", replyWait, runs, [&] { return Cli(replyWait, "read-settings " + cam + " --factory"); });
        Measure("apply-settings --factory", replyWait, runs, [&] { return Cli(replyWait, "apply-settings " + cam + " --factory"); });
        Measure("diff --factory", replyWait, runs, [&] { return Cli(replyWait, "diff " + cam + " --factory"); });
        Measure("read-luts", replyWait, runs, [&] { return Cli(replyWait, "read-luts " + csv); });
        Measure("send-luts", replyWait, runs, [&] { return Cli(replyWait, "send-luts " + csv); });
    }

    // What the virtual camera and the pseudo-terminal cost on their own: a bare
    // client that writes each query byte by byte, waits for each byte to leave
    // and reads the answer as soon as it is in, without the tool.
    void BareClient(int runs)
    {
        Measure("bare client, 344 queries GA?", 0, runs, [&] {
            const int fd = ::open(pty.DevicePath().c_str(), O_RDWR | O_NOCTTY);
            termios raw{};
            if (fd < 0 || ::tcgetattr(fd, &raw) != 0)
                return false;
            ::cfmakeraw(&raw);
            ::tcsetattr(fd, TCSANOW, &raw);
            bool ok = true;
            for (int n = 0; n < 344 && ok; ++n) {
                for (char byte : std::string("GA?\r\n"))
                    ok = ok && ::write(fd, &byte, 1) == 1 && ::tcdrain(fd) == 0;
                std::string answer;
                while (ok && answer.find('\n') == std::string::npos) {
                    char chunk[64];
                    pollfd in{fd, POLLIN, 0};
                    const ssize_t got = ::poll(&in, 1, 1000) == 1 ? ::read(fd, chunk, sizeof chunk) : -1;
                    ok = got > 0;
                    if (ok)
                        answer.append(chunk, static_cast<size_t>(got));
                }
            }
            ::close(fd);
            return ok;
        });
    }

    // The port is the window's while it is open; kavro-cli needs it to itself.
    void CloseWindow() { window.reset(); }

    int baud;
    std::string cli;
    QTemporaryDir folder;
    camsim::VirtualCamera camera;
    camsim::PtyCamera pty;
    AppSettings settings;
    SerialPort port;
    ClSerialLib camLink;
    CountingPrompts prompts;
    PaintClock paintClock;
    std::unique_ptr<CKavroDlg> window;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_wire BAUD RUNS [PATH-OF-KAVRO-CLI [REPLY-WAIT]]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The profile and the port lock in folders of the benchmark's own: another
    // program holding the lock of a port cannot stall the measurement.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QApplication application(argc, argv);
    const int baud = std::atoi(argv[1]);
    const int runs = std::max(1, std::atoi(argv[2]));
    if (baud < camsim::PtyCamera::kSlowestWireBaud || baud > camsim::PtyCamera::kFastestWireBaud) {
        std::fprintf(stderr, "bench_wire: no wire at %s baud\n", argv[1]);
        return 2;
    }
    Bench bench(baud, argc > 3 ? argv[3] : "");
    std::printf("wire %d baud, %d ms thought a command, %d run(s) each\n", baud, kThinkMs, runs);
    std::printf("rw | %-28s | cmds | floor     | budget    | best      | median    | worst     | worst/floor\n", "operation");
    // One reply wait alone when a fifth argument names it (0 or 20), else both.
    std::vector<uint32_t> replyWaits{0u, 20u};
    if (argc > 4)
        replyWaits = {std::atoi(argv[4]) == 0 ? 0u : 20u};
    for (uint32_t replyWait : replyWaits)
        bench.ReloadInTheWindow(replyWait, runs);
    bench.CloseWindow();
    bench.BareClient(runs);
    for (uint32_t replyWait : replyWaits) {
        if (argc > 3)
            bench.CliCommands(replyWait, runs);
    }
    return 0;
}
