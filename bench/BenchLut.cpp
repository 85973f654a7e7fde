// bench_lut compute [ROUNDS]: ComputeTable with 2, 3, 8 and 15 control points
// bench_lut send       : one table (512 settings) to the virtual camera at 115200 baud
// bench_lut read       : the three tables (1536 queries) from the virtual camera at 115200 baud
// bench_lut cli CLI    : the same two through kavro-cli (send-luts sends three tables)
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "settings/AppSettings.h"
#include "bench/BenchLine.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/CRsCmd.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "files/GammaFile.h"
#include "lut/ComputeTable.h"
#include "lut/LutPoints.h"
#include "lut/LutTransfer.h"

namespace {

// count points from the lower left to the upper right corner along a wave.
std::vector<LutPoint> SpreadPoints(int count)
{
    std::vector<LutPoint> points;
    for (int i = 0; i < count; ++i) {
        const int x = i * 515 / (count - 1);
        const int y = 516 - i * 516 / (count - 1) + (i % 2 ? 20 : -20);
        points.push_back({x, i == 0 ? 516 : i == count - 1 ? 0 : y});
    }
    return points;
}

int Compute(int rounds)
{
    long long checksum = 0;
    for (int count : {2, 3, 8, 15}) {
        const std::vector<LutPoint> points = SpreadPoints(count);
        double best = 1e9, total = 0;
        const double cpu0 = ThreadCpuSeconds();
        for (int r = 0; r < rounds; ++r) {
            const double t0 = WallSeconds();
            const LutTable table = ComputeTable(points, 516);
            const double t = WallSeconds() - t0;
            checksum += table[255];
            total += t;
            best = t < best ? t : best;
        }
        const double cpu = (ThreadCpuSeconds() - cpu0) / rounds;
        std::printf("ComputeTable %2d points: processor %.3f ms, wall mean %.3f ms, best %.3f ms (%d rounds)\n",
                    count, cpu * 1e3, total / rounds * 1e3, best * 1e3, rounds);
    }
    return checksum > 0 ? 0 : 1;
}

void Report(const char* what, double seconds, int commands)
{
    const double budget = 1.10 * commands * 0.020;
    std::printf("%s: %.2f s (%.2f ms a command), budget %.2f s: %s\n", what, seconds, seconds / commands * 1e3,
                budget, seconds <= budget ? "within" : "OVER");
}

int Send()
{
    BenchLine line;
    if (!line.opened)
        return 1;
    LutTransfer transfer(*line.engine);
    const double t0 = WallSeconds();
    const int ok = transfer.SendTable(0, LutPoints::StartingTable());
    Report("send one table (512 settings)", WallSeconds() - t0, kLutEntries);
    return ok ? 0 : 1;
}

int Read()
{
    BenchLine line;
    if (!line.opened)
        return 1;
    LutTransfer transfer(*line.engine);
    GammaTables tables{};
    const double t0 = WallSeconds();
    const int ok = transfer.ReadAll(tables, {}, {});
    Report("read three tables (1536 queries)", WallSeconds() - t0, 3 * kLutEntries);
    return ok ? 0 : 1;
}

int Cli(const std::string& cli)
{
    camsim::VirtualCamera camera;
    camsim::PtyCamera pty(camera);
    if (!pty.Start())
        return 1;
    char folder[] = "/tmp/bench-lut-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    const std::string file = std::string(folder) + "/tables.csv";
    const std::string base = "'" + cli + "' --baud 115200 --port '" + pty.DevicePath() + "' ";
    double t0 = WallSeconds();
    int status = std::system((base + "read-luts '" + file + "'").c_str());
    Report("kavro-cli read-luts (1536 queries)", WallSeconds() - t0, 3 * kLutEntries);
    t0 = WallSeconds();
    status |= std::system((base + "send-luts '" + file + "'").c_str());
    Report("kavro-cli send-luts (1536 settings)", WallSeconds() - t0, 3 * kLutEntries);
    std::remove(file.c_str());
    rmdir(folder);
    pty.Stop();
    return status == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "compute")
        return Compute(argc > 2 ? std::max(1, std::atoi(argv[2])) : 50);
    if (mode == "send")
        return Send();
    if (mode == "read")
        return Read();
    if (mode == "cli" && argc > 2)
        return Cli(argv[2]);
    std::fprintf(stderr, "usage: bench_lut compute [ROUNDS] | send | read | cli PATH-OF-KAVRO-CLI\n");
    return 2;
}
