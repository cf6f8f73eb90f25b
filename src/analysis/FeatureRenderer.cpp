// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/FeatureRenderer.h"

#include "analysis/ChartMarkers.h"
#include "analysis/Segment.h"
#include "analysis/SegmentRenderer.h"
#include "base/NumberConversion.h"

namespace brimlark
{

FeatureRenderer::FeatureRenderer(ChartCanvas &canvas, const ChartSettings &settings)
    : m_canvas(canvas), m_settings(settings)
{
}

void FeatureRenderer::draw(const DrawnFeature &feature)
{
    if (feature.points.empty())
        return; // wholly off the chart
    switch (feature.kind) {
    case DrawnFeature::Kind::Line:
        drawLine(feature);
        break;
    case DrawnFeature::Kind::Low:
    case DrawnFeature::Kind::High:
        drawCentre(feature);
        break;
    case DrawnFeature::Kind::Text: {
        const QPoint p = NumberConversion::roundedPoint(feature.points.front());
        ChartMarkers::placeText(m_canvas, feature.text, p.x(), p.y());
        break;
    }
    }
}

std::vector<std::span<const QPointF>> FeatureRenderer::piecesOf(const DrawnFeature &feature)
{
    std::vector<std::span<const QPointF>> pieces;
    const std::span<const QPointF> points(feature.points);
    size_t start = 0;
    for (const size_t end : feature.pieceStarts) {
        pieces.push_back(points.subspan(start, end - start));
        start = end;
    }
    pieces.push_back(points.subspan(start));
    return pieces;
}

// A segment holds at most 100 points, so a longer piece is drawn as the segments a user
// would draw, each starting at the last point of the one before.
void FeatureRenderer::drawLine(const DrawnFeature &feature)
{
    SegmentRenderer segments(m_canvas, m_settings);
    constexpr size_t Capacity = Segment::Capacity;
    for (const std::span<const QPointF> piece : piecesOf(feature)) {
        for (size_t start = 0; start + 1 < piece.size(); start += Capacity - 1)
            segments.drawSegment(feature.tool,
                                 piece.subspan(start, std::min(piece.size() - start, Capacity)),
                                 feature.panel);
    }
}

// The pressure stands to the right of the letter, level with its middle.
void FeatureRenderer::drawCentre(const DrawnFeature &feature)
{
    const QPoint p = NumberConversion::roundedPoint(feature.points.front());
    const bool high = feature.kind == DrawnFeature::Kind::High;
    ChartMarkers::placeLetter(m_canvas, m_settings, high ? u'H' : u'L', p.x(), p.y());
    if (feature.pressure)
        ChartMarkers::placeText(m_canvas, QString::number(*feature.pressure), p.x() + 18,
                                p.y() - 9);
}

} // namespace brimlark
