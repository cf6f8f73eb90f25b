// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/CirclePoints.h"

#include "base/NumberConversion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brimlark
{

namespace
{

// Vertices per quarter circle: about one per 1.5 pixels of radius, so the outline has no
// visible corners, and never fewer than three, so a tiny circle is not a square.
int stepsPerQuarter(double radius) { return std::clamp(int(std::ceil(radius / 1.5)), 3, 16); }

} // namespace

QPointF CirclePoints::along(QPointF centre, double bearing, double distance)
{
    const double a = bearing * std::numbers::pi / 180.0;
    return {centre.x() + distance * std::sin(a), centre.y() - distance * std::cos(a)};
}

std::vector<QPoint> CirclePoints::arc(QPointF centre, double radius, double from, double to)
{
    const double step = 90.0 / stepsPerQuarter(radius);
    const int steps = std::max(1, int(std::lround((to - from) / step)));
    std::vector<QPoint> points;
    for (int i = 0; i <= steps; ++i)
        points.push_back(
            NumberConversion::roundedPoint(along(centre, from + (to - from) * i / steps, radius)));
    return points;
}

std::vector<QPoint> CirclePoints::circle(QPointF centre, double radius)
{
    std::vector<QPoint> points = arc(centre, radius, 0, 360);
    points.pop_back();
    return points;
}

} // namespace brimlark
