// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/VectorMapFile.h"

#include "mapgen/Projection.h"
#include "workspace/DataFile.h"

namespace
{

constexpr int RecordSize = 6;
constexpr int LineStart = 1000;

} // namespace

VectorMapFile::VectorMapFile(ChartCanvas &canvas, const ViewValues &view,
                             GenerationProgress &progress)
    : m_canvas(canvas), m_view(view), m_progress(progress), m_projection(view)
{
    m_buffer.reserve(BufferPoints);
}

void VectorMapFile::DrawMapFile(const QString &path, bool asPolygon)
{
    DataFile file(path);
    m_asPolygon = asPolygon;
    m_seenLineStart = false;
    clearBuffer();
    // A file ending inside a record fails here, and the line being collected is not drawn.
    file.forEachRecord(RecordSize, [this](const uchar *record) { addRecord(record); });
    drawBuffer();
}

void VectorMapFile::addRecord(const uchar *record)
{
    if (DataFile::int16At(record) >= LineStart) {
        // The points before a file's first line start belong to no line.
        if (m_seenLineStart) {
            drawBuffer();
            m_progress.lineDone();
        }
        m_seenLineStart = true;
        clearBuffer();
    }
    const int latitude = DataFile::int16At(record + 2);
    const int longitude = DataFile::int16At(record + 4);
    if (!MinuteProjection::inRange(latitude, longitude))
        return; // out of range: left out, its neighbours joined
    const Projection::Terms terms = m_projection.terms(latitude, longitude);
    const QPoint p = Projection::chartPointOf(m_view, terms);
    if (p.x() == Projection::OffChart || p.x() == -Projection::OffChart)
        leaveOut(terms); // only x is tested
    else
        append(p, true);
}

// A point that is not drawn. Behind the globe, a land outline follows the rim of the disc
// instead, so that the land keeps its shape up to the horizon rather than being cut by a
// chord; any other line ends there and goes on at its next visible point, rather than
// crossing the disc.
void VectorMapFile::leaveOut(const Projection::Terms &terms)
{
    if (!m_asPolygon) {
        if (terms.v >= 0) { // hidden, rather than off a very large chart
            drawBuffer();
            clearBuffer();
        }
        return;
    }
    if (const auto rim = Projection::rimPointOf(m_view, terms))
        append(*rim, false);
}

void VectorMapFile::append(QPoint p, bool visible)
{
    if (int(m_buffer.size()) == BufferPoints) {
        // A line too long for one figure goes on in a new part from its last point.
        const QPoint joint = m_buffer.back();
        drawBuffer();
        clearBuffer();
        m_buffer.push_back(joint);
    }
    m_buffer.push_back(p);
    m_anyVisible = m_anyVisible || visible;
}

void VectorMapFile::clearBuffer()
{
    m_buffer.clear();
    m_anyVisible = false;
}

// A figure of rim points alone lies wholly behind the globe and is not drawn.
void VectorMapFile::drawBuffer()
{
    if (m_buffer.empty() || !m_anyVisible)
        return;
    if (m_asPolygon)
        m_canvas.polygon(m_buffer);
    else
        m_canvas.polyline(m_buffer);
}
