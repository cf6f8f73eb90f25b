// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/Segment.h"

namespace brimlark
{

bool Segment::append(int x, int y)
{
    if (isFull())
        return false;
    m_points[size_t(m_count++)] = QPointF(x, y);
    return true;
}

} // namespace brimlark
