// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/KeptLines.h"

namespace brimlark
{

void KeptLines::clear()
{
    m_points.clear();
    m_polylineEnds.clear();
    m_lineEnds.clear();
}

void KeptLines::startLine()
{
    breakLine();
    m_lineEnds.push_back(m_polylineEnds.size());
}

// A polyline ends at every break and line start; one of no points is not kept.
void KeptLines::breakLine()
{
    const size_t begin = m_polylineEnds.empty() ? 0 : m_polylineEnds.back();
    if (m_points.size() == begin)
        return;
    m_polylineEnds.push_back(m_points.size());
    if (!m_lineEnds.empty())
        m_lineEnds.back() = m_polylineEnds.size();
}

std::span<const QPoint> KeptLines::polyline(size_t i) const
{
    const size_t begin = i == 0 ? 0 : m_polylineEnds[i - 1];
    return std::span<const QPoint>(m_points).subspan(begin, m_polylineEnds[i] - begin);
}

} // namespace brimlark
