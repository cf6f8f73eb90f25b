// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "canvas/PolygonFiller.h"

#include "canvas/WideInt.h"

#include <algorithm>
#include <numeric>

namespace brimlark
{

namespace
{

// The smallest integer not below num / den, for den > 0: in 128 bits for the products of
// two coordinates, in 64 for single ones, where the library's 128-bit division is many
// times slower.
template <typename Int> qint64 ceilDiv(Int num, qint64 den)
{
    const Int q = num / den;
    return qint64((num % den != 0 && num > 0) ? q + 1 : q);
}

} // namespace

// The crossing of the first row the edge is met in: ceil(xTop + (y - yTop) dx / dy).
// The crossing of the first row the edge is met in: ceil(xTop + (y - yTop) dx / dy). Most
// edges start on the chart, in their own first row, where that is xTop.
PolygonFiller::Crossing PolygonFiller::Edge::start(qint64 y) const
{
    Crossing c{xTop, 0, 0, 0, dy, yBottom};
    if (y != yTop) {
        const WideInt num = WideInt(y - yTop) * dx;
        const qint64 up = ceilDiv(num, dy);
        c.x = xTop + up;
        c.rest = qint64(WideInt(up) * dy - num);
    }
    c.step = dx >= 0 ? dx / dy : -ceilDiv(-dx, dy);
    c.stepRest = dx - c.step * dy;
    return c;
}

void PolygonFiller::Crossing::advance()
{
    const qint64 change = stepRest - rest;
    x += step + (change > 0 ? 1 : 0);
    rest = change > 0 ? dy - change : -change;
}

void PolygonFiller::fill(PixelTarget &target, std::span<const QPoint> points)
{
    m_edges.clear();
    const size_t n = points.size();
    qint64 top = INT64_MAX;
    qint64 bottom = INT64_MIN;
    for (size_t i = 0; i < n; ++i) {
        QPoint a = points[i];
        QPoint b = points[(i + 1) % n];
        if (a.y() == b.y())
            continue; // horizontal edges cross no row
        if (a.y() > b.y())
            std::swap(a, b);
        // An edge that crosses no row of the chart is left out. Edges that end above it
        // must be: started on its first row, they would cross it where their lines would.
        if (b.y() <= 0 || a.y() >= target.height())
            continue;
        m_edges.push_back({a.y(), b.y(), a.x(), qint64(b.x()) - a.x(), qint64(b.y()) - a.y()});
        top = std::min<qint64>(top, a.y());
        bottom = std::max<qint64>(bottom, b.y());
    }
    const int firstRow = int(std::max<qint64>(top, 0));
    const int endRow = int(std::min<qint64>(bottom, target.height()));
    if (firstRow >= endRow) // no edges, or a chart of no rows
        return;
    sortByFirstRow(firstRow, endRow);
    m_active.clear();
    m_minX = target.width();
    m_maxX = -1;
    int firstFilled = -1, lastFilled = -1;
    size_t next = 0;
    for (int y = firstRow; y < endRow; ++y) {
        // The edges that end above this row leave; the others move down to it.
        size_t kept = 0;
        for (Crossing &c : m_active) {
            if (c.yBottom <= y)
                continue;
            c.advance();
            m_active[kept++] = c;
        }
        m_active.resize(kept);
        while (next < m_order.size() && qint64(m_order[next] >> 32) <= y)
            m_active.push_back(m_edges[m_order[next++] & 0xFFFFFFFFu].start(y));
        sortCrossings();
        if (fillRow(target, y)) {
            if (firstFilled < 0)
                firstFilled = y;
            lastFilled = y;
        }
    }
    // The spans were written unclipped (they lie on the chart) and unrecorded: the box of
    // them all is recorded at once.
    if (firstFilled >= 0)
        target.touchRect(m_minX, firstFilled, m_maxX, lastFilled);
}

// The crossings move little from one row to the next, so the edges, kept in the order of
// their crossings, are sorted again by insertion, which costs about one step an edge; edges
// that change places in numbers (as many edges crossing in one row would) are sorted anew.
void PolygonFiller::sortCrossings()
{
    const size_t n = m_active.size();
    size_t moves = 0;
    const size_t budget = 8 * n + 64;
    for (size_t i = 1; i < n; ++i) {
        const Crossing c = m_active[i];
        size_t j = i;
        for (; j > 0 && m_active[j - 1].x > c.x; --j)
            m_active[j] = m_active[j - 1];
        m_active[j] = c;
        moves += i - j;
        if (moves > budget) {
            std::sort(m_active.begin(), m_active.end(),
                      [](const Crossing &a, const Crossing &b) { return a.x < b.x; });
            return;
        }
    }
}

// The edges' order of entry, as the chart row each is first met in (above the chart: row 0)
// and its index packed in one integer: sorting those is several times faster than sorting
// the edges themselves, and a polygon with more edges than rows, such as a continent, is
// sorted by counting them per row. Edges met in the same row may enter in any order, since
// each row's crossings are sorted.
void PolygonFiller::sortByFirstRow(int firstRow, int endRow)
{
    const auto entry = [this](size_t i) {
        return quint64(std::max<qint64>(m_edges[i].yTop, 0)) << 32 | quint64(i);
    };
    const size_t rows = size_t(endRow - firstRow);
    m_order.resize(m_edges.size());
    if (m_edges.size() < rows) {
        for (size_t i = 0; i < m_edges.size(); ++i)
            m_order[i] = entry(i);
        std::sort(m_order.begin(), m_order.end());
        return;
    }
    m_rowStarts.assign(rows + 1, 0);
    for (const Edge &e : m_edges)
        ++m_rowStarts[size_t(std::max<qint64>(e.yTop, 0) - firstRow) + 1];
    std::partial_sum(m_rowStarts.begin(), m_rowStarts.end(), m_rowStarts.begin());
    for (size_t i = 0; i < m_edges.size(); ++i)
        m_order[m_rowStarts[size_t(std::max<qint64>(m_edges[i].yTop, 0) - firstRow)]++] = entry(i);
}

bool PolygonFiller::fillRow(PixelTarget &target, int y)
{
    bool filled = false;
    for (size_t i = 0; i + 1 < m_active.size(); i += 2) {
        const qint64 x0 = std::max<qint64>(m_active[i].x, 0);
        const qint64 x1 = std::min<qint64>(m_active[i + 1].x - 1, target.width() - 1);
        if (x0 > x1)
            continue;
        target.spanOnImage(int(x0), int(x1), y);
        m_minX = std::min(m_minX, int(x0));
        m_maxX = std::max(m_maxX, int(x1));
        filled = true;
    }
    return filled;
}

} // namespace brimlark
