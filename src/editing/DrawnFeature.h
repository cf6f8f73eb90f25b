// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/SegmentRenderer.h"
#include "mapgen/GreatCircle.h"

#include <QPointF>

#include <optional>
#include <vector>

namespace brimlark
{

/// A committed line or pressure centre of the analysis, in chart pixels of the view it was
/// drawn for: what an export turns back into positions on the globe.
struct DrawnFeature {
    enum class Kind { Line, Low, High };
    Kind kind = Kind::Line;
    LineTool tool = LineTool::ColdFront; ///< for a line
    std::vector<QPointF> points;         ///< a line's points, or a centre's one point
    std::optional<int> pressure;         ///< a centre's pressure in hPa, when known
    /// For an imported feature, the positions on the globe its points were projected from,
    /// one per point, which an export gives back exactly; empty for a drawn one.
    std::vector<GeoPoint> positions;

    bool operator==(const DrawnFeature &) const = default;
};

} // namespace brimlark
