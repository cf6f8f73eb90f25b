// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "canvas/RasterCanvas.h"

#include "canvas/ChartFonts.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace brimlark
{

RasterCanvas::RasterCanvas(ChartBitmap &bitmap) : m_bitmap(bitmap) {}

void RasterCanvas::finish(PixelTarget &target) { m_bitmap.markDirty(target.takeTouched()); }

// A width of 0 or below draws one pixel wide, as the platform's pens do.
void RasterCanvas::setPenWidth(int width)
{
    m_state.penWidth = qMax(width, 1);
    if (m_pen.width() != qBound(1, width, PenDisc::MaxWidth))
        m_pen = PenDisc(width);
}

void RasterCanvas::moveTo(int x, int y)
{
    m_state.position = QPoint(x, y);
    m_dashPhase = 0;
}

void RasterCanvas::lineTo(int x, int y)
{
    PixelTarget target(m_bitmap.pixels());
    target.setColor(m_state.penColor);
    LineRasteriser lines(target, m_pen, m_state.penStyle == PenStyle::Dotted);
    // The dotted pattern runs on from the previous line-to until the next move-to.
    lines.setPatternPhase(m_dashPhase);
    lines.line(m_state.position, QPoint(x, y));
    m_dashPhase = lines.patternPhase();
    m_state.position = QPoint(x, y);
    finish(target);
}

void RasterCanvas::strokeEdges(LineRasteriser &lines, std::span<const QPoint> points, bool closed)
{
    if (points.size() < 2)
        return;
    // Dense outlines repeat a pixel often; a line of no length draws nothing, so its call
    // is spared.
    for (size_t i = 0; i + 1 < points.size(); ++i)
        if (points[i] != points[i + 1])
            lines.line(points[i], points[i + 1]);
    if (closed)
        lines.line(points.back(), points.front());
}

void RasterCanvas::outline(std::span<const QPoint> points, bool closed)
{
    if (points.size() < 2)
        return;
    PixelTarget target(m_bitmap.pixels());
    target.setColor(m_state.penColor);
    LineRasteriser lines(target, m_pen, m_state.penStyle == PenStyle::Dotted);
    strokeEdges(lines, points, closed);
    finish(target);
}

void RasterCanvas::polyline(std::span<const QPoint> points) { outline(points, false); }

// One pixel target for all of them: an overlay is thousands of short lines, and setting up
// the target and rasteriser cost as much as drawing a line of a few pixels. The dotted
// pattern starts afresh with each polyline, as it does with each polyline() call.
void RasterCanvas::polylines(std::span<const QPoint> points, std::span<const size_t> ends)
{
    PixelTarget target(m_bitmap.pixels());
    target.setColor(m_state.penColor);
    LineRasteriser lines(target, m_pen, m_state.penStyle == PenStyle::Dotted);
    size_t begin = 0;
    for (const size_t end : ends) {
        lines.setPatternPhase(0);
        strokeEdges(lines, points.subspan(begin, end - begin), false);
        begin = end;
    }
    finish(target);
}

void RasterCanvas::polygon(std::span<const QPoint> points)
{
    fillPolygon(points);
    outline(points, true);
}

void RasterCanvas::fillPolygon(std::span<const QPoint> points)
{
    if (m_state.brushStyle != BrushStyle::Solid)
        return;
    PixelTarget target(m_bitmap.pixels());
    target.setColor(m_state.brushColor);
    m_filler.fill(target, points);
    finish(target);
}

void RasterCanvas::fillArea(PixelTarget &target, qint64 x1, qint64 y1, qint64 x2, qint64 y2)
{
    const qint64 top = qMax<qint64>(y1, 0);
    const qint64 bottom = qMin<qint64>(y2, target.height());
    const int left = int(std::clamp<qint64>(x1, -1, target.width()));
    const int right = int(std::clamp<qint64>(x2 - 1, -1, target.width()));
    for (qint64 y = top; y < bottom; ++y)
        target.span(left, right, int(y));
}

// A wide outline is a band centred on the 1-pixel outline, offsets lo .. hi from it, with
// square corners; an even width leans up-left like the round pen does. Width 2 on
// (1,1)-(5,5), whose 1-pixel outline is rows and columns 1 and 4:
//
//   #####.    row 0
//   #####.    row 1
//   ##.##.    row 2: the one pixel of fill inside
//   #####.    row 3
//   #####.    row 4
void RasterCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    if (x1 == x2 || y1 == y2)
        return;
    PixelTarget target(m_bitmap.pixels());
    if (m_state.brushStyle == BrushStyle::Solid) {
        target.setColor(m_state.brushColor);
        fillArea(target, x1, y1, x2, y2);
    }
    finish(target);
    const qint64 right = qint64(x2) - 1;
    const qint64 bottom = qint64(y2) - 1;
    if (m_state.penStyle == PenStyle::Dotted && m_state.penWidth == 1) {
        const QPoint corners[] = {
            {x1, y1}, {int(right), y1}, {int(right), int(bottom)}, {x1, int(bottom)}};
        outline(corners, true);
        return;
    }
    // In 64 bits: a corner may lie at the far end of the int range.
    const qint64 left = x1;
    const qint64 top = y1;
    const qint64 lo = -(m_state.penWidth / 2);
    const qint64 hi = (m_state.penWidth - 1) / 2;
    target.setColor(m_state.penColor);
    fillArea(target, left + lo, top + lo, right + hi + 1, top + hi + 1);       // top
    fillArea(target, left + lo, bottom + lo, right + hi + 1, bottom + hi + 1); // bottom
    fillArea(target, left + lo, top + lo, left + hi + 1, bottom + hi + 1);     // left
    fillArea(target, right + lo, top + lo, right + hi + 1, bottom + hi + 1);   // right
    finish(target);
}

