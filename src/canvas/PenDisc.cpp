// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "canvas/PenDisc.h"

namespace brimlark
{

PenDisc::PenDisc(int width) : m_width(qBound(1, width, MaxWidth))
{
    const int lo = low();
    const int hi = high();
    // Distances doubled so that the even widths' half-pixel centre stays in integers.
    const int centre2 = (m_width % 2 == 0) ? -1 : 0;
    const int radius2 = m_width * m_width;
    for (int dy = lo; dy <= hi; ++dy) {
        int first = hi + 1;
        int last = lo - 1;
        for (int dx = lo; dx <= hi; ++dx) {
            const int ex = 2 * dx - centre2;
            const int ey = 2 * dy - centre2;
            if (m_width <= 3 || ex * ex + ey * ey <= radius2) {
                first = qMin(first, dx);
                last = qMax(last, dx);
            }
        }
        // Every row holds the disc's middle column.
        m_spans.push_back({dy, first, last});
        if (last - first > m_spans[size_t(m_widest)].dx1 - m_spans[size_t(m_widest)].dx0)
            m_widest = int(m_spans.size()) - 1;
    }
}

void PenDisc::stamp(PixelTarget &target, int x, int y) const
{
    for (const Span &s : m_spans)
        target.span(x + s.dx0, x + s.dx1, y + s.dy);
}

// The disc's rows are spans around one middle that widen to the widest and narrow again, so
// they nest: the discs of a stretch of the column cover of each row the widest span that any
// of them puts there, the one of the disc rows that reach it nearest to the widest.
//
//   w = 3, y0 .. y1 = 2 .. 3:   ###   row 1: the top rows of both discs
//                               ###
//                               ###
//                               ###   row 4: the bottom rows
void PenDisc::stampColumn(PixelTarget &target, int x, int y0, int y1) const
{
    const int lo = low();
    const int hi = high();
    for (int y = y0 + lo; y <= y1 + hi; ++y) {
        // The disc rows that reach row y: y - y1 .. y - y0, within lo .. hi.
        const int first = qMax(lo, y - y1) - lo;
        const int last = qMin(hi, y - y0) - lo;
        const Span &s = m_spans[size_t(qBound(first, m_widest, last))];
        target.spanOnImage(x + s.dx0, x + s.dx1, y);
    }
}

} // namespace brimlark
