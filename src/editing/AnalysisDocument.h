// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/DrawnFeature.h"
#include "base/ViewValues.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace brimlark
{

/// The analysis a workspace keeps between runs ("analysis.geojson"): every feature as the
/// session holds it, in chart pixels of the view it was drawn for, with that view.
///
/// The file is a GeoJSON FeatureCollection, so other programs can place it: each feature's
/// geometry holds its positions on the globe ([longitude, latitude], a Point for a centre or
/// label, a LineString for a line, null when no point of it is on the globe), and its
/// properties hold what the session needs to draw it again to the pixel: "kind" (a line
/// tool's kind, "low", "high" or "text"), "points" ([x, y] chart pixels), "pieces" (where
/// each piece after the first starts), "pressure", "strength", "text", "lineColor",
/// "lineWidth", and "imported" for a feature whose positions are the ones it was read with.
/// The view is the top-level "view" member; the time of an imported analysis "analysisValid"
/// (MMDDHHZ) and "analysisYear".
struct AnalysisDocument {
    ViewValues view;
    QString valid;
    std::optional<int> year;
    std::vector<DrawnFeature> features;

    static QByteArray write(const AnalysisDocument &document);
    /// The positions a feature stands for: those it was read with, or its points taken back
    /// through the view, those off the globe left out.
    static std::vector<GeoPoint> positionsOf(const DrawnFeature &feature, const ViewValues &view);
    /// The document, or ChartError saying what is wrong with it.
    static AnalysisDocument read(const QByteArray &json);
};

} // namespace brimlark
