// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "canvas/ChartBitmap.h"
#include "canvas/ChartCanvas.h"
#include "canvas/LineRasteriser.h"
#include "canvas/PenDisc.h"
#include "canvas/PixelTarget.h"
#include "canvas/PolygonFiller.h"

namespace brimlark
{

/// The real canvas: draws on the chart bitmap with our own rasteriser (lines, figures and
/// pixels follow the rules written down in LineRasteriser, PolygonFiller and PenDisc) and
/// renders text with QPainter. Every drawing marks what it changed as dirty on the bitmap.
class RasterCanvas : public ChartCanvas
{
public:
    explicit RasterCanvas(ChartBitmap &bitmap);

    void setPenColor(ChartColor color) override { m_state.penColor = color; }
    void setPenWidth(int width) override;
    void setPenStyle(PenStyle style) override { m_state.penStyle = style; }
    void setBrushColor(ChartColor color) override { m_state.brushColor = color; }
    void setBrushStyle(BrushStyle style) override { m_state.brushStyle = style; }
    void setFontName(const QString &name) override { m_state.fontName = name; }
    void setFontSize(int points) override { m_state.fontSize = points; }
    void setFontColor(ChartColor color) override { m_state.fontColor = color; }
    void setFontStyle(FontStyle style) override { m_state.fontStyle = style; }
    const CanvasState &state() const override { return m_state; }

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void polyline(std::span<const QPoint> points) override;
    void polylines(std::span<const QPoint> points, std::span<const size_t> ends) override;
    void polygon(std::span<const QPoint> points) override;
    void fillPolygon(std::span<const QPoint> points) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void fillRect(int x1, int y1, int x2, int y2) override;
    QRect clipRect() const override;
    void setPixel(int x, int y, ChartColor color) override;
    void textOut(int x, int y, const QString &text) override;
    int textWidth(const QString &text) override;
    int textHeight(const QString &text) override;
    void draw(int x, int y, const QImage &picture) override;

private:
    void outline(std::span<const QPoint> points, bool closed);
    static void strokeEdges(LineRasteriser &lines, std::span<const QPoint> points, bool closed);
    void fillArea(PixelTarget &target, qint64 x1, qint64 y1, qint64 x2, qint64 y2);
    void finish(PixelTarget &target);
    QFont currentFont() const;

    ChartBitmap &m_bitmap;
    CanvasState m_state;
    PenDisc m_pen{1};
    PolygonFiller m_filler;
    qint64 m_dashPhase = 0;
};

} // namespace brimlark
