// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QPoint>
#include <QPointF>

#include <vector>

namespace brimlark
{

/// Circles and arcs as chart pixels, for the canvas' polygons: the canvas has no curves.
/// Bearings are clockwise from north, which is up on the chart (y down).
class CirclePoints
{
public:
    /// The points of an arc from one bearing to another, both included, at a spacing that
    /// keeps a small circle round and makes every quarter start on a vertex of the full circle.
    static std::vector<QPoint> arc(QPointF centre, double radius, double from, double to);
    /// The whole circle, its first point not repeated.
    static std::vector<QPoint> circle(QPointF centre, double radius);
    /// The point at a bearing and distance from the centre, not rounded.
    static QPointF along(QPointF centre, double bearing, double distance);
};

} // namespace brimlark
