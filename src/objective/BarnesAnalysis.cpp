// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "objective/BarnesAnalysis.h"

#include "mapgen/Projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brimlark
{

namespace
{

// Weights below exp(-20), two parts in a thousand million, count as none.
constexpr double LeastExponent = 20;
// The grid never has more nodes than this, whatever the spacing of the stations.
constexpr double MostNodes = 1 << 20;

double squared(double v) { return v * v; }

// The squared great-circle angle of a squared chord on the unit sphere,
// (2 asin(c / 2))^2 = c^2 + c^4 / 12 + c^6 / 90 + c^8 / 560 + ..., summed while the chord is
// short (under 1,300 km, where the next term is below 1e-10 of the first) and computed
// directly beyond.
double angle2Of(double chord2)
{
    if (chord2 < 0.04)
        return chord2 * (1 + chord2 * (1.0 / 12 + chord2 * (1.0 / 90 + chord2 / 560)));
    return squared(2 * std::asin(std::min(1.0, std::sqrt(chord2) / 2)));
}

// The squared chord of a great-circle angle, or 4 (the whole sphere) beyond pi.
double chord2Of(double angle)
{
    return angle >= std::numbers::pi ? 4 : squared(2 * std::sin(angle / 2));
}

} // namespace

BarnesAnalysis::BarnesAnalysis(const ViewValues &view, std::vector<StationValue> stations)
    : m_view(view), m_stations(std::move(stations)),
      m_pixelsPerKm(view.zoom * view.chartWidth / EarthRadius)
{
    for (const StationValue &s : m_stations)
        m_units.push_back(unitOf(s.position));
    // At least three pixels, so that the grid spacing stays a pixel or more when the
    // stations stand on one spot.
    m_meanSpacing = std::max(2 * meanNearestDistance(), 3 / m_pixelsPerKm);
    m_kappa = 5.052 * squared(2 * m_meanSpacing / std::numbers::pi);
    bucketStations();
}

double BarnesAnalysis::chord2Between(const Unit &a, const Unit &b)
{
    return squared(a.x - b.x) + squared(a.y - b.y) + squared(a.z - b.z);
}

BarnesAnalysis::Unit BarnesAnalysis::unitOf(const GeoPoint &position)
{
    constexpr double Degree = std::numbers::pi / 180;
    const double phi = position.latitude * Degree;
    const double lambda = position.longitude * Degree;
    return {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)};
}

// Each station's nearest neighbour, searched in rings of chart cells about a station's share
// of the chart wide: a ring k cells out lies at least k - 1 cells away on the chart, and so
// on the globe, since the projection never lengthens a distance.
double BarnesAnalysis::meanNearestDistance() const
{
    const size_t n = m_stations.size();
    if (n < 2)
        return 0;
    const double cell =
        std::max(1.0, std::sqrt(double(m_view.chartWidth) * m_view.chartHeight / double(n)));
    const int columns = int(m_view.chartWidth / cell) + 1;
    const int rows = int(m_view.chartHeight / cell) + 1;
    std::vector<std::vector<size_t>> cells(size_t(columns) * rows);
    const auto cellOf = [&](QPointF at) {
        return QPoint(std::clamp(int(at.x() / cell), 0, columns - 1),
                      std::clamp(int(at.y() / cell), 0, rows - 1));
    };
    for (size_t i = 0; i < n; ++i) {
        const QPoint c = cellOf(m_stations[i].at);
        cells[size_t(c.y()) * columns + c.x()].push_back(i);
    }
    double total = 0;
    for (size_t i = 0; i < n; ++i) {
        const QPoint c = cellOf(m_stations[i].at);
        double nearest2 = 4;
        for (int k = 0; k <= std::max(columns, rows); ++k) {
            const double ringAngle = (k - 1) * cell / m_pixelsPerKm / EarthRadius;
            if (k > 1 && squared(ringAngle) > angle2Of(nearest2))
                break;
            for (int r = std::max(0, c.y() - k); r <= std::min(rows - 1, c.y() + k); ++r)
                for (int col = std::max(0, c.x() - k); col <= std::min(columns - 1, c.x() + k);
                     ++col) {
                    if (std::max(std::abs(r - c.y()), std::abs(col - c.x())) != k)
                        continue; // inside the ring, searched before
                    for (const size_t j : cells[size_t(r) * columns + col])
                        if (j != i)
                            nearest2 = std::min(nearest2, chord2Between(m_units[i], m_units[j]));
                }
        }
        total += std::sqrt(angle2Of(nearest2)) * EarthRadius;
    }
    return total / double(n);
}

BarnesAnalysis::Pass BarnesAnalysis::passFor(double kappa) const
{
    return passWithin(kappa, std::sqrt(LeastExponent * kappa));
}

BarnesAnalysis::Pass BarnesAnalysis::passWithin(double kappa, double cutoff) const
{
    return {squared(EarthRadius) / kappa, chord2Of(cutoff / EarthRadius),
            int(std::ceil(cutoff * m_pixelsPerKm / m_bucketSize))};
}

