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
        if (first <= last)
            m_spans.push_back({dy, first, last});
    }
}

void PenDisc::stamp(PixelTarget &target, int x, int y) const
{
    for (const Span &s : m_spans)
        target.span(x + s.dx0, x + s.dx1, y + s.dy);
}

} // namespace brimlark
