// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/PanelLine.h"
#include "base/ContourValue.h"
#include "base/GeoPoint.h"
#include "base/LineTool.h"

#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

namespace brimlark
{

/// A feature of the analysis: a line, a pressure centre or a text label. One drawn with the
/// mouse is kept in chart pixels of the view it was drawn for, which an export turns back
/// into positions on the globe; one imported keeps the positions it was read with, which an
/// export gives back.
// Every member has an initializer, so that a designated initializer may name only the
// fields that matter to it.
struct DrawnFeature {
    enum class Kind { Line, Low, High, Text };
    Kind kind = Kind::Line;
    LineTool tool = LineTool::ColdFront; ///< for a line
    /// A line's points, or a centre's or label's one point. For an imported line, the points
    /// it was drawn through, piece after piece where it leaves the chart and comes back; none
    /// when it lies wholly off the chart.
    std::vector<QPointF> points{};
    std::optional<int> pressure{}; ///< a centre's pressure in hPa, when known
    /// For an imported feature, all its positions on the globe, on the chart or not; empty for
    /// a drawn one.
    std::vector<GeoPoint> positions{};
    QString strength = {}; ///< a line's strength word as imported ("WK", "MDT", "STG"), or empty
    /// Where each piece of a line after the first starts in its points; empty for one piece.
    std::vector<size_t> pieceStarts = {};
    QString text = {};    ///< a label's text
    PanelLine panel = {}; ///< an isopleth's colour and width as the drawing panel gave them
    /// What an isopleth stands for, when it has a value: one of the first guess, or one read
    /// with its value. It is drawn in the first-guess colour and labelled with its value.
    std::optional<ContourValue> contour = {};

    bool operator==(const DrawnFeature &) const = default;

    bool isLine() const { return kind == Kind::Line; }
    bool isCentre() const { return kind == Kind::Low || kind == Kind::High; }
    /// An isopleth with a value: drawn and labelled as an isoline of the first guess.
    bool isContour() const { return isLine() && tool == LineTool::Isopleth && contour; }
};

} // namespace brimlark
