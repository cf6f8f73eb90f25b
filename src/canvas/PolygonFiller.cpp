// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "canvas/PolygonFiller.h"

#include "canvas/WideInt.h"

#include <algorithm>

namespace brimlark
{

namespace
{

// The smallest integer not below num / den, for den > 0.
qint64 ceilDiv(WideInt num, qint64 den)
{
    const WideInt q = num / den;
    return qint64((num % den != 0 && num > 0) ? q + 1 : q);
}

} // namespace

// The crossing of the first row the edge is met in: ceil(xTop + (y - yTop) dx / dy).
void PolygonFiller::Edge::start(qint64 y)
{
    const WideInt num = WideInt(y - yTop) * dx;
    const qint64 up = ceilDiv(num, dy);
    x = xTop + up;
    rest = qint64(WideInt(up) * dy - num);
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
    if (m_edges.empty())
        return;
    std::sort(m_edges.begin(), m_edges.end(),
              [](const Edge &l, const Edge &r) { return l.yTop < r.yTop; });
    const int firstRow = int(std::max<qint64>(top, 0));
    const int endRow = int(std::min<qint64>(bottom, target.height()));
    m_active.clear();
    size_t next = 0;
    for (int y = firstRow; y < endRow; ++y) {
        std::erase_if(m_active, [y](const Edge *e) { return e->yBottom <= y; });
        for (Edge *e : m_active)
            e->advance();
        while (next < m_edges.size() && m_edges[next].yTop <= y) {
            m_edges[next].start(y);
            m_active.push_back(&m_edges[next++]);
        }
        fillRow(target, y);
    }
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
