// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "mapgen/Projection.h"

#include <vector>

namespace brimlark
{

/// The projection of positions in hundredths of a degree, longitude west positive, as the
/// overlay files hold them, for one view. The sines and cosines of each latitude and
/// longitude are worked out the first time it is met, with the very operations of
/// Projection::projectToChart, so the points are the same to the last bit; an overlay's
/// points share few distinct values, so most points cost no trigonometric function.
class OverlayProjection
{
public:
    explicit OverlayProjection(const ViewValues &view);

    /// projectToChart of latitudeCode / 100, -(longitudeCode / 100).
    QPoint project(int latitudeCode, int longitudeCode);

private:
    static constexpr int MaxLatitude = 90 * 100;
    static constexpr int MaxLongitude = 180 * 100;
    struct Angle {
        double sine, cosine;
        bool known;
    };
    const Angle &latitude(int code);
    const Angle &longitude(int code);

    ViewValues m_view;
    Projection::ViewAngles m_angles;
    std::vector<Angle> m_latitudes, m_longitudes;
};

} // namespace brimlark
