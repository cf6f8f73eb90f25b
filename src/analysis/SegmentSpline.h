// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/Segment.h"
#include "base/NumberConversion.h"

#include <QPoint>
#include <QPointF>

#include <array>
#include <span>

namespace brimlark
{

/// The smooth line through a segment's points: a natural cubic spline in x and in y over a
/// parameter t that runs from 0 at the first knot to n at the last, one unit per interval.
///
/// The second derivatives M solve M[i-1] + 4 M[i] + M[i+1] = 6 (k[i+1] - 2 k[i] + k[i-1])
/// with M[0] = M[n] = 0, by elimination without pivoting (the diagonal dominates). The
/// curve is sampled at t = (i - 1) + j * 0.0201, j = 0 .. 49, in every interval i, plus one
/// closing sample at t = n - 0.0001: 50 n + 1 samples, each rounded half to even.
class SegmentSpline
{
public:
    /// Most knots a segment can have.
    static constexpr int MaxKnots = Segment::Capacity;

    /// Computes the coefficients for 3 to 100 knots (more are ignored).
    explicit SegmentSpline(std::span<const QPointF> knots);

    /// The number of intervals, n.
    int intervals() const { return m_n; }
    /// Second-derivative coefficients Mx[i] and My[i], i = 0 .. n.
    double mx(int i) const { return m_mx[size_t(i)]; }
    double my(int i) const { return m_my[size_t(i)]; }
    /// 50 n + 1.
    int sampleCount() const { return 50 * m_n + 1; }
    /// The curve's value at t, before rounding.
    QPointF valueAt(double t) const;

    /// Calls visit(QPoint) for every sample in order; nothing is allocated.
    template <typename Visit> void forEachSample(Visit &&visit) const
    {
        bool ended = false;
        for (int i = 1; i <= m_n; ++i) {
            double t = i - 1;
            while (t < i) {
                visit(NumberConversion::roundedPoint(evaluate(t, i)));
                t += Step;
                if (!ended && static_cast<long long>(t) >= m_n) {
                    t = m_n - 0.0001;
                    ended = true;
                }
            }
        }
    }

private:
    static constexpr double Step = 0.0201;
    using Column = std::array<double, MaxKnots + 1>;

    static void solve(const Column &k, int n, Column &m);
    QPointF evaluate(double t, int i) const;

    int m_n = 0;
    Column m_x{}, m_y{}, m_mx{}, m_my{};
};

} // namespace brimlark
