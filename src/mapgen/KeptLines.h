// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QPoint>

#include <span>
#include <vector>

namespace brimlark
{

/// The chart polylines of a vector map file's lines, projected once and kept to be stroked
/// later: the lines of a file are broken into polylines where they pass behind the globe,
/// and line i of the file owns the polylines lineBegin(i) .. lineEnd(i) - 1.
class KeptLines
{
public:
    void clear();
    /// Makes room for that many points.
    void reserve(size_t points) { m_points.reserve(points); }
    /// Starts the next line of the file; its points follow.
    void startLine();
    /// A point of the polyline being collected.
    void append(QPoint p) { m_points.push_back(p); }
    /// Ends the polyline being collected: the next point starts a new one.
    void breakLine();

    size_t lineCount() const { return m_lineEnds.size(); }
    size_t lineBegin(size_t line) const { return line == 0 ? 0 : m_lineEnds[line - 1]; }
    size_t lineEnd(size_t line) const { return m_lineEnds[line]; }
    std::span<const QPoint> polyline(size_t i) const;

private:
    std::vector<QPoint> m_points;
    std::vector<size_t> m_polylineEnds; // of each polyline in m_points
    std::vector<size_t> m_lineEnds;     // of each line's polylines in m_polylineEnds
};

} // namespace brimlark
