// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QPointF>

#include <array>
#include <span>

namespace brimlark
{

/// The current segment: the points of the presses since the last commit, at most 100.
class Segment
{
public:
    static constexpr int Capacity = 100;

    /// Adds a press; false, and nothing added, when the segment is full.
    bool append(int x, int y);
    /// Empties the segment: the next press starts a new one.
    void clear() { m_count = 0; }
    bool isFull() const { return m_count >= Capacity; }
    /// SegmentCount: the number of points.
    qint32 count() const { return m_count; }
    /// SegmentPoints: the first count() points.
    std::span<const QPointF> points() const { return {m_points.data(), size_t(m_count)}; }

private:
    std::array<QPointF, Capacity> m_points{};
    qint32 m_count = 0;
};

} // namespace brimlark
