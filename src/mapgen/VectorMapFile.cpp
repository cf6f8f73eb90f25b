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
    const QPoint p = Projection::ProjectToChart(m_view, DataFile::int16At(record + 2) / 60.0,
                                                DataFile::int16At(record + 4) / 60.0);
    if (p.x() == Projection::OffChart || p.x() == -Projection::OffChart)
        return; // only x is tested
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
