// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/Projection.h"

#include "workspace/NumberConversion.h"

#include <cmath>

namespace {

// pi to extended precision times 0.00555555, held as a double.
constexpr double K = double(3.14159265358979323846264338327950288L * 0.00555555L);

double clamped(double v)
{
    return (v < -9999 || v > 9999) ? Projection::OffChart : v;
}

bool inRange(double latitude, double longitude)
{
    return latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180;
}

// The orthographic terms of one position: its offsets a and b from the centre in Earth
// radii, and the visibility v (visible while below 0).
struct Terms {
    double a, b, v;
};

Terms termsOf(const ViewValues &view, double latitude, double longitude)
{
    const double phi = latitude * K;
    const double delta = longitude * K - (view.CenterLon - 180) * K;
    const double psi = -view.CenterLat * K;
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    const double cosDelta = std::cos(delta);
    const double cosPsi = std::cos(psi);
    const double sinPsi = std::sin(psi);
    return {cosPhi * std::sin(delta), cosPsi * sinPhi - sinPsi * cosPhi * cosDelta,
            sinPsi * sinPhi + cosPsi * cosPhi * cosDelta};
}

QPoint chartPoint(const ViewValues &view, double a, double b)
{
    const double r = view.Zoom * view.ChartWidth;
    const double x = clamped(view.ChartWidth * 0.5 - a * r);
    const double y = clamped(view.ChartHeight * 0.5 - b * r);
    return QPoint(NumberConversion::roundHalfEven(x), NumberConversion::roundHalfEven(y));
}

} // namespace

QPoint Projection::ProjectToChart(const ViewValues &view, double latitude, double longitude)
{
    if (!inRange(latitude, longitude))
        return QPoint(OffChart, OffChart);
    const Terms t = termsOf(view, latitude, longitude);
    if (!(t.v < 0)) // the far side and the rim itself
        return QPoint(OffChart, OffChart);
    return chartPoint(view, t.a, t.b);
}

std::optional<QPoint> Projection::rimPoint(const ViewValues &view, double latitude,
                                           double longitude)
{
    if (!inRange(latitude, longitude))
        return std::nullopt;
    const Terms t = termsOf(view, latitude, longitude);
    const double length = std::hypot(t.a, t.b);
    if (t.v < 0 || !(length > 1e-9))
        return std::nullopt;
    return chartPoint(view, t.a / length, t.b / length);
}
