// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/FeatureRenderer.h"

#include "analysis/ChartMarkers.h"
#include "analysis/Segment.h"
#include "analysis/SegmentRenderer.h"
#include "base/NumberConversion.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

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
    const ChartColor isolineColor = m_settings.color(ChartSettings::FirstGuessColor);
    for (const std::span<const QPointF> piece : piecesOf(feature)) {
        for (size_t start = 0; start + 1 < piece.size(); start += Capacity - 1) {
            const auto points = piece.subspan(start, std::min(piece.size() - start, Capacity));
            if (feature.isContour())
                segments.drawIsoline(points, feature.panel, isolineColor);
            else
                segments.drawSegment(feature.tool, points, feature.panel);
        }
    }
    if (!feature.isContour())
        return;
    for (const std::span<const QPointF> piece : piecesOf(feature))
        for (const QPointF &at : labelPoints(piece))
            drawLabel(feature.contour->label(), at);
}

std::vector<QPointF> FeatureRenderer::labelPoints(std::span<const QPointF> piece)
{
    std::vector<double> lengths{0}; // along the piece to each point
    for (size_t i = 1; i < piece.size(); ++i)
        lengths.push_back(lengths.back() + QLineF(piece[i - 1], piece[i]).length());
    const double length = lengths.back();
    const int steps = std::max(1, int(std::ceil(length / LabelSpacing)));
    const bool closed = piece.size() > 2 && piece.front() == piece.back();
    std::vector<QPointF> points;
    size_t i = 1;
    for (int k = 0; k <= steps - (closed ? 1 : 0); ++k) {
        const double at = length * k / steps;
        while (i + 1 < lengths.size() && lengths[i] < at)
            ++i;
        const double span = lengths[i] - lengths[i - 1];
        const double t = span > 0 ? std::clamp((at - lengths[i - 1]) / span, 0.0, 1.0) : 0.0;
        points.push_back(piece[i - 1] + (piece[i] - piece[i - 1]) * t);
    }
    return points;
}

// The value centred on the line, on a white ground that interrupts the line under it.
void FeatureRenderer::drawLabel(const QString &text, QPointF at)
{
    m_canvas.setFontName(QStringLiteral("Arial"));
    m_canvas.setFontSize(8);
    m_canvas.setFontStyle(FontStyle::Bold);
    m_canvas.setFontColor(m_settings.color(ChartSettings::FirstGuessColor));
    m_canvas.setBrushStyle(BrushStyle::Solid);
    m_canvas.setBrushColor(chartRgb(255, 255, 255));
    const QPoint p = NumberConversion::roundedPoint(at);
    m_canvas.textOut(p.x() - m_canvas.textWidth(text) / 2, p.y() - m_canvas.textHeight(text) / 2,
                     text);
    m_canvas.setBrushStyle(BrushStyle::Clear);
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
