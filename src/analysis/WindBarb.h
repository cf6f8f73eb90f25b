// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QPoint>
#include <QPointF>

#include <array>
#include <vector>

namespace brimlark
{

/// The geometry of a wind barb: a shaft from the station circle towards the bearing the wind
/// blows from, with feathers at its outer end, the largest outermost: a pennant for each
/// 50 kt, a full barb for each 10 kt and a half barb for a remaining 5 kt. Feathers stand at
/// 70 degrees to the shaft with their tips leaning outwards, on the side that is clockwise
/// from the shaft in the northern hemisphere (towards low pressure) and anticlockwise in the
/// southern.
class WindBarb
{
public:
    using Line = std::array<QPoint, 2>;
    using Pennant = std::array<QPoint, 3>;

    struct Shape {
        Line shaft;
        std::vector<Line> barbs; ///< full and half barbs, outermost first
        std::vector<Pennant> pennants;
    };

    /// The speed as the feathers show it: knots to the nearest 5, halves rounded up.
    static int plottedSpeed(double knots);

    /// The barb for a wind from `bearing` (degrees, clockwise from north) at `knots`, its
    /// shaft running from `inner` to `length` pixels from the centre. A speed that plots as
    /// 0 kt is a bare shaft.
    static Shape shape(QPointF centre, double bearing, double knots, double inner, double length,
                       bool southernHemisphere);
};

} // namespace brimlark
