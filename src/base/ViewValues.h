// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QtGlobal>

namespace brimlark
{

/// The view of the globe that the base map shows: centre in degrees (north and east
/// positive), zoom (the Earth's radius is Zoom x ChartWidth pixels) and chart size.
struct ViewValues {
    double CenterLat = 0.0;
    double CenterLon = 0.0;
    double Zoom = 0.0;
    qint32 ChartWidth = 0;
    qint32 ChartHeight = 0;
};

} // namespace brimlark
