// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/WindBarb.h"

#include "base/NumberConversion.h"

#include <cmath>
#include <numbers>

namespace brimlark
{

namespace
{

// Proportions of the shaft length.
constexpr double FeatherLength = 0.4;
constexpr double FeatherSpacing = 0.13;
// Feathers stand at 70 degrees to the shaft: steeper reads as a shaft of its own on a small
// model.
constexpr double FeatherCos = 0.342, FeatherSin = 0.940;
// A pennant's base along the shaft, so its outer edge stands square to it.
constexpr double PennantBase = FeatherLength * FeatherCos;

QPoint pixel(QPointF p) { return NumberConversion::roundedPoint(p); }

// Unit vectors on the chart (y down): out along the shaft, and across it to the feather side.
struct Frame {
    QPointF centre, out, side;
    double length;

    QPointF onShaft(double fromTip) const { return centre + out * (length - fromTip); }
    // The tip of a feather of relative length f standing on the shaft at `base`.
    QPointF featherTip(QPointF base, double f) const
    {
        const double l = f * FeatherLength * length;
        return base + side * (l * FeatherSin) + out * (l * FeatherCos);
    }
};

Frame frameFor(QPointF centre, double bearing, double length, bool southern)
{
    const double a = bearing * std::numbers::pi / 180.0;
    const QPointF out(std::sin(a), -std::cos(a));
    // A quarter turn clockwise as seen on the chart, where y grows downwards.
    const QPointF clockwise(-out.y(), out.x());
    return {centre, out, southern ? -clockwise : clockwise, length};
}

WindBarb::Line feather(const Frame &f, double fromTip, double relative)
{
    const QPointF base = f.onShaft(fromTip);
    return {pixel(base), pixel(f.featherTip(base, relative))};
}

WindBarb::Pennant pennant(const Frame &f, double fromTip)
{
    const QPointF inner = f.onShaft(fromTip + PennantBase * f.length);
    return {pixel(f.onShaft(fromTip)), pixel(inner), pixel(f.featherTip(inner, 1))};
}

} // namespace

int WindBarb::plottedSpeed(double knots) { return 5 * int(std::floor(knots / 5 + 0.5)); }

WindBarb::Shape WindBarb::shape(QPointF centre, double bearing, double knots, double inner,
                                double length, bool southernHemisphere)
{
    const Frame f = frameFor(centre, bearing, length, southernHemisphere);
    Shape s{{pixel(centre + f.out * inner), pixel(f.onShaft(0))}, {}, {}};
    int left = std::max(0, plottedSpeed(knots));
    const double spacing = FeatherSpacing * length;
    double fromTip = 0;
    for (; left >= 50; left -= 50, fromTip += PennantBase * length)
        s.pennants.push_back(pennant(f, fromTip));
    if (!s.pennants.empty())
        fromTip += spacing / 2;
    for (; left >= 10; left -= 10, fromTip += spacing)
        s.barbs.push_back(feather(f, fromTip, 1));
    // A lone half barb stands in from the tip, so it cannot be read as a full one.
    if (left == 5)
        s.barbs.push_back(feather(f, fromTip == 0 ? spacing : fromTip, 0.5));
    return s;
}

} // namespace brimlark
