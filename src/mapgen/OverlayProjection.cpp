// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/OverlayProjection.h"

#include <cmath>

namespace brimlark
{

OverlayProjection::OverlayProjection(const ViewValues &view)
    : m_view(view), m_angles(Projection::anglesOf(view))
{
}

void OverlayProjection::makeTables()
{
    m_latitudes.assign(2 * MaxLatitude + 1, Angle{0, 0, false});
    m_longitudes.assign(2 * MaxLongitude + 1, Angle{0, 0, false});
}

OverlayProjection::Angle OverlayProjection::latitudeAngle(int code)
{
    const double phi = Projection::converted(code / 100.0);
    return {std::sin(phi), std::cos(phi), true};
}

OverlayProjection::Angle OverlayProjection::longitudeAngle(int code) const
{
    const double delta = Projection::deltaOf(m_view, -(code / 100.0));
    return {std::sin(delta), std::cos(delta), true};
}

} // namespace brimlark
