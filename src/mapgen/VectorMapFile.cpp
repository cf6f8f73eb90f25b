// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/VectorMapFile.h"

#include "base/DataFile.h"
#include "mapgen/Projection.h"

#include <algorithm>

namespace brimlark
{

namespace
{

constexpr int RecordSize = 6;
constexpr int LineStart = 1000;

bool isOnScale(int coordinate)
{
    return coordinate != Projection::OffChart && coordinate != -Projection::OffChart;
}

} // namespace

VectorMapFile::VectorMapFile(ChartCanvas &canvas, const ViewValues &view,
                             GenerationProgress &progress)
    : m_canvas(canvas), m_view(view), m_progress(progress), m_projection(view), m_clipper(view)
{
    m_buffer.reserve(BufferPoints);
}

void VectorMapFile::drawMapFile(const QString &path, bool asPolygon)
{
    m_asPolygon = asPolygon;
    m_strokeOutlines = true;
    drawFile(path);
}

void VectorMapFile::fillMapFile(const QString &path)
{
    m_asPolygon = true;
    m_strokeOutlines = false;
    drawFile(path);
}

void VectorMapFile::drawFile(const QString &path)
{
    DataFile file(path);
    m_reach.emplace(m_view, m_projection, m_canvas.clipRect(), m_canvas.state().penWidth);
    m_seenLineStart = false;
    m_line.clear();
    // A file ending inside a record fails here, and the line being collected is not drawn.
    file.forEachRecord(RecordSize, [this](const uchar *record) { addRecord(record); });
    drawLine();
}

// A line's points are gathered first, so that a line that cannot reach the chart is never
// projected at all.
void VectorMapFile::addRecord(const uchar *record)
{
    if (DataFile::int16At(record) >= LineStart) {
        // The points before a file's first line start belong to no line.
        if (m_seenLineStart) {
            drawLine();
            m_progress.lineDone();
        }
        m_seenLineStart = true;
        m_line.clear();
    }
    const int latitude = DataFile::int16At(record + 2);
    const int longitude = DataFile::int16At(record + 4);
    if (!MinuteProjection::inRange(latitude, longitude))
        return; // out of range: left out, its neighbours joined
    m_line.push_back({qint16(latitude), qint16(longitude)});
}

void VectorMapFile::drawLine()
{
    clearBuffer();
    if (m_skipUnreachable) {
        m_box = lineBox();
        if (!(m_asPolygon ? m_reach->outlineMayReach(m_box) : m_reach->lineMayReach(m_box)))
            return;
    }
    for (const MinutePoint &point : m_line)
        addPoint(point.latitude, point.longitude);
    drawBuffer();
}

// In one pass after the line is read, rather than point by point while it is.
ChartReach::Box VectorMapFile::lineBox() const
{
    if (m_line.empty())
        return {};
    ChartReach::Box box{m_line[0].latitude, m_line[0].latitude, m_line[0].longitude,
                        m_line[0].longitude};
    for (const MinutePoint &point : m_line) {
        box.minLatitude = std::min<int>(box.minLatitude, point.latitude);
        box.maxLatitude = std::max<int>(box.maxLatitude, point.latitude);
        box.minLongitude = std::min<int>(box.minLongitude, point.longitude);
        box.maxLongitude = std::max<int>(box.maxLongitude, point.longitude);
    }
    return box;
}

void VectorMapFile::addPoint(int latitude, int longitude)
{
    const Projection::Terms terms = m_projection.terms(latitude, longitude);
    const QPoint p = Projection::chartPointOf(m_view, terms);
    // A visible point with either coordinate beyond -9999 .. 9999 is left out too. Such a
    // coordinate reads -9999, so keeping the other one would put the point on the wrong
    // side of the chart: at large zooms a line running far below the chart would streak up
    // across it to y = -9999.
    const bool hasPixel = isOnScale(p.x()) && isOnScale(p.y());
    if (m_asPolygon)
        m_ring.push_back({terms, p, hasPixel});
    else if (hasPixel)
        append(p);
    else if (!Projection::isVisible(terms))
        breakLine();
}

// Behind the globe a line ends and goes on at its next visible point, rather than crossing
// the disc with a chord.
void VectorMapFile::breakLine()
{
    drawBuffer();
    clearBuffer();
}

void VectorMapFile::append(QPoint p)
{
    if (int(m_buffer.size()) == BufferPoints) {
        // A line too long for one figure goes on in a new part from its last point.
        const QPoint joint = m_buffer.back();
        drawBuffer();
        clearBuffer();
        m_buffer.push_back(joint);
    }
    m_buffer.push_back(p);
}

void VectorMapFile::clearBuffer()
{
    m_buffer.clear();
    m_ring.clear();
}

void VectorMapFile::drawBuffer()
{
    if (m_asPolygon)
        drawOutline();
    else if (!m_buffer.empty())
        m_canvas.polyline(m_buffer);
}

// A land outline wholly in view is one polygon through its points; one wholly behind the
// globe draws nothing; one across the horizon is clipped to the visible hemisphere, filled
// up to the rim, and stroked only along its own visible stretches.
void VectorMapFile::drawOutline()
{
    const auto hidden = std::find_if(m_ring.begin(), m_ring.end(), [](const auto &point) {
        return !Projection::isVisible(point.terms);
    });
    if (hidden == m_ring.end()) {
        for (const HorizonClipper::RingPoint &point : m_ring) {
            if (point.hasPixel)
                m_buffer.push_back(point.pixel);
        }
        if (m_buffer.empty())
            return;
        if (m_strokeOutlines)
            m_canvas.polygon(m_buffer);
        else
            m_canvas.fillPolygon(m_buffer);
        return;
    }
    // Only outlines across the horizon need the side test the box may spare.
    m_clipper.clip(m_ring, m_skipUnreachable && m_reach->leavesOutCentre(m_box));
    if (m_clipper.figure().empty())
        return; // wholly behind the globe
    m_canvas.fillPolygon(m_clipper.figure());
    for (size_t i = 0; m_strokeOutlines && i < m_clipper.coastCount(); ++i)
        m_canvas.polyline(m_clipper.coast(i));
}

} // namespace brimlark
