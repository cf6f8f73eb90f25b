// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <cmath>
#include <optional>

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

    /// Where a step between two positions crosses the antimeridian.
    struct Crossing {
        double edge;     ///< 180 or -180: the antimeridian's longitude on the side of the start
        double fraction; ///< how far along the step it lies, 0 .. 1 of the step's longitude
        double latitude; ///< interpolated linearly in longitude
    };
    /// The crossing of the step taken the short way round, for longitudes in -180 .. 180;
    /// nothing for a step that stays on one side.
    static std::optional<Crossing> antimeridianCrossing(const GeoPoint &from, const GeoPoint &to)
    {
        if (std::abs(to.longitude - from.longitude) <= 180)
            return std::nullopt;
        const double edge = from.longitude > 0 ? 180 : -180;
        const double unwrapped = to.longitude + 2 * edge;
        const double t = (edge - from.longitude) / (unwrapped - from.longitude);
        return Crossing{edge, t, from.latitude + t * (to.latitude - from.latitude)};
    }
};

} // namespace brimlark
