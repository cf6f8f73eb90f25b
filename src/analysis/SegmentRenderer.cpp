// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/SegmentRenderer.h"

#include "analysis/FrontSymbols.h"
#include "analysis/SegmentSpline.h"
#include "base/NumberConversion.h"

#include <algorithm>
#include <cmath>

namespace brimlark
{

namespace
{

using S = ChartSettings;

// Distances along the line, in pixels of accumulated length.
constexpr double ScallopEnd = 20;
constexpr double StationarySwitch = 25;
constexpr double SymbolStart = 40;
constexpr double SymbolEnd = 60;

struct ToolPen {
    LineTool tool;
    S::Id width;
    S::Id color;
};

// The preference pens of the fronts, troughs and drylines; stationary fronts have no colour
// of their own. An isopleth takes its pen from the drawing panel.
constexpr ToolPen ToolPens[] = {{LineTool::ColdFront, S::ColdWidth, S::ColdColor},
                                {LineTool::WarmFront, S::WarmWidth, S::WarmColor},
                                {LineTool::OccludedFront, S::OccludedWidth, S::OccludedColor},
                                {LineTool::StationaryFront, S::StationaryWidth, S::ColdColor},
                                {LineTool::Trough, S::TroughWidth, S::TroughColor},
                                {LineTool::Dryline, S::DrylineWidth, S::DrylineColor}};

const ToolPen *toolPen(LineTool tool)
{
    const auto *found = std::find_if(std::begin(ToolPens), std::end(ToolPens),
                                     [&](const ToolPen &pen) { return pen.tool == tool; });
    return found == std::end(ToolPens) ? nullptr : found;
}

std::optional<int> panelWidth(const QString &text)
{
    for (int w = 1; w <= 5; ++w)
        if (text == QStringLiteral("%1 px").arg(w))
            return w;
    return std::nullopt;
}

std::optional<ChartColor> panelColor(const QString &text)
{
    const std::pair<const char *, ChartColor> colours[] = {{"Black", chartRgb(0, 0, 0)},
                                                           {"Blue", chartRgb(0, 0, 255)},
                                                           {"Red", chartRgb(255, 0, 0)},
                                                           {"Yellow", chartRgb(255, 255, 0)},
                                                           {"Green", chartRgb(0, 128, 0)}};
    for (const auto &[name, colour] : colours)
        if (text == QLatin1String(name))
            return colour;
    return std::nullopt;
}

FrontSymbol otherKind(FrontSymbol kind)
{
    return kind == FrontSymbol::Triangle ? FrontSymbol::Semicircle : FrontSymbol::Triangle;
}

} // namespace

SegmentRenderer::SegmentRenderer(ChartCanvas &canvas, const ChartSettings &settings)
    : m_canvas(canvas), m_settings(settings)
{
}

void SegmentRenderer::drawSegment(LineTool tool, std::span<const QPointF> points,
                                  const PanelLine &panel)
{
    setUpPen(tool, panel);
    drawSpline(tool, points);
}

void SegmentRenderer::drawIsoline(std::span<const QPointF> points, const PanelLine &panel,
                                  ChartColor colour)
{
    // One pixel without a width of the panel, never the pen that a drawing before left, so
    // that an isoline read from a file draws the same in any order.
    m_canvas.setPenWidth(panelWidth(panel.lineWidth).value_or(1));
    m_canvas.setPenColor(colour);
    m_canvas.setPenStyle(PenStyle::Solid);
    m_canvas.setBrushStyle(BrushStyle::Clear);
    drawSpline(LineTool::Isopleth, points);
}

void SegmentRenderer::drawSpline(LineTool tool, std::span<const QPointF> points)
{
    points = points.first(qMin<size_t>(points.size(), SegmentSpline::MaxKnots));
    if (points.size() == 2) {
        const QPoint from = NumberConversion::roundedPoint(points[0]);
        const QPoint to = NumberConversion::roundedPoint(points[1]);
        m_canvas.moveTo(from.x(), from.y());
        m_canvas.lineTo(to.x(), to.y());
    } else if (points.size() >= 3) {
        walk(tool, points);
    }
}

void SegmentRenderer::setUpPen(LineTool tool, const PanelLine &panel)
{
    if (const auto width = panelWidth(panel.lineWidth))
        m_canvas.setPenWidth(*width);
    if (const auto colour = panelColor(panel.lineColor))
        m_canvas.setPenColor(*colour);
    m_canvas.setPenStyle(PenStyle::Solid);
    m_canvas.setBrushStyle(BrushStyle::Clear);
    if (const ToolPen *pen = toolPen(tool)) {
        m_canvas.setPenWidth(NumberConversion::requireInteger(m_settings.text(pen->width)));
        m_canvas.setPenColor(m_settings.color(pen->color));
    }
}

void SegmentRenderer::walk(LineTool tool, std::span<const QPointF> points)
{
    m_tool = tool;
    m_kind = LineToolNames::of(tool).firstSymbol;
    m_switched = false;
    m_length = 0;
    m_start.reset();
    m_previous = NumberConversion::roundedPoint(points[0]);
    SegmentSpline(points).forEachSample([this](QPoint p) { step(p); });
}

void SegmentRenderer::setPenForKind()
{
    if (m_kind == FrontSymbol::Triangle)
        m_canvas.setPenColor(m_settings.color(S::ColdColor));
    else if (m_kind == FrontSymbol::Semicircle)
        m_canvas.setPenColor(m_settings.color(S::WarmColor));
    if (m_tool == LineTool::OccludedFront)
        m_canvas.setPenColor(m_settings.color(S::OccludedColor));
}

// One sample of the walk, its steps in their fixed order.
void SegmentRenderer::step(QPoint p)
{
    setPenForKind();
    if (m_tool != LineTool::Trough || m_length < SymbolStart) {
        m_canvas.moveTo(m_previous.x(), m_previous.y());
        m_canvas.lineTo(p.x(), p.y());
    }
    const double dx = m_previous.x() - p.x();
    const double dy = m_previous.y() - p.y();
    m_length += std::sqrt(dx * dx + dy * dy);
    if (m_length > StationarySwitch && !m_switched) {
        if (m_tool == LineTool::StationaryFront)
            m_kind = otherKind(m_kind);
        m_switched = true;
    }
    if (m_tool == LineTool::OccludedFront)
        m_kind = otherKind(m_kind);
    if (m_length > SymbolStart && !m_start && m_tool != LineTool::Dryline)
        m_start = p;
    if (m_length > 0 && !m_start && m_tool == LineTool::Dryline)
        m_start = p;
    if (m_tool == LineTool::Dryline && m_length > ScallopEnd)
        drawScallop(p);
    if (m_length > SymbolEnd)
        drawSymbol(p);
    m_previous = p;
}

void SegmentRenderer::drawSymbol(QPoint end)
{
    const bool occluded = m_tool == LineTool::OccludedFront;
    if (m_kind == FrontSymbol::Triangle) {
        m_canvas.setBrushColor(m_settings.color(occluded ? S::OccludedColor : S::ColdColor));
        m_canvas.setBrushStyle(BrushStyle::Solid);
        m_canvas.polygon(FrontSymbols::triangle(*m_start, end));
    } else if (m_kind == FrontSymbol::Semicircle) {
        const auto side =
            m_tool == LineTool::StationaryFront ? FrontSymbols::Right : FrontSymbols::Left;
        m_canvas.setBrushColor(m_settings.color(occluded ? S::OccludedColor : S::WarmColor));
        m_canvas.setBrushStyle(BrushStyle::Solid);
        m_canvas.polygon(FrontSymbols::semicircle(*m_start, end, side));
    }
    m_start.reset();
    m_length = 0;
    m_switched = false;
}

void SegmentRenderer::drawScallop(QPoint end)
{
    m_canvas.polyline(FrontSymbols::semicircle(*m_start, end, FrontSymbols::Left));
    m_start.reset();
    m_length = 0;
    m_switched = false;
}

} // namespace brimlark
