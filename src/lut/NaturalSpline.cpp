#include "lut/NaturalSpline.h"

#include <cmath>

bool NaturalSpline::Build(const std::vector<double>& values)
{
    m_segments.clear();
    const int knots = static_cast<int>(values.size());
    if (knots < 2 || knots > kMaxKnots)
        return false;
    const int last = knots - 1;

    // Second-derivative terms from the tridiagonal system (1 4 1), solved by a
    // forward sweep and back substitution; the natural ends keep k2 at zero.
    std::vector<double> k2(knots, 0.0), w(knots, 0.0), z(knots, 0.0);
    for (int i = 1; i < last; ++i) {
        const double r = 3.0 * (values[i - 1] - 2.0 * values[i] + values[i + 1]);
        z[i] = (r - z[i - 1]) / (4.0 - w[i - 1]);
        w[i] = 1.0 / (4.0 - w[i - 1]);
    }
    for (int i = last - 1; i >= 1; --i)
        k2[i] = z[i] - w[i] * k2[i + 1];

    m_segments.resize(last);
    for (int i = 0; i < last; ++i) {
        Segment& s = m_segments[i];
        s.k0 = values[i];
        s.k2 = k2[i];
        s.k3 = (k2[i + 1] - k2[i]) / 3.0;
        s.k1 = values[i + 1] - values[i] - s.k2 - s.k3;
    }
    return true;
}

double NaturalSpline::Eval(double t) const
{
    if (m_segments.empty())
        return 0.0;
    const int last = static_cast<int>(m_segments.size()) - 1;
    double floored = std::floor(t);
    int i = floored < 0 ? 0 : floored > last ? last : static_cast<int>(floored);
    const Segment& s = m_segments[i];
    const double u = t - i;
    return ((s.k3 * u + s.k2) * u + s.k1) * u + s.k0;
}
