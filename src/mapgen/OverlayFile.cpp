// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/OverlayFile.h"

#include "base/DataFile.h"
#include "base/NumberConversion.h"
#include "mapgen/Projection.h"

namespace brimlark
{

namespace
{

constexpr int RecordSize = 4;

} // namespace

OverlayFile::OverlayFile(ChartCanvas &canvas, const ViewValues &view, GenerationProgress &progress)
    : m_canvas(canvas), m_view(view), m_progress(progress), m_projection(view)
{
}

void OverlayFile::drawOverlay(const QString &path, ChartColor color, const QString &widthText)
{
    m_canvas.setPenStyle(PenStyle::Solid);
    m_canvas.setPenWidth(1);
    m_canvas.setPenColor(color);
    m_canvas.setPenWidth(NumberConversion::requireInteger(widthText));
    DataFile file(path);
    m_penUp = true;
    m_points.clear();
    m_ends.clear();
    try {
        file.forEachRecord(RecordSize, [this](const uchar *record) {
            addRecord(DataFile::int16At(record), DataFile::int16At(record + 2));
        });
    } catch (...) {
        drawLines(); // a file that ends inside a record still draws its complete lines
        throw;
    }
    drawLines();
    m_progress.lineDone();
}

void OverlayFile::drawLines()
{
    endLine();
    if (!m_ends.empty())
        m_canvas.polylines(m_points, m_ends);
}

void OverlayFile::endLine()
{
    if (m_points.size() > (m_ends.empty() ? 0 : m_ends.back()))
        m_ends.push_back(m_points.size());
}

void OverlayFile::addRecord(qint16 latitudeCode, qint16 longitudeCode)
{
    if (isBreak(latitudeCode)) {
        m_penUp = true;
        return;
    }
    const QPoint p = m_projection.project(latitudeCode, longitudeCode);
    if (Projection::isHidden(p)) {
        m_penUp = true; // off the chart: the line breaks here
        return;
    }
    const int w = m_view.chartWidth;
    const int h = m_view.chartHeight;
    if ((m_last.y() <= 0 && p.y() > h) || (m_last.y() > h && p.y() <= 0)
        || (m_last.x() <= 0 && p.x() > w) || (m_last.x() > w && p.x() <= 0))
        m_penUp = true;
    // Each step is a line from the last point to this one: a polyline through the points
    // until the pen lifts, which starts the next polyline at the point.
    if (m_penUp) {
        endLine();
        m_penUp = false;
    }
    m_points.push_back(p);
    m_last = p;
}

} // namespace brimlark
