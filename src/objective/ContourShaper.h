// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QPointF>

#include <vector>

namespace brimlark
{

/// Shapes a traced isoline into a line a forecaster would draw: the kinks of the grid
/// cells smoothed out, then as few points as keep its course (within half a pixel where
/// that is few enough), never more than a segment holds.
class ContourShaper
{
public:
    static constexpr size_t MostPoints = 100;

    /// Two passes of the 1-2-1 running mean; the ends of an open line stay where they are,
    /// a closed line stays closed.
    static std::vector<QPointF> smoothed(std::vector<QPointF> line);
    /// The points the line keeps (Douglas and Peucker): the tolerance starts at half a pixel
    /// and doubles until at most MostPoints are left. Both ends are kept.
    static std::vector<QPointF> thinned(const std::vector<QPointF> &line);
    /// The length of the line in pixels.
    static double length(const std::vector<QPointF> &line);

private:
    static void keep(const std::vector<QPointF> &line, size_t from, size_t to, double tolerance,
                     std::vector<bool> &kept);
};

} // namespace brimlark
