#include <gtest/gtest.h>

#include <random>

#include "lut/ComputeTable.h"
#include "lut/LutPoints.h"
#include "lut/NaturalSpline.h"

namespace {

constexpr int kRight = 515;
constexpr int kBottom = 516;

// The table rule measured literally, every sample against every entry: the
// reference for the ordered search that ComputeTable uses.
LutTable LiteralTable(const std::vector<LutPoint>& points)
{
    std::vector<double> xs, ys;
    for (const LutPoint& p : points) {
        xs.push_back(p.x);
        ys.push_back(p.y);
    }
    NaturalSpline x, y;
    x.Build(xs);
    y.Build(ys);
    std::vector<std::pair<double, double>> samples;
    for (double t = 0; t <= static_cast<double>(points.size()); t += 0.002)
        samples.push_back({x.Eval(t), y.Eval(t)});
    LutTable table{};
    for (int k = 0; k < kLutEntries; ++k) {
        int best = 999999;
        double chosenY = 0;
        for (const auto& [sx, sy] : samples) {
            const double distance = std::abs(16.0 * k - 16 * sx);
            if (best > distance) {
                best = static_cast<int>(distance);
                chosenY = sy;
            }
        }
        const double value = (kBottom - chosenY) * 16;
        table[k] = value < 0 ? 0 : value >= 8192 ? 8191 : static_cast<int>(value);
    }
    return table;
}

}  // namespace

// Entries the camera's own tables hold; the clamping of curves that leave the
// graph is checked against the literal rule below and in the editor's test.
TEST(LutCurve, TablesThroughKnownPoints)
{
    struct Case {
        const char* name;
        std::vector<LutPoint> points;
        std::vector<std::pair<int, int>> entries;   // entry, value
    };
    const Case cases[] = {
        {"straight line after clear", LutPoints(kRight, kBottom).Used(),
         {{0, 0}, {1, 16}, {2, 33}, {3, 49}, {255, 4094}, {256, 4111}, {509, 8156}, {510, 8173}, {511, 8189}}},
        {"curve through a middle point", {{0, 516}, {200, 300}, {515, 0}},
         {{0, 0}, {1, 18}, {2, 37}, {3, 56}, {198, 3423}, {199, 3439}, {200, 3456}, {201, 3472}, {509, 8163},
          {510, 8184}, {511, 8191}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LutTable table = ComputeTable(c.points, kBottom);
        for (const auto& [entry, value] : c.entries)
            EXPECT_EQ(table[entry], value) << "entry " << entry;
    }
}

TEST(LutCurve, OrderedSearchMatchesTheLiteralRule)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> x(0, kRight), y(0, kBottom), count(2, 15);
    for (int round = 0; round < 40; ++round) {
        LutPoints points(kRight, kBottom);
        const int wanted = count(random);
        while (points.Count() < wanted)
            points.DragOrAdd(x(random), y(random));
        if (round % 3 == 0)
            points.DragOrAdd(points.At(0).x + 30, points.At(0).y);   // the first point off the left edge
        points.SortByX();
        const std::vector<LutPoint> used = points.Used();
        ASSERT_EQ(ComputeTable(used, kBottom), LiteralTable(used)) << "round " << round;
    }
}

TEST(LutCurve, PointRules)
{
    // Clicks and the first and last point are checked with real mouse events
    // in the editor's test; here the drags that need many steps.
    LutPoints points(kRight, kBottom);
    points.DragOrAdd(200, 300);
    points.DragOrAdd(310, 190);
    points.DragOrAdd(400, 100);
    points.SortByX();
    EXPECT_EQ(points.Count(), 5);
    for (const auto& [x, y] : {std::pair{340, 170}, {370, 150}, {400, 130}, {430, 120}}) {
        points.DragOrAdd(x, y);   // a drag in steps past the neighbour at x 400
        points.SortByX();
    }
    EXPECT_EQ(points.Count(), 5);
    EXPECT_EQ(points.At(2).x, 400) << "the neighbour now comes first";
    EXPECT_EQ(points.At(3).x, 430);

    for (int x = 40; points.Count() < 15; x += 40)
        points.DragOrAdd(x, 10);
    points.SortByX();
    const std::vector<LutPoint> full = points.Used();
    points.DragOrAdd(505, 400);
    EXPECT_EQ(points.Count(), 15) << "a sixteenth point is refused";

    points.DeleteNear(full[1].x, full[1].y);
    EXPECT_EQ(points.Count(), 14);
    EXPECT_EQ(points.At(1).x, full[2].x) << "the points after it close the gap";
}
