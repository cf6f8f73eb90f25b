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

} // namespace

QPoint Projection::ProjectToChart(const ViewValues &view, double latitude, double longitude)
{
    if (!(latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180))
        return QPoint(OffChart, OffChart);
    const double phi = latitude * K;
    const double delta = longitude * K - (view.CenterLon - 180) * K;
    const double psi = -view.CenterLat * K;
    const double r = view.Zoom * view.ChartWidth;
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    const double cosDelta = std::cos(delta);
    const double cosPsi = std::cos(psi);
    const double sinPsi = std::sin(psi);
    const double a = cosPhi * std::sin(delta);
    const double b = cosPsi * sinPhi - sinPsi * cosPhi * cosDelta;
    const double x = clamped(view.ChartWidth * 0.5 - a * r);
    const double y = clamped(view.ChartHeight * 0.5 - b * r);
    const double visibility = sinPsi * sinPhi + cosPsi * cosPhi * cosDelta;
    if (!(visibility < 0)) // the far side and the rim itself
        return QPoint(OffChart, OffChart);
    return QPoint(NumberConversion::roundHalfEven(x), NumberConversion::roundHalfEven(y));
}
