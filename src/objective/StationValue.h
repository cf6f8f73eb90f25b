// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/GeoPoint.h"

#include <QPointF>

namespace brimlark
{

/// One station's value of the analysed quantity, where the station is on the globe and on
/// the chart.
struct StationValue {
    GeoPoint position;
    QPointF at;
    double value = 0;
};

} // namespace brimlark
