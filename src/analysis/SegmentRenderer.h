// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/PanelLine.h"
#include "base/LineTool.h"
#include "canvas/ChartCanvas.h"
#include "prefs/ChartSettings.h"

#include <QPointF>
#include <QString>

#include <optional>
#include <span>

namespace brimlark
{

/// Draws a segment with a line tool: the spline through its points, walked sample by
/// sample, with the front symbols at fixed distances along it.
///
/// The walk measures the accumulated length L of the pieces between samples. A front
/// symbol starts at the first sample with L above 40 and ends at the first with L above
/// 60, where L starts again from 0; a trough draws its pieces only while L is below 40; a
/// dryline scallop ends where L passes 20; a stationary front changes its symbol kind
/// where L passes 25.
class SegmentRenderer
{
public:
    SegmentRenderer(ChartCanvas &canvas, const ChartSettings &settings);

    /// Draws the first points (at most 100) with the tool. A width preference that is not an
    /// integer stops it before anything is drawn. Leaves pen and brush as the last step set
    /// them.
    /// Traced name: DrawSegment.
    void drawSegment(LineTool tool, std::span<const QPointF> points, const PanelLine &panel);
    /// Draws the first points (at most 100) as an isoline with a value: an isopleth in the
    /// panel's width (1 pixel when the panel gives none), in its own colour.
    void drawIsoline(std::span<const QPointF> points, const PanelLine &panel, ChartColor colour);

private:
    void setUpPen(LineTool tool, const PanelLine &panel);
    void drawSpline(LineTool tool, std::span<const QPointF> points);
    void walk(LineTool tool, std::span<const QPointF> points);
    void step(QPoint p);
    void drawSymbol(QPoint end);
    void drawScallop(QPoint end);
    void setPenForKind();

    ChartCanvas &m_canvas;
    const ChartSettings &m_settings;

    // One walk's state.
    LineTool m_tool = LineTool::Isopleth;
    FrontSymbol m_kind = FrontSymbol::None;
    bool m_switched = false;
    double m_length = 0;
    std::optional<QPoint> m_start;
    QPoint m_previous;
};

} // namespace brimlark
