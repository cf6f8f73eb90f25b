// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/MinuteProjection.h"

#include <cmath>

namespace brimlark
{

namespace
{

// The sines and cosines of every minute of latitude; the same for every view.
struct LatitudeTable {
    std::vector<double> sines, cosines;
    LatitudeTable()
    {
        for (int m = -90 * 60; m <= 90 * 60; ++m) {
            const double phi = Projection::converted(m / 60.0);
            sines.push_back(std::sin(phi));
            cosines.push_back(std::cos(phi));
        }
    }
};

const LatitudeTable &latitudes()
{
    static const LatitudeTable table;
    return table;
}

} // namespace

const std::vector<double> &MinuteProjection::sinPhi() { return latitudes().sines; }

const std::vector<double> &MinuteProjection::cosPhi() { return latitudes().cosines; }

MinuteProjection::MinuteProjection(const ViewValues &view)
    : m_view(view), m_angles(Projection::anglesOf(view)), m_sinPhi(sinPhi().data()),
      m_cosPhi(cosPhi().data())
{
    m_sinDelta.reserve(2 * MaxLongitude + 1);
    m_cosDelta.reserve(2 * MaxLongitude + 1);
    for (int m = -MaxLongitude; m <= MaxLongitude; ++m) {
        const double delta = Projection::deltaOf(view, m / 60.0);
        m_sinDelta.push_back(std::sin(delta));
        m_cosDelta.push_back(std::cos(delta));
    }
}

QPoint MinuteProjection::project(int latitude, int longitude) const
{
    if (!inRange(latitude, longitude))
        return QPoint(Projection::OffChart, Projection::OffChart);
    return Projection::chartPointOf(m_view, terms(latitude, longitude));
}

} // namespace brimlark
