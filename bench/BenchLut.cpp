// bench_lut compute [ROUNDS]: ComputeTable with 2, 3, 8 and 15 control points
#include <time.h>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "lut/ComputeTable.h"

namespace {

double WallSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Processor time of this thread: on a loaded machine it, not the wall clock,
// tells what one computation costs.
double ThreadCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

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

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "compute")
        return Compute(argc > 2 ? std::max(1, std::atoi(argv[2])) : 50);
    std::fprintf(stderr, "usage: bench_lut compute [ROUNDS]\n");
    return 2;
}
