// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/MinuteProjection.h"

#include <cmath>
#include <mutex>

namespace brimlark
{

// The sines and cosines of every minute of latitude; the same for every view.
const MinuteProjection::Table &MinuteProjection::latitudes()
{
    static const Table table = [] {
        Table t;
        t.reserve(2 * MaxLatitude + 1);
        for (int m = -MaxLatitude; m <= MaxLatitude; ++m) {
            const double phi = Projection::converted(m / 60.0);
            t.push_back({std::sin(phi), std::cos(phi)});
        }
        return t;
    }();
    return table;
}

// The longitudes' table depends on the centre longitude alone, and making it (21,601 sines
// and cosines) costs a tenth of a whole map; the last one made is kept for the next view,
// as the window and the benchmarks draw one view again and again (each Generate, each change
// of the preferences). The lock keeps maps drawn on several threads apart.
std::shared_ptr<const MinuteProjection::Table>
MinuteProjection::longitudesAround(double centreLongitude)
{
    static std::mutex lock;
    static std::shared_ptr<const Table> last;
    static double lastCentre = 0;
    const std::lock_guard<std::mutex> guard(lock);
    // Compared as the same number: -0 and 0 give the same table, a NaN none to share.
    if (last && lastCentre == centreLongitude)
        return last;
    auto table = std::make_shared<Table>();
    table->reserve(2 * MaxLongitude + 1);
    const ViewValues centre{0, centreLongitude, 1, 1, 1};
    for (int m = -MaxLongitude; m <= MaxLongitude; ++m) {
        const double delta = Projection::deltaOf(centre, m / 60.0);
        table->push_back({std::sin(delta), std::cos(delta)});
    }
    last = std::move(table);
    lastCentre = centreLongitude;
    return last;
}

MinuteProjection::MinuteProjection(const ViewValues &view)
    : m_view(view), m_angles(Projection::anglesOf(view)),
      m_longitudes(longitudesAround(view.centerLon)), m_phi(latitudes().data()),
      m_delta(m_longitudes->data())
{
}

QPoint MinuteProjection::project(int latitude, int longitude) const
{
    if (!inRange(latitude, longitude))
        return QPoint(Projection::OffChart, Projection::OffChart);
    return Projection::chartPointOf(m_view, terms(latitude, longitude));
}

} // namespace brimlark
