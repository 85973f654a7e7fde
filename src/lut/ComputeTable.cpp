#include "lut/ComputeTable.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "lut/NaturalSpline.h"

namespace {

struct Sample {
    double x;
    double y;
};

// t grows by repeated addition, so the number of samples is exactly that of
// the camera's own tables (1000 for two points, 1501 for three).
std::vector<Sample> SampleCurve(const NaturalSpline& xs, const NaturalSpline& ys, int knots)
{
    constexpr double kStep = 0.002;
    std::vector<Sample> samples;
    samples.reserve(500 * knots + 1);
    for (double t = 0.0; t <= knots; t += kStep)
        samples.push_back({xs.Eval(t), ys.Eval(t)});
    return samples;
}

// Distance of a sample to an entry's level, exactly as the table rule measures it.
double Distance(double level, double scaledX)
{
    const double distance = level - scaledX;
    return distance < 0 ? -distance : distance;
}

// For each entry, the first sample (lowest t) whose distance, truncated to an
// integer, is the smallest. Rather than measuring every sample against every
// entry, the samples are ordered by x once; the smallest truncated distance D
// is found beside the entry's level, and the samples with D are exactly those
// closer than D + 1, a contiguous run of that order.
class NearestSamples {
public:
    explicit NearestSamples(const std::vector<Sample>& samples)
    {
        m_scaledX.reserve(samples.size());
        for (const Sample& s : samples)
            m_scaledX.push_back(kLutLevelStep * s.x);
        m_order.resize(samples.size());
        for (std::size_t m = 0; m < m_order.size(); ++m)
            m_order[m] = m;
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](std::size_t a, std::size_t b) { return m_scaledX[a] < m_scaledX[b]; });
    }

    std::size_t For(int entry) const
    {
        constexpr double kNoneYet = 999999;
        const double level = static_cast<double>(kLutLevelStep) * entry;
        const auto above = std::lower_bound(m_order.begin(), m_order.end(), level,
                                            [&](std::size_t m, double l) { return m_scaledX[m] < l; });
        const std::size_t pos = static_cast<std::size_t>(above - m_order.begin());
        double nearest = kNoneYet;
        if (pos < m_order.size())
            nearest = std::min(nearest, Distance(level, m_scaledX[m_order[pos]]));
        if (pos > 0)
            nearest = std::min(nearest, Distance(level, m_scaledX[m_order[pos - 1]]));
        if (!(nearest < kNoneYet))
            return 0;   // nothing comes near: the first sample stands
        const double limit = std::floor(nearest) + 1;
        std::size_t chosen = m_order.size();
        for (std::size_t i = pos; i < m_order.size() && Distance(level, m_scaledX[m_order[i]]) < limit; ++i)
            chosen = std::min(chosen, m_order[i]);
        for (std::size_t i = pos; i > 0 && Distance(level, m_scaledX[m_order[i - 1]]) < limit; --i)
            chosen = std::min(chosen, m_order[i - 1]);
        return chosen;
    }

private:
    std::vector<double> m_scaledX;   // 16 x X of each sample, in order of t
    std::vector<std::size_t> m_order;   // sample numbers by ascending x
};

int32_t ValueAt(const Sample& sample, int bottom)
{
    const double value = (bottom - sample.y) * kLutLevelStep;
    if (!(value >= 0))   // below the graph (or not a number)
        return 0;
    if (value >= kLutMaxValue + 1)
        return kLutMaxValue;
    return static_cast<int32_t>(value);   // truncation toward zero
}

}  // namespace

LutTable ComputeTable(const std::vector<LutPoint>& points, int bottom)
{
    LutTable table{};
    const int knots = static_cast<int>(points.size());
    std::vector<double> xValues, yValues;
    for (const LutPoint& p : points) {
        xValues.push_back(p.x);
        yValues.push_back(p.y);
    }
    NaturalSpline xs, ys;
    if (!xs.Build(xValues) || !ys.Build(yValues))
        return table;
    const std::vector<Sample> samples = SampleCurve(xs, ys, knots);
    const NearestSamples nearest(samples);
    for (int k = 0; k < kLutEntries; ++k)
        table[k] = ValueAt(samples[nearest.For(k)], bottom);
    return table;
}
