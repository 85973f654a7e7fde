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
void SampleCurve(const NaturalSpline& xs, const NaturalSpline& ys, int knots, std::vector<Sample>& samples)
{
    constexpr double kStep = 0.002;
    samples.clear();
    samples.reserve(500 * knots + 1);
    for (double t = 0.0; t <= knots; t += kStep)
        samples.push_back({xs.Eval(t), ys.Eval(t)});
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
    struct Scaled {
        double x;             // 16 x X of the sample
        std::size_t sample;   // its number in order of t
        bool operator<(const Scaled& other) const { return x < other.x || (x == other.x && sample < other.sample); }
    };

    NearestSamples(const std::vector<Sample>& samples, std::vector<Scaled>& byX) : m_byX(byX)
    {
        m_byX.clear();
        m_byX.reserve(samples.size());
        for (std::size_t m = 0; m < samples.size(); ++m)
            m_byX.push_back({kLutLevelStep * samples[m].x, m});
        std::sort(m_byX.begin(), m_byX.end());   // equal x: lower t first
    }

    std::size_t For(int entry) const
    {
        constexpr double kNoneYet = 999999;
        const double level = static_cast<double>(kLutLevelStep) * entry;
        const auto above = std::lower_bound(m_byX.begin(), m_byX.end(), level,
                                            [](const Scaled& s, double l) { return s.x < l; });
        const std::size_t pos = static_cast<std::size_t>(above - m_byX.begin());
        double nearest = kNoneYet;
        if (pos < m_byX.size())
            nearest = std::min(nearest, Distance(level, m_byX[pos].x));
        if (pos > 0)
            nearest = std::min(nearest, Distance(level, m_byX[pos - 1].x));
        if (!(nearest < kNoneYet))
            return 0;   // nothing comes near: the first sample stands
        const double limit = std::floor(nearest) + 1;
        std::size_t chosen = m_byX.size();
        for (std::size_t i = pos; i < m_byX.size() && Distance(level, m_byX[i].x) < limit; ++i)
            chosen = std::min(chosen, m_byX[i].sample);
        for (std::size_t i = pos; i > 0 && Distance(level, m_byX[i - 1].x) < limit; --i)
            chosen = std::min(chosen, m_byX[i - 1].sample);
        return chosen;
    }

private:
    std::vector<Scaled>& m_byX;
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
    // The working lists keep their room from one call to the next: a drag
    // computes the table at every mouse move, and fresh pages cost more than
    // the computation.
    static thread_local std::vector<Sample> samples;
    static thread_local std::vector<NearestSamples::Scaled> byX;
    SampleCurve(xs, ys, knots, samples);
    const NearestSamples nearest(samples, byX);
    for (int k = 0; k < kLutEntries; ++k)
        table[k] = ValueAt(samples[nearest.For(k)], bottom);
    return table;
}
