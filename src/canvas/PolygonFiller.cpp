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
// Most edges start on the chart, in their own first row, where the crossing is xTop.
void PolygonFiller::Edge::start(qint64 y)
{
    if (y == yTop) {
        x = xTop;
        rest = 0;
    } else {
        const WideInt num = WideInt(y - yTop) * dx;
        const qint64 up = ceilDiv(num, dy);
        x = xTop + up;
        rest = qint64(WideInt(up) * dy - num);
    }
    step = dx >= 0 ? dx / dy : -ceilDiv(-dx, dy);
    stepRest = dx - step * dy;
}

void PolygonFiller::Edge::advance()
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
        m_edges.push_back(
            {a.y(), b.y(), a.x(), qint64(b.x()) - a.x(), qint64(b.y()) - a.y(), 0, 0, 0, 0});
        top = std::min<qint64>(top, a.y());
        bottom = std::max<qint64>(bottom, b.y());
    }
    const int firstRow = int(std::max<qint64>(top, 0));
    const int endRow = int(std::min<qint64>(bottom, target.height()));
    if (firstRow >= endRow) // no edges, or a chart of no rows
        return;
    sortByFirstRow(firstRow, endRow);
    m_active.clear();
    size_t next = 0;
    for (int y = firstRow; y < endRow; ++y) {
        std::erase_if(m_active, [y](const Edge *e) { return e->yBottom <= y; });
        for (Edge *e : m_active)
            e->advance();
        while (next < m_order.size() && qint64(m_order[next] >> 32) <= y) {
            Edge &e = m_edges[m_order[next++] & 0xFFFFFFFFu];
            e.start(y);
            m_active.push_back(&e);
        }
        fillRow(target, y);
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

void PolygonFiller::fillRow(PixelTarget &target, int y)
{
    m_crossings.clear();
    for (const Edge *e : m_active)
        m_crossings.push_back(e->x);
    std::sort(m_crossings.begin(), m_crossings.end());
    for (size_t i = 0; i + 1 < m_crossings.size(); i += 2) {
        const qint64 x0 = std::max<qint64>(m_crossings[i], 0);
        const qint64 x1 = std::min<qint64>(m_crossings[i + 1] - 1, target.width() - 1);
        if (x0 <= x1)
            target.span(int(x0), int(x1), y);
    }
}

} // namespace brimlark
