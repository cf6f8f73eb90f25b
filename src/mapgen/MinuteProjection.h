// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "mapgen/Projection.h"

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
        const size_t i = size_t(latitude + MaxLatitude);
        const size_t j = size_t(longitude + MaxLongitude);
        return Projection::termsOf(m_angles, m_sinPhi[i], m_cosPhi[i], m_sinDelta[j],
                                   m_cosDelta[j]);
    }
    /// The sine and cosine of a latitude in range, converted, as the terms use them.
    double sinLatitude(int latitude) const { return m_sinPhi[size_t(latitude + MaxLatitude)]; }
    double cosLatitude(int latitude) const { return m_cosPhi[size_t(latitude + MaxLatitude)]; }
    /// The sine and cosine of a longitude's converted difference from the view centre.
    double sinDelta(int longitude) const { return m_sinDelta[size_t(longitude + MaxLongitude)]; }
    double cosDelta(int longitude) const { return m_cosDelta[size_t(longitude + MaxLongitude)]; }
    /// projectToChart of the position latitude / 60, longitude / 60.
    QPoint project(int latitude, int longitude) const;

private:
    static constexpr int MaxLatitude = 90 * 60;
    static constexpr int MaxLongitude = 180 * 60;
    static const std::vector<double> &sinPhi();
    static const std::vector<double> &cosPhi();

    ViewValues m_view;
    Projection::ViewAngles m_angles;
    const double *m_sinPhi;
    const double *m_cosPhi;
    std::vector<double> m_sinDelta, m_cosDelta;
};

} // namespace brimlark
