// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <cmath>

namespace brimlark
{

/// A position on the globe in degrees, north and east positive.
struct GeoPoint {
    double latitude = 0;
    double longitude = 0;

    bool operator==(const GeoPoint &) const = default;

    /// The longitude taken into -180 .. 180, 180 itself becoming -180, so that every
    /// meridian has one name in what is written out.
    static double foldedLongitude(double longitude)
    {
        const double folded = std::remainder(longitude, 360.0);
        return folded == 180 ? -180 : folded;
    }
};

} // namespace brimlark
