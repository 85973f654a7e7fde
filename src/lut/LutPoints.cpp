#include "lut/LutPoints.h"

#include <cstdlib>
#include <utility>

void LutPoints::Clear(int right, int bottom)
{
    m_points = {};
    m_pointUsed = {};
    m_points[0] = {0, bottom};
    m_points[1] = {right, 0};
    m_pointUsed[0] = m_pointUsed[1] = 1;
    m_pointCount = 2;
}

bool LutPoints::IsNear(const LutPoint& p, int gx, int gy) const
{
    return std::abs(p.x - gx) <= kNearPixels && std::abs(p.y - gy) <= kNearPixels;
}

void LutPoints::DragOrAdd(int gx, int gy)
{
    for (int i = 0; i < m_pointCount; ++i) {
        if (IsNear(m_points[i], gx, gy)) {
            m_points[i] = {gx, gy};
            return;
        }
    }
    if (m_pointCount >= kMaxPoints)
        return;
    m_points[m_pointCount] = {gx, gy};
    m_pointUsed[m_pointCount] = 1;
    ++m_pointCount;
}

void LutPoints::DeleteNear(int gx, int gy)
{
    if (m_pointCount <= 2)
        return;
    for (int i = 1; i <= m_pointCount - 2; ++i) {
        if (!IsNear(m_points[i], gx, gy))
            continue;
        for (int j = i; j < m_pointCount - 1; ++j) {
            m_points[j] = m_points[j + 1];
            m_pointUsed[j] = m_pointUsed[j + 1];
        }
        --m_pointCount;
        m_points[m_pointCount] = {};
        m_pointUsed[m_pointCount] = 0;
        return;
    }
}

void LutPoints::SortByX()
{
    for (int i = 0; i < m_pointCount; ++i) {
        for (int j = 0; j < m_pointCount; ++j) {
            if (m_points[i].x < m_points[j].x) {
                std::swap(m_points[i], m_points[j]);
                std::swap(m_pointUsed[i], m_pointUsed[j]);
            }
        }
    }
}

std::vector<LutPoint> LutPoints::Used() const
{
    return std::vector<LutPoint>(m_points.begin(), m_points.begin() + m_pointCount);
}

LutTable LutPoints::StartingTable()
{
    return ComputeTable(LutPoints().Used(), kGraphBottom);
}
