#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "lut/ComputeTable.h"

// The editor's control points in graph pixels and the rules by which the mouse
// edits them. The first m_pointCount slots are in use and stay in ascending x,
// so the curve always runs through them from left to right.
class LutPoints {
public:
    static constexpr int kSlots = 16;
    static constexpr int kMaxPoints = 15;
    static constexpr int kNearPixels = 32;   // a point this close (or closer) on both axes is hit
    // The graph area: 515 x 516 pixels, the value 0 on the bottom row.
    static constexpr int kGraphRight = 515;
    static constexpr int kGraphBottom = 516;

    // The two end points: lower left and upper right corner of the graph.
    LutPoints(int right = kGraphRight, int bottom = kGraphBottom) { Clear(right, bottom); }
    void Clear(int right, int bottom);

    // Left button: the first point near (gx, gy) moves there; with none near a
    // point is added there, at most kMaxPoints in all.
    void DragOrAdd(int gx, int gy);
    // Right button: the first interior point near (gx, gy) is removed; the
    // first and the last point always stay.
    void DeleteNear(int gx, int gy);
    // Exchange sort by x over the used slots.
    void SortByX();

    int Count() const { return m_pointCount; }
    const LutPoint& At(int slot) const { return m_points.at(static_cast<std::size_t>(slot)); }
    std::vector<LutPoint> Used() const;

    // The table of the two end points alone: the straight rising line.
    static LutTable StartingTable();

private:
    bool IsNear(const LutPoint& p, int gx, int gy) const;

    std::array<LutPoint, kSlots> m_points{};
    std::array<int, kSlots> m_pointUsed{};
    int m_pointCount = 0;
};
