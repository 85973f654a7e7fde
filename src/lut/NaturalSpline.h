#pragma once

#include <vector>

// A natural cubic spline over unit-spaced knots t = 0, 1, ..., n - 1: segment i
// is S_i(u) = k0 + k1 u + k2 u^2 + k3 u^3 with u = t - i, and the second
// derivative is zero at both ends.
class NaturalSpline {
public:
    static constexpr int kMaxKnots = 101;

    // False (and no curve) for fewer than two or more than kMaxKnots values.
    bool Build(const std::vector<double>& values);
    // Beyond the last knot (or before the first) the end segment's cubic goes on.
    double Eval(double t) const;

private:
    struct Segment {
        double k0 = 0, k1 = 0, k2 = 0, k3 = 0;
    };
    std::vector<Segment> m_segments;
};
