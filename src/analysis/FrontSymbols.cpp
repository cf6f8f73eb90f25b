// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/FrontSymbols.h"

#include "base/NumberConversion.h"

namespace brimlark
{

namespace
{

QPoint pixel(double x, double y) { return NumberConversion::roundedPoint(QPointF(x, y)); }

// Base point f along the chord and the height k of the bulge above it.
struct BulgeStep {
    double f, k;
};
constexpr BulgeStep Bulge[6] = {{0, 0.4}, {0.2, 0.7}, {0.4, 0.8}, {0.6, 0.8}, {0.8, 0.7}, {1, 0.4}};

} // namespace

std::array<QPoint, 3> FrontSymbols::triangle(QPoint a, QPoint b)
{
    const int dx = b.x() - a.x();
    const int dy = b.y() - a.y();
    const QPoint middle = pixel(a.x() + 0.5 * dx, a.y() + 0.5 * dy);
    return {a, b, QPoint(middle.x() + dy, middle.y() - dx)};
}

std::array<QPoint, 8> FrontSymbols::semicircle(QPoint a, QPoint b, Side side)
{
    const int dx = b.x() - a.x();
    const int dy = b.y() - a.y();
    const int s = side;
    std::array<QPoint, 8> points;
    points[0] = a;
    for (int j = 0; j < 6; ++j) {
        const QPoint base = pixel(a.x() + Bulge[j].f * dx, a.y() + Bulge[j].f * dy);
        points[size_t(j + 1)] =
            pixel(base.x() + Bulge[j].k * s * dy, base.y() - Bulge[j].k * s * dx);
    }
    points[7] = b;
    return points;
}

} // namespace brimlark