// Buckets half the first pass's cutoff wide: a point's stations within the cutoff lie in the
// 5 x 5 buckets around it, since the projection never lengthens a distance.
void BarnesAnalysis::bucketStations()
{
    const double cutoff = std::sqrt(LeastExponent * m_kappa) * m_pixelsPerKm;
    const double chart = std::max(m_view.chartWidth, m_view.chartHeight);
    m_bucketSize = std::max(cutoff / 2, chart / 256);
    m_bucketColumns = int(m_view.chartWidth / m_bucketSize) + 1;
    m_bucketRows = int(m_view.chartHeight / m_bucketSize) + 1;
    m_buckets.assign(size_t(m_bucketColumns) * m_bucketRows, {});
    for (size_t i = 0; i < m_stations.size(); ++i) {
        const int c = std::clamp(int(m_stations[i].at.x() / m_bucketSize), 0, m_bucketColumns - 1);
        const int r = std::clamp(int(m_stations[i].at.y() / m_bucketSize), 0, m_bucketRows - 1);
        m_buckets[size_t(r) * m_bucketColumns + c].push_back(int(i));
    }
}

template <typename ValueOf>
BarnesAnalysis::Sum BarnesAnalysis::sumAt(const Unit &u, QPointF at, const Pass &pass,
                                          ValueOf valueOf) const
{
    Sum sum;
    const int column = int(at.x() / m_bucketSize);
    const int row = int(at.y() / m_bucketSize);
    for (int r = std::max(0, row - pass.reach); r <= std::min(m_bucketRows - 1, row + pass.reach);
         ++r)
        for (int c = std::max(0, column - pass.reach);
             c <= std::min(m_bucketColumns - 1, column + pass.reach); ++c)
            for (const int i : m_buckets[size_t(r) * m_bucketColumns + c]) {
                const Unit &s = m_units[size_t(i)];
                const double chord2 = chord2Between(s, u);
                sum.nearestChord2 = std::min(sum.nearestChord2, chord2);
                if (chord2 > pass.chord2)
                    continue;
                const double weight = std::exp(-pass.scale * angle2Of(chord2));
                const double value = valueOf(size_t(i));
                sum.weighted += weight * value;
                sum.weightedSquares += weight * value * value;
                sum.weights += weight;
                ++sum.count;
            }
    return sum;
}

// Each station's value less the first pass at the station.
std::vector<double> BarnesAnalysis::firstPassMisfits(const Pass &first) const
{
    std::vector<double> misfits;
    const auto value = [&](size_t i) { return m_stations[i].value; };
    for (size_t i = 0; i < m_stations.size(); ++i) {
        const Sum sum = sumAt(m_units[i], m_stations[i].at, first, value);
        misfits.push_back(m_stations[i].value - sum.weighted / sum.weights);
    }
    return misfits;
}

std::vector<size_t> BarnesAnalysis::outliers(double limit) const
{
    const Pass near = passWithin(m_kappa, 2 * m_meanSpacing);
    const auto value = [&](size_t i) { return m_stations[i].value; };
    std::vector<size_t> apart;
    for (size_t i = 0; i < m_stations.size(); ++i) {
        Sum others = sumAt(m_units[i], m_stations[i].at, near, value);
        const double own = m_stations[i].value; // its own weight is 1
        others.weights -= 1;
        others.weighted -= own;
        others.weightedSquares -= own * own;
        if (others.count - 1 < 3)
            continue; // too few neighbours to judge by
        const double mean = others.weighted / others.weights;
        const double spread =
            std::sqrt(std::max(0.0, others.weightedSquares / others.weights - mean * mean));
        if (std::abs(own - mean) > std::max(limit, 4 * spread))
            apart.push_back(i);
    }
    return apart;
}

AnalysisGrid BarnesAnalysis::analyse() const
{
    AnalysisGrid grid;
    const double area = double(m_view.chartWidth) * m_view.chartHeight;
    grid.spacing = std::max({m_meanSpacing / 3 * m_pixelsPerKm, 1.0, std::sqrt(area / MostNodes)});
    grid.columns = int(std::ceil((m_view.chartWidth - 1) / grid.spacing)) + 1;
    grid.rows = int(std::ceil((m_view.chartHeight - 1) / grid.spacing)) + 1;
    grid.values.assign(size_t(grid.columns) * grid.rows, AnalysisGrid::NoValue);
    if (m_stations.empty())
        return grid;

    const Pass first = passFor(m_kappa);
    const Pass second = passFor(Gamma * m_kappa);
    const std::vector<double> misfits = firstPassMisfits(first);
    const double reach2 = chord2Of(Reach * m_meanSpacing / EarthRadius);
    const auto value = [&](size_t i) { return m_stations[i].value; };
    const auto misfit = [&](size_t i) { return misfits[i]; };
    for (int row = 0; row < grid.rows; ++row)
        for (int column = 0; column < grid.columns; ++column) {
            const QPointF at = grid.point(column, row);
            const std::optional<GeoPoint> p = Projection::positionAt(m_view, at.x(), at.y());
            if (!p)
                continue;
            const Unit u = unitOf(*p);
            const Sum background = sumAt(u, at, first, value);
            if (background.nearestChord2 > reach2 || background.weights == 0)
                continue;
            const Sum correction = sumAt(u, at, second, misfit);
            double v = background.weighted / background.weights;
            if (correction.weights > 0)
                v += correction.weighted / correction.weights;
            grid.at(column, row) = v;
        }
    return grid;
}

} // namespace brimlark
