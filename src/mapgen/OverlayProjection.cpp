// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/OverlayProjection.h"

#include <cmath>
#include <utility>

namespace brimlark
{

// The tables a projection of this thread left, if none is using them: taken by the next
// one, so that two projections alive at once never share them.
OverlayProjection::Tables &OverlayProjection::spareTables()
{
    thread_local Tables spare;
    return spare;
}

OverlayProjection::OverlayProjection(const ViewValues &view)
    : m_view(view), m_angles(Projection::anglesOf(view)), m_tables(std::move(spareTables()))
{
    spareTables() = Tables();
    // The latitudes' values hold for any view, the longitudes' for one centre longitude.
    if (!m_tables.longitudes.empty() && !(m_tables.centreLongitude == view.centerLon))
        m_tables.longitudes.assign(2 * MaxLongitude + 1, Angle{0, 0, false});
    m_tables.centreLongitude = view.centerLon;
}

OverlayProjection::~OverlayProjection()
{
    if (!m_tables.latitudes.empty())
        spareTables() = std::move(m_tables);
}

void OverlayProjection::makeTables()
{
    m_tables.latitudes.assign(2 * MaxLatitude + 1, Angle{0, 0, false});
    m_tables.longitudes.assign(2 * MaxLongitude + 1, Angle{0, 0, false});
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
