// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/SegmentSpline.h"

#include <cmath>

namespace brimlark
{

SegmentSpline::SegmentSpline(std::span<const QPointF> knots)
{
    const int count = int(qMin<size_t>(knots.size(), MaxKnots));
    m_n = count - 1;
    if (m_n < 2) {
        m_n = qMax(m_n, 0);
        return;
    }
    for (int i = 0; i <= m_n; ++i) {
        m_x[size_t(i)] = knots[size_t(i)].x();
        m_y[size_t(i)] = knots[size_t(i)].y();
    }
    solve(m_x, m_n, m_mx);
    solve(m_y, m_n, m_my);
}

// The tridiagonal system with a = 1, d = 4, e = 1, solved in the order of its derivation so
// that the coefficients come out to the last bit the same every time.
void SegmentSpline::solve(const Column &k, int n, Column &m)
{
    Column a{}, d{}, e{}, r{};
    for (int i = 1; i <= n - 1; ++i) {
        a[size_t(i)] = 1;
        d[size_t(i)] = 4;
        e[size_t(i)] = 1;
        r[size_t(i)] =
            6 * (k[size_t(i + 1)] - k[size_t(i)]) + 6 * (k[size_t(i - 1)] - k[size_t(i)]);
    }
    for (int i = 2; i <= n - 1; ++i) {
        a[size_t(i)] = a[size_t(i)] / d[size_t(i - 1)];
        d[size_t(i)] = d[size_t(i)] - a[size_t(i)] * e[size_t(i - 1)];
    }
    for (int i = 2; i <= n - 1; ++i)
        r[size_t(i)] = r[size_t(i)] - a[size_t(i)] * r[size_t(i - 1)];
    m.fill(0);
    m[size_t(n - 1)] = r[size_t(n - 1)] / d[size_t(n - 1)];
    for (int i = n - 2; i >= 1; --i)
        m[size_t(i)] = (r[size_t(i)] - e[size_t(i)] * m[size_t(i + 1)]) / d[size_t(i)];
}

// The value in interval i (i - 1 <= t < i), its four terms added in this order.
QPointF SegmentSpline::evaluate(double t, int i) const
{
    const double u = i - t;       // weight of knot i - 1
    const double v = t - (i - 1); // weight of knot i
    const size_t lo = size_t(i - 1);
    const size_t hi = size_t(i);
    const double x = u * u * u * (m_mx[lo] / 6) + v * v * v * (m_mx[hi] / 6)
                     + (m_x[lo] - m_mx[lo] / 6) * u + (m_x[hi] - m_mx[hi] / 6) * v;
    const double y = u * u * u * (m_my[lo] / 6) + v * v * v * (m_my[hi] / 6)
                     + (m_y[lo] - m_my[lo] / 6) * u + (m_y[hi] - m_my[hi] / 6) * v;
    return QPointF(x, y);
}

QPointF SegmentSpline::valueAt(double t) const
{
    if (m_n < 1)
        return QPointF();
    const int i = qBound(1, int(std::floor(t)) + 1, m_n);
    return evaluate(t, i);
}

} // namespace brimlark
