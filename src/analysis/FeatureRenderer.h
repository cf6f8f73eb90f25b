// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/DrawnFeature.h"
#include "canvas/ChartCanvas.h"
#include "prefs/ChartSettings.h"

#include <span>
#include <vector>

namespace brimlark
{

/// Draws a feature of the analysis with the drawing tools a press uses: a line piece by
/// piece, each in segments of at most 100 points that go on from the last point as a user
/// would draw them; a centre as its L or H with its pressure beside it; a label as its text.
/// An isopleth with a value is drawn in the first-guess colour and labelled with its value.
/// Drawing every feature in order on the base map gives the chart that the presses drew.
class FeatureRenderer
{
public:
    FeatureRenderer(ChartCanvas &canvas, const ChartSettings &settings);

    void draw(const DrawnFeature &feature);

    /// A line's pieces, in order.
    static std::vector<std::span<const QPointF>> piecesOf(const DrawnFeature &feature);

    /// Where an isoline's labels go along a piece: at both ends (once on a closed line) and
    /// in between at equal steps of at most LabelSpacing pixels of its length.
    static std::vector<QPointF> labelPoints(std::span<const QPointF> piece);
    static constexpr double LabelSpacing = 400;

private:
    void drawLine(const DrawnFeature &feature);
    void drawLabel(const QString &text, QPointF at);
    void drawCentre(const DrawnFeature &feature);

    ChartCanvas &m_canvas;
    const ChartSettings &m_settings;
};

} // namespace brimlark
