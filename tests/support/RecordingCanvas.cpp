// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "support/RecordingCanvas.h"

#include "canvas/ChartFonts.h"

namespace brimlark
{

RecordingCanvas::RecordingCanvas(int width, int height) : m_width(width), m_height(height) {}

QString RecordingCanvas::colorText(ChartColor color)
{
    return QStringLiteral("#%1%2%3")
        .arg(color & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((color >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((color >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString RecordingCanvas::pointsText(std::span<const QPoint> points)
{
    QStringList parts;
    for (const QPoint &p : points)
        parts.append(QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y()));
    return parts.join(u' ');
}

QStringList RecordingCanvas::callsOf(const QStringList &words) const
{
    QStringList matching;
    for (const QString &call : m_calls)
        if (words.contains(call.section(u' ', 0, 0)))
            matching.append(call);
    return matching;
}

void RecordingCanvas::setPenColor(ChartColor color)
{
    m_state.penColor = color;
    record(QStringLiteral("penColor ") + colorText(color));
}

void RecordingCanvas::setPenWidth(int width)
{
    m_state.penWidth = qMax(width, 1);
    record(QStringLiteral("penWidth %1").arg(width));
}

void RecordingCanvas::setPenStyle(PenStyle style)
{
    m_state.penStyle = style;
    record(style == PenStyle::Solid ? QStringLiteral("penStyle solid")
                                    : QStringLiteral("penStyle dotted"));
}

void RecordingCanvas::setBrushColor(ChartColor color)
{
    m_state.brushColor = color;
    record(QStringLiteral("brushColor ") + colorText(color));
}

void RecordingCanvas::setBrushStyle(BrushStyle style)
{
    m_state.brushStyle = style;
    record(style == BrushStyle::Solid ? QStringLiteral("brushStyle solid")
                                      : QStringLiteral("brushStyle clear"));
}

void RecordingCanvas::setFontName(const QString &name)
{
    m_state.fontName = name;
    record(QStringLiteral("fontName ") + name);
}

void RecordingCanvas::setFontSize(int points)
{
    m_state.fontSize = points;
    record(QStringLiteral("fontSize %1").arg(points));
}

void RecordingCanvas::setFontColor(ChartColor color)
{
    m_state.fontColor = color;
    record(QStringLiteral("fontColor ") + colorText(color));
}

void RecordingCanvas::setFontStyle(FontStyle style)
{
    m_state.fontStyle = style;
    record(style == FontStyle::Bold ? QStringLiteral("fontStyle bold")
                                    : QStringLiteral("fontStyle regular"));
}

void RecordingCanvas::moveTo(int x, int y)
{
    m_state.position = QPoint(x, y);
    record(QStringLiteral("moveTo %1 %2").arg(x).arg(y));
}

void RecordingCanvas::lineTo(int x, int y)
{
    m_state.position = QPoint(x, y);
    record(QStringLiteral("lineTo %1 %2").arg(x).arg(y));
}

void RecordingCanvas::polyline(std::span<const QPoint> points)
{
    record(QStringLiteral("polyline ") + pointsText(points));
}

void RecordingCanvas::polygon(std::span<const QPoint> points)
{
    record(QStringLiteral("polygon ") + pointsText(points));
}

void RecordingCanvas::fillPolygon(std::span<const QPoint> points)
{
    record(QStringLiteral("fillPolygon ") + pointsText(points));
}

void RecordingCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    record(QStringLiteral("rectangle %1 %2 %3 %4").arg(x1).arg(y1).arg(x2).arg(y2));
}

void RecordingCanvas::fillRect(int x1, int y1, int x2, int y2)
{
    record(QStringLiteral("fillRect %1 %2 %3 %4").arg(x1).arg(y1).arg(x2).arg(y2));
}

void RecordingCanvas::setPixel(int x, int y, ChartColor color)
{
    record(QStringLiteral("setPixel %1 %2 ").arg(x).arg(y) + colorText(color));
}

void RecordingCanvas::textOut(int x, int y, const QString &text)
{
    record(QStringLiteral("textOut %1 %2 ").arg(x).arg(y) + text);
}

int RecordingCanvas::textWidth(const QString &text)
{
    return int(text.size()) * (ChartFonts::pixelSize(m_state.fontSize) / 2);
}

int RecordingCanvas::textHeight(const QString &) { return ChartFonts::pixelSize(m_state.fontSize); }

void RecordingCanvas::draw(int x, int y, const QImage &picture)
{
    record(QStringLiteral("draw %1 %2 %3x%4")
               .arg(x)
               .arg(y)
               .arg(picture.width())
               .arg(picture.height()));
}

} // namespace brimlark
