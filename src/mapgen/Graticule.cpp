// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/Graticule.h"

#include "mapgen/GreatCircle.h"
#include "mapgen/Projection.h"

namespace brimlark
{

namespace
{

using S = ChartSettings;

// Half a degree of arc, in minutes, for the east and west arms of a cross.
constexpr double ArmMinutes = 30;

bool isEdge(int coordinate)
{
    return coordinate == Projection::OffChart || coordinate == -Projection::OffChart;
}

} // namespace

Graticule::Graticule(ChartCanvas &canvas, const ChartSettings &settings, const ViewValues &view,
                     GenerationProgress &progress)
    : m_canvas(canvas), m_settings(settings), m_view(view), m_progress(progress), m_projection(view)
{
}

// projectToChart of whole degrees, from the tables of the map's minutes: the same point to
// the last bit without its four sines and cosines (a twentieth of a map).
QPoint Graticule::project(int latitude, int longitude) const
{
    return m_projection.project(latitude * 60, longitude * 60);
}

void Graticule::drawGraticule(int interval)
{
    m_progress.status(QStringLiteral("Preparing graticule map..."));
    if (m_settings.isOn(S::GridSelect)) {
        const QString style = m_settings.text(S::GraticuleType);
        m_style = style == u"Line"     ? Style::Line
                  : style == u"Dashed" ? Style::Dashed
                  : style == u"Mixed"  ? Style::Mixed
                  : style == u"Dotted" ? Style::Dotted
                  : style == u"Cross"  ? Style::Cross
                                       : Style::Unknown;
        m_canvas.setBrushStyle(BrushStyle::Clear);
        m_canvas.setPenWidth(1);
        m_canvas.setPenColor(m_settings.color(S::GraticuleColor));
        if (m_style == Style::Cross)
            drawCrosses(interval);
        else
            drawLines(interval);
    }
    m_progress.status(QStringLiteral("Finished graticule map..."));
}

bool Graticule::isLineStyle() const
{
    return m_style == Style::Line || m_style == Style::Dashed || m_style == Style::Mixed;
}

bool Graticule::inside(QPoint p) const
{
    return p.x() > 0 && p.x() < m_view.chartWidth && p.y() > 0 && p.y() < m_view.chartHeight;
}

void Graticule::drawLines(int interval)
{
    m_progress.status(QStringLiteral("GENERATE: Drawing parallels..."));
    m_canvas.setBrushStyle(BrushStyle::Clear);
    if (m_style == Style::Dashed)
        m_canvas.setPenStyle(PenStyle::Dotted);
    else if (m_style == Style::Line || m_style == Style::Mixed)
        m_canvas.setPenStyle(PenStyle::Solid);
    // A style that is none of the five draws nothing, so its lines need no tracing.
    const bool traced = m_style != Style::Unknown;
    for (int latitude = -90; traced && latitude < 90; latitude += interval)
        for (int longitude = -180; longitude <= 180; ++longitude)
            tracePoint(latitude, longitude, longitude == -180);
    m_progress.status(QStringLiteral("Drawing meridians..."));
    for (int longitude = -180; traced && longitude < 180; longitude += interval)
        for (int latitude = -90; latitude <= 89; ++latitude)
            tracePoint(latitude, longitude, latitude == -90);
    if (m_style == Style::Mixed)
        drawMixedMarks();
}

// One point of a parallel or meridian: a pixel for "Dotted", else a segment from the last
// point when it can touch the chart and neither end is hidden.
void Graticule::tracePoint(int latitude, int longitude, bool first)
{
    const QPoint current = project(latitude, longitude);
    if (m_style == Style::Dotted)
        m_canvas.setPixel(current.x(), current.y(), m_settings.color(S::GraticuleColor));
    if (!first && isLineStyle()) {
        const QPoint &previous = m_previous;
        const int w = m_view.chartWidth;
        const int h = m_view.chartHeight;
        const bool acrossX =
            (previous.x() > 0 && previous.x() < w) || (current.x() > 0 && current.x() < w);
        const bool acrossY =
            (previous.y() > 0 && previous.y() < h) || (current.y() > 0 && current.y() < h);
        const bool visible = !isEdge(previous.x()) && !isEdge(previous.y()) && !isEdge(current.x())
                             && !isEdge(current.y());
        if (acrossX && acrossY && visible) {
            m_canvas.moveTo(previous.x(), previous.y());
            m_canvas.lineTo(current.x(), current.y());
        }
    }
    m_previous = current;
}

// A plus mark of five pixels at every whole degree whose centre lies inside the chart.
void Graticule::drawMixedMarks()
{
    m_progress.status(QStringLiteral("Drawing mixed graticule..."));
    const ChartColor colour = m_settings.color(S::GraticuleColor);
    for (int longitude = -180; longitude <= 179; ++longitude)
        for (int latitude = -90; latitude <= 89; ++latitude) {
            const QPoint p = project(latitude, longitude);
            if (!inside(p))
                continue;
            m_canvas.setPixel(p.x(), p.y(), colour);
            m_canvas.setPixel(p.x() + 1, p.y(), colour);
            m_canvas.setPixel(p.x() - 1, p.y(), colour);
            m_canvas.setPixel(p.x(), p.y() - 1, colour);
            m_canvas.setPixel(p.x(), p.y() + 1, colour);
        }
}

// A cross at every intersection: arms half a degree of arc long to the north, west, east
// and south, an arm to a hidden end left out.
void Graticule::drawCrosses(int interval)
{
    for (int latitude = -90; latitude < 90; latitude += interval)
        for (int longitude = -180; longitude < 180; longitude += interval) {
            const QPoint centre = project(latitude, longitude);
            if (!inside(centre))
                continue;
            const GeoPoint west = GreatCircle::pointAtBearing(latitude, longitude, 270, ArmMinutes);
            const GeoPoint east = GreatCircle::pointAtBearing(latitude, longitude, 90, ArmMinutes);
            const QPoint arms[] = {
                Projection::projectToChart(m_view, latitude + 0.5, longitude),
                Projection::projectToChart(m_view, west.latitude, west.longitude),
                Projection::projectToChart(m_view, east.latitude, east.longitude),
                Projection::projectToChart(m_view, latitude - 0.5, longitude)};
            for (const QPoint &end : arms) {
                if (Projection::isHidden(end))
                    continue;
                m_canvas.moveTo(centre.x(), centre.y());
                m_canvas.lineTo(end.x(), end.y());
            }
        }
}

} // namespace brimlark
