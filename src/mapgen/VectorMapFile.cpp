// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/VectorMapFile.h"

#include "mapgen/Projection.h"
#include "workspace/DataFile.h"


namespace {

constexpr int RecordSize = 6;
constexpr int LineStart = 1000;

} // namespace

VectorMapFile::VectorMapFile(ChartCanvas &canvas, const ViewValues &view,
                             GenerationProgress &progress)
    : m_canvas(canvas), m_view(view), m_progress(progress)
{
    m_buffer.reserve(BufferPoints);
}

void VectorMapFile::DrawMapFile(const QString &path, bool asPolygon)
{
    DataFile file(path);
    m_asPolygon = asPolygon;
    m_seenLineStart = false;
    m_buffer.clear();
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
        m_buffer.clear();
    }
    const double latitude = DataFile::int16At(record + 2) / 60.0;
    const double longitude = DataFile::int16At(record + 4) / 60.0;
    const QPoint p = Projection::ProjectToChart(m_view, latitude, longitude);
    if (p.x() == Projection::OffChart || p.x() == -Projection::OffChart)
        leaveOut(latitude, longitude); // only x is tested
    else
        append(p);
}

// A point that is not drawn. Behind the globe, a land outline follows the rim of the disc
// instead, so that the land keeps its shape up to the horizon rather than being cut by a
// chord; any other line ends there and goes on at its next visible point, rather than
// crossing the disc. Points out of range are simply left out.
void VectorMapFile::leaveOut(double latitude, double longitude)
{
    const auto rim = Projection::rimPoint(m_view, latitude, longitude);
    if (!rim)
        return;
    if (m_asPolygon) {
        append(*rim);
        return;
    }
    drawBuffer();
    m_buffer.clear();
}

void VectorMapFile::append(QPoint p)
{
    if (int(m_buffer.size()) == BufferPoints) {
        // A line too long for one figure goes on in a new part from its last point.
        const QPoint joint = m_buffer.back();
        drawBuffer();
        m_buffer.clear();
        m_buffer.push_back(joint);
    }
    m_buffer.push_back(p);
}

void VectorMapFile::drawBuffer()
{
    if (m_buffer.empty())
        return;
    if (m_asPolygon)
        m_canvas.polygon(m_buffer);
    else
        m_canvas.polyline(m_buffer);
}
