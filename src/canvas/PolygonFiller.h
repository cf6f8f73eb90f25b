// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "canvas/PixelTarget.h"

#include <QPoint>

#include <span>
#include <vector>

namespace brimlark
{

/// Fills polygons by the alternate (even-odd) rule.
///
/// A pixel is filled when its top-left corner lies inside the outline. A corner exactly on
/// an edge counts as inside on left and top edges and outside on right and bottom ones, so
/// polygons that share an edge never both paint it:
///
///   (0,0) (3,0) (3,2) (0,2):   ###.      columns 0..2, rows 0..1
///                              ###.
///                              ....
class PolygonFiller
{
public:
    /// Fills the polygon through the points into the target; the last point joins the
    /// first. The filler keeps its working memory from one polygon to the next.
    void fill(PixelTarget &target, std::span<const QPoint> points);

private:
    struct Crossing;
    struct Edge {
        qint64 yTop, yBottom; // rows yTop .. yBottom - 1 cross this edge
        qint64 xTop, dx, dy;  // x at row y is xTop + (y - yTop) * dx / dy
        Crossing start(qint64 y) const;
    };
    // An edge where it crosses the row being filled. Walking down the rows without a
    // division: the crossing is x, exactly x - rest / dy with 0 <= rest < dy; each row adds
    // dx / dy = step + stepRest / dy.
    struct Crossing {
        qint64 x, rest, step, stepRest, dy, yBottom;
        void advance();
    };
    void sortByFirstRow(int firstRow, int endRow);
    void sortCrossings();
    bool fillRow(PixelTarget &target, int y);

    std::vector<Edge> m_edges;
    std::vector<quint64> m_order;
    std::vector<size_t> m_rowStarts;
    std::vector<Crossing> m_active; // the edges crossing the row, by their crossings
    int m_minX = 0, m_maxX = -1;    // the columns filled so far
};

} // namespace brimlark
