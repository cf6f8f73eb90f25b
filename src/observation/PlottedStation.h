// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/GeoPoint.h"
#include "observation/Observation.h"

#include <QPointF>

namespace brimlark
{

/// A report plotted for its station on the chart: where the station is on the globe and the
/// chart point its model stands at, and whether the model is drawn or hidden to keep the
/// chart legible.
struct PlottedStation {
    QPointF at;
    GeoPoint position;
    Observation report;
    bool drawn = false;
};

} // namespace brimlark
