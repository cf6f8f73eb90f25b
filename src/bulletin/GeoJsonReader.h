// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "bulletin/Bulletin.h"

#include <QByteArray>

namespace brimlark
{

/// Reads an analysis from a GeoJSON FeatureCollection (RFC 7946): what GeoJsonWriter writes,
/// or the like from another program.
///
/// The features of the analysis are those whose "kind" property says which they are:
/// Points of kind "high" or "low", with an optional "pressure" (a whole number of hPa within
/// BulletinParser::LowestPressure .. HighestPressure), and LineStrings or MultiLineStrings of
/// a line tool's kind ("cold", "trough", "isopleth"; LineToolNames), with an optional
/// "strength" (a strength word, "WK", "MDT" or "STG"). A MultiLineString is one line where its
/// parts meet on the antimeridian, as the writer cuts a line there, and a line of its own for
/// each part that does not. Positions are [longitude, latitude] (anything after the latitude,
/// such as an altitude, is ignored), within -180 .. 180 and -90 .. 90 exactly, and kept as
/// written. A top-level "valid" ISO 8601 time on the hour gives the analysis its time and year;
/// a time without an offset is UTC.
///
/// Other features are skipped and counted: Points of another kind or none (stations, labels),
/// lines without a kind, and any other geometry. A line whose kind names no line tool is
/// refused rather than skipped: lines are what an analysis is made of, and a front under a name
/// this program does not know would otherwise go missing.
class GeoJsonReader
{
public:
    struct Result {
        Bulletin analysis;
        int skipped = 0; ///< features that are no part of an analysis
    };

    /// The analysis in the document, or ChartError naming what is wrong: a document that is
    /// not JSON (with the parser's message and the byte offset), not a FeatureCollection or
    /// without its array of features, a "valid" that is not a time on the hour, an element of
    /// the features that is not a Feature or has no geometry member, or a feature of the
    /// analysis that is not as described above (the wrong geometry, a bad position, a line of
    /// fewer than two positions, an unknown line kind, a bad strength or pressure), the feature
    /// named by its number, from 1, and its kind.
    static Result read(const QByteArray &json);
};

} // namespace brimlark
