// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QtGlobal>

namespace brimlark
{

/// The view of the globe that the base map shows: centre in degrees (north and east
/// positive), zoom (the Earth's radius is Zoom x ChartWidth pixels) and chart size.
struct ViewValues {
    double centerLat = 0.0; // CenterLat
    double centerLon = 0.0; // CenterLon
    double zoom = 0.0;      // Zoom
    qint32 chartWidth = 0;  // ChartWidth
    qint32 chartHeight = 0; // ChartHeight
};

} // namespace brimlark
