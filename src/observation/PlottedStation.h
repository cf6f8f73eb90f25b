// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/GeoPoint.h"
#include "observation/Observation.h"

#include <QPointF>

namespace brimlark
{

/// A station model on the chart: the report plotted, where its station is on the globe and
/// the chart point it is drawn at.
struct PlottedStation {
    QPointF at;
    GeoPoint position;
    Observation report;
};

} // namespace brimlark
