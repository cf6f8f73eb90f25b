// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/OverlayProjection.h"

#include <cmath>

namespace brimlark
{

OverlayProjection::OverlayProjection(const ViewValues &view)
    : m_view(view), m_angles(Projection::anglesOf(view))
{
}

QPoint OverlayProjection::project(int latitudeCode, int longitudeCode)
{
    if (latitudeCode < -MaxLatitude || latitudeCode > MaxLatitude || longitudeCode < -MaxLongitude
        || longitudeCode > MaxLongitude)
        return QPoint(Projection::OffChart, Projection::OffChart);
    if (m_latitudes.empty()) { // made on first use: most charts draw no overlay
        m_latitudes.assign(2 * MaxLatitude + 1, Angle{0, 0, false});
        m_longitudes.assign(2 * MaxLongitude + 1, Angle{0, 0, false});
    }
    const Angle &phi = latitude(latitudeCode);
    const Angle &delta = longitude(longitudeCode);
    return Projection::chartPointOf(
        m_view, Projection::termsOf(m_angles, phi.sine, phi.cosine, delta.sine, delta.cosine));
}

const OverlayProjection::Angle &OverlayProjection::latitude(int code)
{
    Angle &angle = m_latitudes[size_t(code + MaxLatitude)];
    if (!angle.known) {
        const double phi = Projection::converted(code / 100.0);
        angle = {std::sin(phi), std::cos(phi), true};
    }
    return angle;
}

const OverlayProjection::Angle &OverlayProjection::longitude(int code)
{
    Angle &angle = m_longitudes[size_t(code + MaxLongitude)];
    if (!angle.known) {
        const double delta = Projection::deltaOf(m_view, -(code / 100.0));
        angle = {std::sin(delta), std::cos(delta), true};
    }
    return angle;
}

} // namespace brimlark