void RasterCanvas::fillRect(int x1, int y1, int x2, int y2)
{
    if (m_state.brushStyle == BrushStyle::Clear)
        return;
    PixelTarget target(m_bitmap.pixels());
    target.setColor(m_state.brushColor);
    fillArea(target, x1, y1, x2, y2);
    finish(target);
}

QRect RasterCanvas::clipRect() const { return QRect(0, 0, m_bitmap.width(), m_bitmap.height()); }

void RasterCanvas::setPixel(int x, int y, ChartColor color)
{
    PixelTarget target(m_bitmap.pixels());
    target.setColor(color);
    target.pixel(x, y);
    finish(target);
}

QFont RasterCanvas::currentFont() const
{
    return ChartFonts::chartFont(m_state.fontName, m_state.fontSize,
                                 m_state.fontStyle == FontStyle::Bold);
}

int RasterCanvas::textWidth(const QString &text)
{
    return QFontMetrics(currentFont()).horizontalAdvance(text);
}

int RasterCanvas::textHeight(const QString &) { return QFontMetrics(currentFont()).height(); }

// Text is rendered as a mask with QPainter and copied in the font colour through the
// pixel target, so it lands the same way on 32-bit and palette charts.
void RasterCanvas::textOut(int x, int y, const QString &text)
{
    const QFont font = currentFont();
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.height();
    PixelTarget target(m_bitmap.pixels());
    if (m_state.brushStyle == BrushStyle::Solid) {
        target.setColor(m_state.brushColor);
        fillArea(target, x, y, qint64(x) + width, qint64(y) + height);
    }
    // Glyphs may overhang their advance, so the mask leaves room on both sides.
    const int margin = height;
    QImage mask(width + 2 * margin, height, QImage::Format_ARGB32_Premultiplied);
    if (!mask.isNull() && !text.isEmpty()) {
        mask.fill(Qt::transparent);
        QPainter painter(&mask);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(margin, metrics.ascent(), text);
        painter.end();
        target.setColor(m_state.fontColor);
        for (int my = 0; my < mask.height(); ++my) {
            const QRgb *row = reinterpret_cast<const QRgb *>(mask.constScanLine(my));
            for (int mx = 0; mx < mask.width(); ++mx)
                if (qAlpha(row[mx]) >= 128)
                    target.pixel(x + mx - margin, y + my);
        }
    }
    finish(target);
}

void RasterCanvas::draw(int x, int y, const QImage &picture)
{
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    PixelTarget target(m_bitmap.pixels());
    const QRect area = QRect(x, y, source.width(), source.height()).intersected(clipRect());
    for (int cy = area.top(); cy <= area.bottom(); ++cy) {
        const QRgb *row = reinterpret_cast<const QRgb *>(source.constScanLine(cy - y));
        for (int cx = area.left(); cx <= area.right(); ++cx) {
            const QRgb p = row[cx - x];
            if (qAlpha(p) < 128)
                continue; // transparent: the chart shows through
            target.setColor(fromQRgb(p));
            target.pixel(cx, cy);
        }
    }
    finish(target);
}

} // namespace brimlark
