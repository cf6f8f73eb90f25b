// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/VectorMapFile.h"

#include "base/DataFile.h"
#include "mapgen/Projection.h"

#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

void VectorMapFile::keepLines(KeptLines &kept, int penWidth, bool asCoast)
{
    kept.clear();
    m_kept = &kept;
    m_keptPenWidth = std::max(penWidth, 1);
    m_keptAsCoast = asCoast;
}

void VectorMapFile::drawKeptLines(const KeptLines &kept)
{
    for (size_t line = 0; line < kept.lineCount(); ++line) {
        for (size_t i = kept.lineBegin(line); i < kept.lineEnd(line); ++i)
            m_canvas.polyline(kept.polyline(i));
        if (line + 1 < kept.lineCount())
            m_progress.lineDone(); // as drawFile reports every line but the file's last
    }
}

void VectorMapFile::drawFile(const QString &path)
{
    // Lines are kept from one file only, also when it fails.
    const auto keptOnce = qScopeGuard([this] { m_kept = nullptr; });
    if (!m_asPolygon)
        m_kept = nullptr;
    DataFile file(path);
    // Room for every point of the file kept, with a closing point per line, reserved at
    // once: memory reserved but never written costs nothing, while a vector grown by
    // doubling copies what it holds into fresh pages, page faults and all, each time.
    if (m_kept)
        m_kept->reserve(2 * size_t(QFileInfo(path).size() / RecordSize));
    // Kept lines are left out only where neither this file's pen nor theirs can reach.
    const int penWidth = m_canvas.state().penWidth;
    m_reach.emplace(m_view, m_projection, m_canvas.clipRect(),
                    m_kept ? std::max(penWidth, m_keptPenWidth) : penWidth);
    m_seenLineStart = false;
    m_firstInRange = false;
    m_line.clear();
    // A file ending inside a record fails here, and the line being collected is not drawn.
    // A line's points are gathered first, so that a line that cannot reach the chart is
    // never projected at all. Most records are points of a line: they are read here, and
    // only a line start leaves the loop.
    file.forEachRecord(RecordSize, [this](const uchar *record) {
        const int latitude = DataFile::int16At(record + 2);
        const int longitude = DataFile::int16At(record + 4);
        const bool inRange = MinuteProjection::inRange(latitude, longitude);
        if (DataFile::int16At(record) >= LineStart) [[unlikely]]
            startLine(inRange);
        if (inRange) // out of range: left out, its neighbours joined
            m_line.push_back({qint16(latitude), qint16(longitude)});
    });
    drawLine();
}

void VectorMapFile::startLine(bool firstInRange)
{
    // The points before a file's first line start belong to no line.
    if (m_seenLineStart) {
        drawLine();
        m_progress.lineDone();
    }
    m_seenLineStart = true;
    m_firstInRange = firstInRange;
    m_line.clear();
}

void VectorMapFile::drawLine()
{
    clearBuffer();
    if (m_kept)
        m_kept->startLine();
    // An outline that cannot reach the chart has no stretch that can, as a line, either.
    if (m_skipUnreachable) {
        m_box = lineBox();
        if (!(m_asPolygon ? m_reach->outlineMayReach(m_box) : m_reach->lineMayReach(m_box)))
            return;
    }
    // The same for the ring of a long outline (40 bytes a point).
    if (m_asPolygon)
        m_ring.reserve(m_line.size());
    for (const MinutePoint &point : m_line)
        addPoint(point.latitude, point.longitude);
    if (m_kept)
        keepLine();
    drawBuffer();
}

// The outline as drawMapFile draws its file's line: the points with a pixel, broken where
// it passes behind the globe; a coast line ends at its first point again.
void VectorMapFile::keepLine()
{
    for (const HorizonClipper::RingPoint &point : m_ring)
        keepPoint(point);
    if (m_keptAsCoast && m_firstInRange && !m_ring.empty())
        keepPoint(m_ring.front());
    m_kept->breakLine();
}

