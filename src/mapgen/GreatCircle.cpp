// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/GreatCircle.h"

#include <cmath>
#include <numbers>

namespace brimlark
{

namespace
{

constexpr double Radians = std::numbers::pi / 180;

} // namespace

GeoPoint GreatCircle::pointAtBearing(double latitude, double longitude, double bearing,
                                     double distance)
{
    const double delta = distance / 60 * Radians;
    const double theta = bearing * Radians;
    const double phi1 = latitude * Radians;
    const double endLatitude = arcSinDeg(std::sin(phi1) * std::cos(delta)
                                         + std::cos(phi1) * std::sin(delta) * std::cos(theta));
    const double dLambda = std::atan((std::sin(delta) * std::sin(theta))
                                     / (std::cos(phi1) * std::cos(delta)
                                        - std::sin(phi1) * std::sin(delta) * std::cos(theta)))
                           / Radians;
    return {endLatitude, longitude + dLambda};
}

double GreatCircle::arcSinDeg(double value)
{
    return std::atan(value / std::sqrt(1 - value * value)) / Radians;
}

} // namespace brimlark
