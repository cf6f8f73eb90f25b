// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/Projection.h"

#include "base/NumberConversion.h"

#include <algorithm>
#include <cmath>

namespace brimlark
{

namespace
{

// pi to extended precision times 0.00555555, held as a double.
constexpr double K = double(3.14159265358979323846264338327950288L * 0.00555555L);

bool inRange(double latitude, double longitude)
{
    return latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180;
}

Projection::Terms termsAt(const ViewValues &view, double latitude, double longitude)
{
    const double phi = Projection::converted(latitude);
    const double delta = Projection::deltaOf(view, longitude);
    return Projection::termsOf(Projection::anglesOf(view), std::sin(phi), std::cos(phi),
                               std::sin(delta), std::cos(delta));
}

} // namespace

double Projection::converted(double degrees) { return degrees * K; }

double Projection::deltaOf(const ViewValues &view, double longitude)
{
    return longitude * K - (view.centerLon - 180) * K;
}

Projection::ViewAngles Projection::anglesOf(const ViewValues &view)
{
    const double psi = -view.centerLat * K;
    return {std::sin(psi), std::cos(psi)};
}

QPoint Projection::horizonPoint(const ViewValues &view, double angle)
{
    constexpr double Far = 1e8; // well off any chart, well within int
    const double r = view.zoom * view.chartWidth;
    const double x = std::clamp(view.chartWidth * 0.5 - std::cos(angle) * r, -Far, Far);
    const double y = std::clamp(view.chartHeight * 0.5 - std::sin(angle) * r, -Far, Far);
    return QPoint(NumberConversion::roundHalfEven(x), NumberConversion::roundHalfEven(y));
}

// The terms (a, b, w = -v) are a rotation of the position's unit vector (X, Y, Z) =
// (cos phi cos delta, cos phi sin delta, sin phi): a = Y, b = cos psi Z - sin psi X and
// w = -sin psi Z - cos psi X; turned back, Z = cos psi b - sin psi w and
// X = -sin psi b - cos psi w, with w = sqrt(1 - a^2 - b^2) on the visible side.
std::optional<GeoPoint> Projection::positionAt(const ViewValues &view, double x, double y)
{
    const double r = view.zoom * view.chartWidth;
    if (!(r != 0))
        return std::nullopt;
    const double a = (view.chartWidth * 0.5 - x) / r;
    const double b = (view.chartHeight * 0.5 - y) / r;
    const double w2 = 1 - a * a - b * b;
    if (!(w2 >= 0))
        return std::nullopt;
    const double w = std::sqrt(w2);
    const ViewAngles angles = anglesOf(view);
    const double z = angles.cosPsi * b - angles.sinPsi * w;
    const double xUnit = -angles.sinPsi * b - angles.cosPsi * w;
    const double latitude = std::asin(std::clamp(z, -1.0, 1.0)) / K;
    const double longitude = std::atan2(a, xUnit) / K + (view.centerLon - 180);
    return GeoPoint{latitude, std::remainder(longitude, 360.0)};
}

QPoint Projection::projectToChart(const ViewValues &view, double latitude, double longitude)
{
    if (!inRange(latitude, longitude))
        return QPoint(OffChart, OffChart);
    return chartPointOf(view, termsAt(view, latitude, longitude));
}

} // namespace brimlark
