// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ViewValues.h"
#include "canvas/ChartCanvas.h"
#include "mapgen/GenerationProgress.h"
#include "mapgen/OverlayProjection.h"

#include <QPoint>
#include <QString>

#include <vector>

namespace brimlark
{

/// Draws a county or highway overlay: 4-byte records of latitude and longitude in
/// hundredths of a degree, longitude west positive, little-endian. A record whose latitude
/// code is -9999, 9999, -1, -100 or 0 is a break that ends the line.
class OverlayFile
{
public:
    OverlayFile(ChartCanvas &canvas, const ViewValues &view, GenerationProgress &progress);

    /// Draws the file's lines step by step with a solid pen of the colour and the width text
    /// (a strict integer, checked before the file is opened). A step that leaps from beyond
    /// one edge of the chart to beyond the opposite edge is not drawn, and a point off the
    /// chart altogether breaks its line. The lines are drawn as polylines once the file is
    /// read (also when it fails with a record cut short), and the finished overlay is
    /// reported to the progress.
    /// Traced name: DrawOverlay.
    void drawOverlay(const QString &path, ChartColor color, const QString &widthText);

    /// Whether a latitude code is a break record.
    static bool isBreak(qint16 latitudeCode)
    {
        return latitudeCode == -9999 || latitudeCode == 9999 || latitudeCode == -1
               || latitudeCode == -100 || latitudeCode == 0;
    }

private:
    void addRecord(qint16 latitudeCode, qint16 longitudeCode);
    void endLine();
    void drawLines();

    ChartCanvas &m_canvas;
    const ViewValues &m_view;
    GenerationProgress &m_progress;
    OverlayProjection m_projection;
    QPoint m_last;
    bool m_penUp = true;
    // The overlay's lines, drawn in one call when the file is read; kept between overlays.
    std::vector<QPoint> m_points;
    std::vector<size_t> m_ends;
};

} // namespace brimlark
