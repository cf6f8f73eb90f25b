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
/// points share few distinct values, so most points cost no trigonometric function. The
/// values worked out are kept for the thread's next projection (those of the longitudes for
/// a view with the same centre longitude), as the window and the benchmarks draw one view
/// again and again.
class OverlayProjection
{
public:
    explicit OverlayProjection(const ViewValues &view);
    ~OverlayProjection();
    OverlayProjection(const OverlayProjection &) = delete;
    OverlayProjection &operator=(const OverlayProjection &) = delete;

    /// projectToChart of latitudeCode / 100, -(longitudeCode / 100). Inline, as every point
    /// of an overlay comes through here.
    QPoint project(int latitudeCode, int longitudeCode)
    {
        if (latitudeCode < -MaxLatitude || latitudeCode > MaxLatitude
            || longitudeCode < -MaxLongitude || longitudeCode > MaxLongitude)
            return QPoint(Projection::OffChart, Projection::OffChart);
        if (m_tables.latitudes.empty()) [[unlikely]]
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
        Angle &angle = m_tables.latitudes[size_t(code + MaxLatitude)];
        if (!angle.known) [[unlikely]]
            angle = latitudeAngle(code);
        return angle;
    }
    const Angle &longitude(int code)
    {
        Angle &angle = m_tables.longitudes[size_t(code + MaxLongitude)];
        if (!angle.known) [[unlikely]]
            angle = longitudeAngle(code);
        return angle;
    }
    void makeTables();
    static Angle latitudeAngle(int code);
    Angle longitudeAngle(int code) const;

    struct Tables {
        std::vector<Angle> latitudes, longitudes; // empty until first used
        double centreLongitude = 0;               // the longitudes' view's
    };
    static Tables &spareTables();

    ViewValues m_view;
    Projection::ViewAngles m_angles;
    Tables m_tables;
};

} // namespace brimlark
