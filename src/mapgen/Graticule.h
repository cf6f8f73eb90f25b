// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ViewValues.h"
#include "canvas/ChartCanvas.h"
#include "mapgen/GenerationProgress.h"
#include "mapgen/MinuteProjection.h"
#include "prefs/ChartSettings.h"

namespace brimlark
{

/// The network of parallels and meridians in one of five styles: "Line", "Dashed" (a
/// dotted pen), "Mixed" (lines and a plus mark at every whole degree), "Dotted" (a pixel at
/// every whole degree along the lines) and "Cross" (a cross at every intersection). The
/// style text is compared exactly; any other text draws nothing.
class Graticule
{
public:
    Graticule(ChartCanvas &canvas, const ChartSettings &settings, const ViewValues &view,
              GenerationProgress &progress);

    /// Draws with the spacing interval (whole degrees, 1 or more) when GridSelect is on.
    /// Traced name: DrawGraticule.
    void drawGraticule(int interval);

private:
    enum class Style { Line, Dashed, Mixed, Dotted, Cross, Unknown };

    void drawLines(int interval);
    void drawMixedMarks();
    void drawCrosses(int interval);
    void tracePoint(int latitude, int longitude, bool first);
    QPoint project(int latitude, int longitude) const;
    bool isLineStyle() const;
    bool inside(QPoint p) const;

    ChartCanvas &m_canvas;
    const ChartSettings &m_settings;
    const ViewValues &m_view;
    GenerationProgress &m_progress;
    MinuteProjection m_projection;
    Style m_style = Style::Unknown;
    QPoint m_previous;
};

} // namespace brimlark
