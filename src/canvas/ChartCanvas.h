// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ChartColor.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <span>

namespace brimlark
{

enum class PenStyle { Solid, Dotted };
enum class BrushStyle { Solid, Clear };
enum class FontStyle { Regular, Bold };

/// The drawing state that persists between calls on a canvas.
struct CanvasState {
    ChartColor penColor = 0;
    int penWidth = 1;
    PenStyle penStyle = PenStyle::Solid;
    ChartColor brushColor = 0xFFFFFF;
    BrushStyle brushStyle = BrushStyle::Solid;
    QString fontName = QStringLiteral("Arial");
    int fontSize = 10;
    ChartColor fontColor = 0;
    FontStyle fontStyle = FontStyle::Regular;
    QPoint position;
};

/// The raster operations that every drawing of the chart goes through, in chart pixel
/// coordinates (origin top left, y down). Pen, brush, font and current position persist
/// between calls. Everything is clipped to the chart.
class ChartCanvas
{
public:
    virtual ~ChartCanvas() = default;

    virtual void setPenColor(ChartColor color) = 0;
    virtual void setPenWidth(int width) = 0;
    virtual void setPenStyle(PenStyle style) = 0;
    virtual void setBrushColor(ChartColor color) = 0;
    virtual void setBrushStyle(BrushStyle style) = 0;
    virtual void setFontName(const QString &name) = 0;
    /// Size in points; the character height is round(points * 96 / 72) pixels.
    virtual void setFontSize(int points) = 0;
    virtual void setFontColor(ChartColor color) = 0;
    virtual void setFontStyle(FontStyle style) = 0;
    /// The state set so far.
    virtual const CanvasState &state() const = 0;

    /// Sets the current position; draws nothing.
    virtual void moveTo(int x, int y) = 0;
    /// Draws from the current position to (x, y), excluding the end pixel, and moves there.
    virtual void lineTo(int x, int y) = 0;
    /// Connected lines through the points, the last point excluded; not closed.
    virtual void polyline(std::span<const QPoint> points) = 0;
    /// Many polylines in one call, each drawn as polyline() draws it: polyline i runs
    /// through points ends[i - 1] .. ends[i] - 1 (from 0 for the first).
    virtual void polylines(std::span<const QPoint> points, std::span<const size_t> ends)
    {
        size_t begin = 0;
        for (const size_t end : ends) {
            polyline(points.subspan(begin, end - begin));
            begin = end;
        }
    }
    /// A closed figure filled with the brush (even-odd) and outlined with the pen.
    virtual void polygon(std::span<const QPoint> points) = 0;
    /// The same figure filled with the brush, no outline.
    virtual void fillPolygon(std::span<const QPoint> points) = 0;
    /// Fills columns x1 .. x2-1, rows y1 .. y2-1 with the brush and outlines them with the pen.
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    /// Fills columns x1 .. x2-1, rows y1 .. y2-1 with the brush, no outline.
    virtual void fillRect(int x1, int y1, int x2, int y2) = 0;
    /// The drawable rectangle, the whole chart.
    virtual QRect clipRect() const = 0;
    /// Sets one pixel.
    virtual void setPixel(int x, int y, ChartColor color) = 0;
    /// Text with the top-left corner of its cell at (x, y); a solid brush fills the cell.
    virtual void textOut(int x, int y, const QString &text) = 0;
    virtual int textWidth(const QString &text) = 0;
    virtual int textHeight(const QString &text) = 0;
    /// Paints a picture with its top-left corner at (x, y); transparent pixels leave the chart.
    virtual void draw(int x, int y, const QImage &picture) = 0;
};

} // namespace brimlark
