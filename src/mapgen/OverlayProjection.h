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

    /// projectToChart of latitudeCode / 100, -(longitudeCode / 100). Inline, as every point
    /// of an overlay comes through here.
    QPoint project(int latitudeCode, int longitudeCode)
    {
        if (latitudeCode < -MaxLatitude || latitudeCode > MaxLatitude
            || longitudeCode < -MaxLongitude || longitudeCode > MaxLongitude)
            return QPoint(Projection::OffChart, Projection::OffChart);
        if (m_latitudes.empty()) [[unlikely]]
            makeTables(); // on first use: most charts draw no overlay
        const Angle &phi = latitude(latitudeCode);
        const Angle &delta = longitude(longitudeCode);
        return Projection::chartPointOf(
            m_view, Projection::termsOf(m_angles, phi.sine, phi.cosine, delta.sine, delta.cosine));
    }

private:
    static constexpr int MaxLatitude = 90 * 100;
    static constexpr int MaxLongitude = 180 * 100;
    struct Angle {
        double sine, cosine;
        bool known;
    };
    // The sine and cosine of a code, worked out the first time it is met.
    const Angle &latitude(int code)
    {
        Angle &angle = m_latitudes[size_t(code + MaxLatitude)];
        if (!angle.known) [[unlikely]]
            angle = latitudeAngle(code);
        return angle;
    }
    const Angle &longitude(int code)
    {
        Angle &angle = m_longitudes[size_t(code + MaxLongitude)];
        if (!angle.known) [[unlikely]]
            angle = longitudeAngle(code);
        return angle;
    }
    void makeTables();
    static Angle latitudeAngle(int code);
    Angle longitudeAngle(int code) const;

    ViewValues m_view;
    Projection::ViewAngles m_angles;
    std::vector<Angle> m_latitudes, m_longitudes;
};

} // namespace brimlark
