// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "mapgen/Projection.h"

#include <memory>
#include <vector>

namespace brimlark
{

/// The projection of positions in whole minutes of arc, as the vector map files hold them,
/// for one view. The sines and cosines of every minute of latitude and of every minute of
/// longitude's difference from the centre are worked out once, with the very operations of
/// Projection::projectToChart, so the points are the same to the last bit, only without
/// four trigonometric functions per point.
class MinuteProjection
{
public:
    /// The sine and cosine of one angle, side by side: a point looks up both.
    struct SinCos {
        double sine, cosine;
    };

    explicit MinuteProjection(const ViewValues &view);

    /// Whether the minutes lie within -90 .. 90 and -180 .. 180 degrees.
    static bool inRange(int latitude, int longitude)
    {
        return latitude >= -MaxLatitude && latitude <= MaxLatitude && longitude >= -MaxLongitude
               && longitude <= MaxLongitude;
    }
    /// The terms of a position in range.
    Projection::Terms terms(int latitude, int longitude) const
    {
        const SinCos &phi = m_phi[latitude + MaxLatitude];
        const SinCos &delta = m_delta[longitude + MaxLongitude];
        return Projection::termsOf(m_angles, phi.sine, phi.cosine, delta.sine, delta.cosine);
    }
    /// The sine and cosine of a latitude in range, converted, as the terms use them.
    double sinLatitude(int latitude) const { return m_phi[latitude + MaxLatitude].sine; }
    double cosLatitude(int latitude) const { return m_phi[latitude + MaxLatitude].cosine; }
    /// The sine and cosine of a longitude's converted difference from the view centre.
    double sinDelta(int longitude) const { return m_delta[longitude + MaxLongitude].sine; }
    double cosDelta(int longitude) const { return m_delta[longitude + MaxLongitude].cosine; }
    /// projectToChart of the position latitude / 60, longitude / 60.
    QPoint project(int latitude, int longitude) const;

private:
    static constexpr int MaxLatitude = 90 * 60;
    static constexpr int MaxLongitude = 180 * 60;
    using Table = std::vector<SinCos>;
    static const Table &latitudes();
    static std::shared_ptr<const Table> longitudesAround(double centreLongitude);

    ViewValues m_view;
    Projection::ViewAngles m_angles;
    std::shared_ptr<const Table> m_longitudes; // kept alive while this view uses them
    const SinCos *m_phi;
    const SinCos *m_delta;
};

} // namespace brimlark
