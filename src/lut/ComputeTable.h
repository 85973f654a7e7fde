#pragma once

#include <vector>

#include "lut/LutTable.h"

// A control point in pixels of the graph area: origin top left, y downwards.
struct LutPoint {
    int x = 0;
    int y = 0;
};

// The table the editor's curve gives: two natural splines X(t), Y(t) through
// the points (in ascending x), sampled every 0.002 of t; each entry takes the
// first sample nearest to its level. bottom is the graph's bottom pixel row,
// where the value is 0; each pixel upwards is 16 more. Fewer than two points
// give an all-zero table.
LutTable ComputeTable(const std::vector<LutPoint>& points, int bottom);
