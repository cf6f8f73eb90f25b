// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "bulletin/Bulletin.h"

#include <QByteArray>

namespace brimlark
{

/// Writes a bulletin as a GeoJSON FeatureCollection (RFC 7946), with the bulletin's time in
/// a top-level "valid" member in ISO 8601 ("2021-06-28T18:00:00Z"), in the bulletin's year or,
/// when it does not give one, in the year that puts it nearest to the time of writing; no
/// "valid" member for a bulletin without a time. Centres are
/// Points with "kind" "high" or "low" and "pressure" when known; lines are LineStrings with "kind"
/// "cold", "warm", "stationary", "occluded", "trough" or "dryline" ("isopleth" for the isopleth
/// tool) and "strength" when set. Coordinates are [longitude, latitude], longitudes taken into -180
/// .. 180, and a line that crosses the antimeridian is cut there into a MultiLineString, as RFC
/// 7946 (section 3.1.9) asks, so that it does not run the long way round the globe.
class GeoJsonWriter
{
public:
    /// The document as compact UTF-8 JSON, or ChartError for a time that is not MMDDHHZ, a
    /// position that is not a number or a line of fewer than two positions.
    static QByteArray write(const Bulletin &bulletin);
};

} // namespace brimlark
