// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "mapgen/MinuteProjection.h"

#include <QRect>

#include <optional>

namespace brimlark
{

/// Decides, from the box of latitudes and longitudes that holds a line's points, whether
/// the line can leave any mark on the chart, so that lines far off it are never projected.
///
/// The projection is linear in a point's unit vector: the terms a, b and v of every point
/// of a box, and of every chord between two of its points (which is all a polygon fill, an
/// outline or a cut at the horizon ever draws from them), lie between the least and the
/// greatest value of the same linear form over the box. Those are found in closed form from
/// the sines and cosines of the box's corners, so a whole line costs about as much as one
/// of its points. A line is left out only when the bounds prove it draws nothing on the
/// chart widened by the pen's reach; anything in doubt is drawn.
class ChartReach
{
public:
    /// The smallest box of latitudes and longitudes, in whole minutes, around some points.
    struct Box {
        int minLatitude = 1, maxLatitude = 0, minLongitude = 1, maxLongitude = 0;
        bool isEmpty() const { return minLatitude > maxLatitude; }
    };

    /// For a view projected by projection, onto chart, stroked by a pen width pixels wide.
    ChartReach(const ViewValues &view, const MinuteProjection &projection, QRect chart,
               int penWidth);

    /// Whether a line through points in the box, broken where it passes behind the globe,
    /// may touch the chart.
    bool lineMayReach(const Box &box) const;
    /// Whether a polygon through points in the box, clipped to the visible hemisphere and
    /// closed along its rim, may touch the chart: across the horizon, only when the rim or
    /// the points may, or the view centre may lie on the polygon's smaller side.
    bool outlineMayReach(const Box &box) const;
    /// Whether the box lies in an open hemisphere that leaves out the view centre. An
    /// outline through points in it that does not wind round itself (as no coast does)
    /// then has the view centre on its larger side, whichever way it runs.
    bool leavesOutCentre(const Box &box) const;

private:
    struct Range {
        double low, high;
    };
    struct Corners; // the sines and cosines of a box's edges
    enum class Side { Visible, Hidden, Both };

    static std::optional<bool> unbounded(const Box &box);
    Corners cornersOf(const Box &box) const;
    Side sideOf(const Corners &corners) const;
    bool missesChart(const Corners &corners) const;
    Range pixelRange(const Range &term, double middle) const;

    const MinuteProjection &m_projection;
    double m_sinPsi, m_cosPsi;               // of the view's converted centre latitude, negated
    double m_radius;                         // of the globe, in pixels
    double m_left, m_top, m_right, m_bottom; // the chart widened by the pen's reach
    double m_halfWidth, m_halfHeight;
    bool m_rimOffChart; // the rim of the disc, pen and all, wholly off the chart
};

} // namespace brimlark
