// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/ChartReach.h"

#include "canvas/PenDisc.h"

#include <algorithm>
#include <cmath>

namespace brimlark
{

namespace
{

// Lines whose longitudes span a half turn or more (round a pole, or across the date line,
// where -180 and 180 meet) are always drawn: the arcs below must be shorter than that.
constexpr int WidestLongitudes = 180 * 60 - 1;
// Room for rounding: to whole pixels, and in the sines and cosines behind the bounds.
constexpr double PixelSlack = 2;
constexpr double TermSlack = 1e-9;

// An arc of angles from (cos1, sin1) anticlockwise to (cos2, sin2), shorter than a half turn.
struct Arc {
    double cos1, sin1, cos2, sin2;

    bool holds(double x, double y) const
    {
        return cos1 * y - sin1 * x >= 0 && x * sin2 - y * cos2 >= 0;
    }
    // The greatest and least of p cos t + q sin t for t on the arc: at the direction (p, q),
    // or its opposite, when the arc holds it; otherwise at an end.
    double greatest(double p, double q) const
    {
        return holds(p, q) ? std::hypot(p, q) : std::max(p * cos1 + q * sin1, p * cos2 + q * sin2);
    }
    double least(double p, double q) const
    {
        return holds(-p, -q) ? -std::hypot(p, q)
                             : std::min(p * cos1 + q * sin1, p * cos2 + q * sin2);
    }
};

} // namespace

// A point's unit vector is (cos phi cos delta, cos phi sin delta, sin phi), so a linear form
// of it is cos phi (alpha cos delta + beta sin delta) + gamma sin phi; with cos phi >= 0 its
// bounds over the box follow from the bounds of the bracket over the longitudes.
struct ChartReach::Corners {
    Arc latitudes, longitudes;

    Range of(double alpha, double beta, double gamma) const
    {
        return {latitudes.least(longitudes.least(alpha, beta), gamma),
                latitudes.greatest(longitudes.greatest(alpha, beta), gamma)};
    }
};

ChartReach::ChartReach(const ViewValues &view, const MinuteProjection &projection, QRect chart,
                       int penWidth)
    : m_projection(projection), m_radius(view.zoom * view.chartWidth),
      m_halfWidth(view.chartWidth * 0.5), m_halfHeight(view.chartHeight * 0.5)
{
    const Projection::ViewAngles angles = Projection::anglesOf(view);
    m_sinPsi = angles.sinPsi;
    m_cosPsi = angles.cosPsi;
    const double reach = std::clamp(penWidth, 1, PenDisc::MaxWidth) + PixelSlack;
    m_left = chart.left() - reach;
    m_top = chart.top() - reach;
    m_right = chart.right() + reach;
    m_bottom = chart.bottom() + reach;
    // The rim's points are rounded to whole pixels and joined by chords that sag a quarter
    // pixel inside it, or R / 2,000,000 at the finest step (HorizonClipper); points far off
    // a large chart are drawn nearer, at 10^8, still far off it.
    const double farthest = std::hypot(std::max(m_halfWidth - m_left, m_right - m_halfWidth),
                                       std::max(m_halfHeight - m_top, m_bottom - m_halfHeight));
    m_rimOffChart = std::abs(m_radius) * (1 - 1e-6) - PixelSlack > farthest;
}

// An empty box draws nothing; one too wide in longitude to be bounded is always drawn.
std::optional<bool> ChartReach::unbounded(const Box &box)
{
    if (box.isEmpty())
        return false;
    if (box.maxLongitude - box.minLongitude > WidestLongitudes)
        return true;
    return std::nullopt;
}

bool ChartReach::lineMayReach(const Box &box) const
{
    if (const auto answer = unbounded(box))
        return *answer;
    const Corners corners = cornersOf(box);
    return sideOf(corners) != Side::Hidden && !missesChart(corners);
}

bool ChartReach::outlineMayReach(const Box &box) const
{
    if (const auto answer = unbounded(box))
        return *answer;
    const Corners corners = cornersOf(box);
    switch (sideOf(corners)) {
    case Side::Hidden:
        return false; // a polygon wholly behind the globe draws nothing
    case Side::Visible:
        return !missesChart(corners);
    case Side::Both:
        break;
    }
    // Across the horizon, the outline is closed along the rim. With the whole rim off the
    // chart, the figure's other edges are chords between its points and edges from its
    // points out to the rim, which keep to the far side of any line that parts the box from
    // the chart (the chart holds the disc's centre, and the rim lies radially outward). With
    // those off the chart too, the chart lies wholly inside the figure or wholly outside,
    // and outside when the view centre, which it holds, is on the outline's larger side.
    return !(m_rimOffChart && missesChart(corners) && leavesOutCentre(box));
}

// The hemisphere: L = ma a + mb b + g v > 0, with (ma, mb) the direction of the box's middle
// from the view centre and g a small positive weight, so that the centre (a = b = 0, v = -1)
// has L = -g. In X, Y, Z, with a = Y, b = cos psi Z - sin psi X and v = sin psi Z + cos psi X.
bool ChartReach::leavesOutCentre(const Box &box) const
{
    if (unbounded(box))
        return false;
    constexpr double g = 1e-3;
    const Projection::Terms middle = m_projection.terms((box.minLatitude + box.maxLatitude) / 2,
                                                        (box.minLongitude + box.maxLongitude) / 2);
    const Range l = cornersOf(box).of(g * m_cosPsi - middle.b * m_sinPsi, middle.a,
                                      middle.b * m_cosPsi + g * m_sinPsi);
    return l.low > TermSlack;
}

ChartReach::Corners ChartReach::cornersOf(const Box &box) const
{
    const MinuteProjection &p = m_projection;
    return {{p.cosLatitude(box.minLatitude), p.sinLatitude(box.minLatitude),
             p.cosLatitude(box.maxLatitude), p.sinLatitude(box.maxLatitude)},
            {p.cosDelta(box.minLongitude), p.sinDelta(box.minLongitude),
             p.cosDelta(box.maxLongitude), p.sinDelta(box.maxLongitude)}};
}

// v = sin psi Z + cos psi X, visible below 0.
ChartReach::Side ChartReach::sideOf(const Corners &corners) const
{
    const Range v = corners.of(m_cosPsi, 0, m_sinPsi);
    if (v.low > TermSlack)
        return Side::Hidden;
    if (v.high < -TermSlack)
        return Side::Visible;
    return Side::Both;
}

// x = W / 2 - a R with a = Y; y = H / 2 - b R with b = cos psi Z - sin psi X.
bool ChartReach::missesChart(const Corners &corners) const
{
    const Range x = pixelRange(corners.of(0, 1, 0), m_halfWidth);
    const Range y = pixelRange(corners.of(-m_sinPsi, 0, m_cosPsi), m_halfHeight);
    return x.high < m_left || x.low > m_right || y.high < m_top || y.low > m_bottom;
}

ChartReach::Range ChartReach::pixelRange(const Range &term, double middle) const
{
    const double first = middle - term.low * m_radius;
    const double second = middle - term.high * m_radius;
    const double slack = TermSlack * std::abs(m_radius);
    return {std::min(first, second) - slack, std::max(first, second) + slack};
}

} // namespace brimlark
