// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ViewValues.h"
#include "canvas/ChartCanvas.h"
#include "mapgen/ChartReach.h"
#include "mapgen/GenerationProgress.h"
#include "mapgen/HorizonClipper.h"
#include "mapgen/KeptLines.h"
#include "mapgen/MinuteProjection.h"

#include <QPoint>
#include <QString>

#include <optional>
#include <vector>

namespace brimlark
{

/// Draws the lines of one vector map file: 6-byte records of a 16-bit code (1000 or more
/// starts a line), latitude and longitude in minutes of arc, all little-endian.
class VectorMapFile
{
public:
    /// Most points of a line drawn in one polyline; a longer line is drawn in parts that
    /// share their joining point. A land outline is always drawn whole.
    static constexpr int BufferPoints = 30000;

    VectorMapFile(ChartCanvas &canvas, const ViewValues &view, GenerationProgress &progress);

    /// Draws every line of the file with the current pen (and brush, for polygons). A line
    /// breaks where it passes behind the globe; a polygon is clipped to the visible
    /// hemisphere and closed along the rim of the disc, which is filled but not stroked.
    /// A file that ends inside a record draws its complete lines and then fails with "Read
    /// beyond end of file".
    /// Traced name: DrawMapFile.
    void drawMapFile(const QString &path, bool asPolygon);

    /// Fills every line of the file as a polygon with the current brush, clipped to the
    /// visible hemisphere as drawMapFile does, without stroking any outline.
    /// Traced name: FillMapFile.
    void fillMapFile(const QString &path);

    /// Keeps, from the next file drawn or filled as polygons, the polylines that drawMapFile
    /// draws of its lines as lines (with the pen penWidth wide that will stroke them), so
    /// that they are stroked later without reading and projecting the file again. asCoast:
    /// each line is kept with its first point again at its end, as the coast lines of the
    /// land outlines hold it, and where those lines will cover the outline (a 1-pixel pen
    /// draws it) the outline itself is not stroked; only its edges along the rim are.
    void keepLines(KeptLines &kept, int penWidth, bool asCoast);
    /// Strokes kept lines with the current pen as drawMapFile strokes the lines of their
    /// file, reporting each line done the same way.
    void drawKeptLines(const KeptLines &kept);

    /// Whether lines that provably leave no mark on the chart are left out before they are
    /// projected, and outlines whose box shows the view centre on their larger side are
    /// clipped without working that out (on unless switched off; the chart is the same
    /// either way).
    void setSkipUnreachable(bool on) { m_skipUnreachable = on; }

private:
    void drawFile(const QString &path);
    void startLine(bool firstInRange);
    void drawLine();
    ChartReach::Box lineBox() const;
    void addPoint(int latitude, int longitude);
    void breakLine();
    void append(QPoint p);
    void clearBuffer();
    void drawBuffer();
    void drawOutline();
    void keepLine();
    void keepPoint(const HorizonClipper::RingPoint &point);
    bool coastCoversOutline() const;

    ChartCanvas &m_canvas;
    const ViewValues &m_view;
    GenerationProgress &m_progress;
    MinuteProjection m_projection;
    HorizonClipper m_clipper;
    std::vector<QPoint> m_buffer; // reserved once; a line never grows it past BufferPoints
    std::vector<HorizonClipper::RingPoint> m_ring; // the land outline being collected
    struct MinutePoint {
        qint16 latitude, longitude;
    };
    std::vector<MinutePoint> m_line;   // the points of the line being read, in range
    std::optional<ChartReach> m_reach; // for the pen and chart of the file being drawn
    bool m_skipUnreachable = true;
    ChartReach::Box m_box; // of the line being drawn, when skipping is on
    bool m_asPolygon = false;
    bool m_strokeOutlines = true;
    bool m_seenLineStart = false;
    bool m_firstInRange = false; // whether the line's first record was in range
    KeptLines *m_kept = nullptr; // for the file being drawn, when its lines are kept
    int m_keptPenWidth = 1;
    bool m_keptAsCoast = false;
};

} // namespace brimlark