void VectorMapFile::keepPoint(const HorizonClipper::RingPoint &point)
{
    if (point.hasPixel)
        m_kept->append(point.pixel);
    else if (!Projection::isVisible(point.terms))
        m_kept->breakLine();
}

// The coast line kept from an outline runs through the outline's points in the same order,
// closed through its first point, and is stroked after every layer drawn over the land, so
// a 1-pixel stroke of the outline between two of its points ends up wholly under it (any
// round pen covers the 1-pixel line through its centres). Only a first point that was out
// of range, or is visible without a pixel, leaves the coast line open where the outline is
// closed; then the outline is stroked as usual.
bool VectorMapFile::coastCoversOutline() const
{
    if (!m_kept || !m_keptAsCoast || m_canvas.state().penWidth != 1 || !m_firstInRange
        || m_ring.empty())
        return false;
    const HorizonClipper::RingPoint &first = m_ring.front();
    return first.hasPixel || !Projection::isVisible(first.terms);
}

// In one pass after the line is read, rather than point by point while it is; four points
// at a time where the processor has the instructions, the latitudes in the even lanes and
// the longitudes in the odd ones.
ChartReach::Box VectorMapFile::lineBox() const
{
    if (m_line.empty())
        return {};
    static_assert(sizeof(MinutePoint) == 2 * sizeof(qint16));
    const size_t n = m_line.size();
    int minLatitude = m_line[0].latitude, maxLatitude = minLatitude;
    int minLongitude = m_line[0].longitude, maxLongitude = minLongitude;
    size_t i = 0;
#ifdef __SSE2__
    if (n >= 4) {
        const auto fourAt = [this](size_t k) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i *>(m_line.data() + k));
        };
        __m128i low = fourAt(0);
        __m128i high = low;
        for (i = 4; i + 4 <= n; i += 4) {
            const __m128i four = fourAt(i);
            low = _mm_min_epi16(low, four);
            high = _mm_max_epi16(high, four);
        }
        alignas(16) qint16 lows[8], highs[8];
        _mm_store_si128(reinterpret_cast<__m128i *>(lows), low);
        _mm_store_si128(reinterpret_cast<__m128i *>(highs), high);
        for (int k = 0; k < 8; k += 2) {
            minLatitude = std::min<int>(minLatitude, lows[k]);
            maxLatitude = std::max<int>(maxLatitude, highs[k]);
            minLongitude = std::min<int>(minLongitude, lows[k + 1]);
            maxLongitude = std::max<int>(maxLongitude, highs[k + 1]);
        }
    }
#endif
    for (; i < n; ++i) {
        minLatitude = std::min<int>(minLatitude, m_line[i].latitude);
        maxLatitude = std::max<int>(maxLatitude, m_line[i].latitude);
        minLongitude = std::min<int>(minLongitude, m_line[i].longitude);
        maxLongitude = std::max<int>(maxLongitude, m_line[i].longitude);
    }
    return {minLatitude, maxLatitude, minLongitude, maxLongitude};
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
        if (m_strokeOutlines && !coastCoversOutline())
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
    if (!m_strokeOutlines)
        return;
    // A visible stretch runs from a point on the rim through the outline's own points to
    // another point on the rim. Under a coast line only its first and last edges, to and
    // from the rim, are its own:
    //
    //   rim in -> p1 -> p2 -> ... -> pk -> rim out
    //   '-----'                      '---------'    stroked here
    //           '--------------------'             the coast line's
    const bool covered = coastCoversOutline();
    for (size_t i = 0; i < m_clipper.coastCount(); ++i) {
        const std::span<const QPoint> stretch = m_clipper.coast(i);
        if (!covered || stretch.size() <= 3) {
            m_canvas.polyline(stretch);
        } else {
            m_canvas.polyline(stretch.first(2));
            m_canvas.polyline(stretch.last(2));
        }
    }
}

} // namespace brimlark
