// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QPointF>

#include <cmath>
#include <limits>
#include <vector>

namespace brimlark
{

/// An analysed field on a square grid of chart points, row by row from the chart's top left
/// corner. A node off the globe, or too far from every station to be analysed, has no value
/// (NaN).
struct AnalysisGrid {
    static constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

    double spacing = 1; ///< chart pixels between neighbouring nodes
    int columns = 0;
    int rows = 0;
    std::vector<double> values; ///< columns x rows

    double at(int column, int row) const { return values[size_t(row) * columns + column]; }
    double &at(int column, int row) { return values[size_t(row) * columns + column]; }
    /// The chart point of a (fractional) node position.
    QPointF point(double column, double row) const { return {column * spacing, row * spacing}; }
    static bool hasValue(double value) { return !std::isnan(value); }
};

} // namespace brimlark
