// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/GeoPoint.h"
#include "base/LineTool.h"

#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

namespace brimlark
{

/// A committed line or pressure centre of the analysis: one drawn with the mouse, in chart
/// pixels of the view it was drawn for, which an export turns back into positions on the
/// globe; or one imported, with the positions it was read with, which an export gives back.
struct DrawnFeature {
    enum class Kind { Line, Low, High };
    Kind kind = Kind::Line;
    LineTool tool = LineTool::ColdFront; ///< for a line
    /// A line's points, or a centre's one point. For an imported feature, the points it was
    /// drawn through, piece after piece where it leaves the chart and comes back; none when
    /// it lies wholly off the chart.
    std::vector<QPointF> points;
    std::optional<int> pressure; ///< a centre's pressure in hPa, when known
    /// For an imported feature, all its positions on the globe, on the chart or not; empty for
    /// a drawn one.
    std::vector<GeoPoint> positions;
    QString strength = {}; ///< a line's strength word as imported ("WK", "MDT", "STG"), or empty

    bool operator==(const DrawnFeature &) const = default;
};

} // namespace brimlark
