// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/GeoPoint.h"

namespace brimlark
{

/// Travel along great circles of the sphere, for the arms of the graticule's crosses.
class GreatCircle
{
public:
    /// The point reached from a start by following a great circle with a bearing (degrees
    /// clockwise from north) for a distance in minutes of arc. The longitude is not wrapped
    /// into -180 .. 180. (Spherical destination formula, with the one-argument arctangent
    /// for the longitude difference.)
    /// Traced name: PointAtBearing.
    static GeoPoint pointAtBearing(double latitude, double longitude, double bearing,
                                   double distance);
    /// The arcsine in degrees, as atan(x / sqrt(1 - x^2)).
    /// Traced name: ArcSinDeg.
    static double arcSinDeg(double value);
};

} // namespace brimlark
