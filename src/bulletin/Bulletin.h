// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ContourValue.h"
#include "base/GeoPoint.h"
#include "base/LineTool.h"

#include <QString>

#include <optional>
#include <vector>

namespace brimlark
{

/// A surface analysis on the globe: the content of a coded surface frontal positions
/// bulletin, or what a session exports. Positions are degrees, north and east positive.
struct Bulletin {
    /// A front, trough or dryline through positions in the order the bulletin lists them.
    ///
    /// That order is the drawing order, never reversed. The chart puts cold-front triangles
    /// and warm-front semicircles on the left of the direction of drawing, and a bulletin
    /// lists a front so that its left is the side it moves toward. In the bulletin valid
    /// 062818Z, the low at 54 N 82 W occludes to 53 N 84 W; from there "COLD WK 5384 5187
    /// 5089 5092" runs south-west with the south-east, the warm air, on its left, and "WARM
    /// WK 5384 5283 5081" runs south-east with the north-east, the cold air, on its left.
    /// Writers keep the order, so what is drawn from a bulletin exports the same way round.
    struct Line {
        LineTool tool = LineTool::ColdFront; ///< COLD, WARM, STNRY, OCFNT, TROF or DRYLINE
        QString strength;                    ///< "WK", "MDT", "STG" or empty
        std::vector<GeoPoint> points;
        /// For an isopleth, the quantity and value it stands for, when it has one.
        std::optional<ContourValue> contour = {};
    };
    /// A high or low pressure centre.
    struct Centre {
        bool high = false;
        std::optional<int> pressure; ///< hPa, when the bulletin gives one
        GeoPoint position;
    };

    QString valid;           ///< the "MMDDHHZ" of the VALID line
    std::optional<int> year; ///< the year of that time, when the bulletin's issue line gives it
    std::vector<Centre> centres;
    std::vector<Line> lines;
};

} // namespace brimlark
