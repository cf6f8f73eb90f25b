// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "canvas/ChartCanvas.h"

#include <QStringList>

namespace brimlark
{

/// A canvas that draws nothing and logs every call as one line of text, for example
/// "penWidth 2", "penColor #000088", "moveTo 10 20", "polygon (100,100) (120,100) (110,80)".
/// Colours are written #RRGGBB. Text metrics are fixed so that tests do not depend on
/// fonts: a text is (pixel size / 2) pixels wide per character and (pixel size) high.
class RecordingCanvas : public ChartCanvas
{
public:
    explicit RecordingCanvas(int width = 800, int height = 600);

    /// Every call so far, one per line.
    const QStringList &calls() const { return m_calls; }
    /// The calls joined with "; ".
    QString log() const { return m_calls.join(QStringLiteral("; ")); }
    /// Only the calls that start with one of the given words.
    QStringList callsOf(const QStringList &words) const;
    void clear() { m_calls.clear(); }

    void setPenColor(ChartColor color) override;
    void setPenWidth(int width) override;
    void setPenStyle(PenStyle style) override;
    void setBrushColor(ChartColor color) override;
    void setBrushStyle(BrushStyle style) override;
    void setFontName(const QString &name) override;
    void setFontSize(int points) override;
    void setFontColor(ChartColor color) override;
    void setFontStyle(FontStyle style) override;
    const CanvasState &state() const override { return m_state; }

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void polyline(std::span<const QPoint> points) override;
    void polygon(std::span<const QPoint> points) override;
    void fillPolygon(std::span<const QPoint> points) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void fillRect(int x1, int y1, int x2, int y2) override;
    QRect clipRect() const override { return QRect(0, 0, m_width, m_height); }
    void setPixel(int x, int y, ChartColor color) override;
    void textOut(int x, int y, const QString &text) override;
    int textWidth(const QString &text) override;
    int textHeight(const QString &text) override;
    void draw(int x, int y, const QImage &picture) override;

    /// A colour as the log writes it.
    static QString colorText(ChartColor color);

private:
    void record(const QString &call) { m_calls.append(call); }
    static QString pointsText(std::span<const QPoint> points);

    int m_width;
    int m_height;
    CanvasState m_state;
    QStringList m_calls;
};

} // namespace brimlark
