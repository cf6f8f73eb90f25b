// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "canvas/ChartBitmap.h"

#include <QPointF>
#include <QRegion>
#include <QWidget>

#include <optional>
#include <vector>

namespace brimlark
{

/// The chart image control: shows the chart bitmap one pixel per pixel, with the handles of a
/// selection over it, and reports what the mouse does on it.
class ChartView : public QWidget
{
    Q_OBJECT
public:
    explicit ChartView(ChartBitmap &chart, QWidget *parent = nullptr);

    /// Takes the chart's size and repaints what changed since the last refresh.
    void refresh();
    /// Handles at chart points, drawn over the chart on the screen only (the chart bitmap
    /// never holds them); the current one filled.
    void setHandles(const std::vector<QPointF> &points, std::optional<size_t> current);

signals:
    /// A mouse press at a chart pixel; buttons holds every button down, the pressed one too.
    void pressed(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                 int x, int y);
    /// The second press of a double click.
    void doubleClicked(Qt::MouseButton button, Qt::MouseButtons buttons,
                       Qt::KeyboardModifiers modifiers, int x, int y);
    /// The mouse moved to a chart pixel with buttons held.
    void dragged(Qt::MouseButtons buttons, int x, int y);
    /// A mouse button went up at a chart pixel.
    void released(Qt::MouseButton button, int x, int y);
    /// The mouse is over a chart pixel.
    void hovered(int x, int y);
    /// The mouse has left the chart.
    void left();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QRegion handleArea() const;

    ChartBitmap &m_chart;
    std::vector<QPointF> m_handles;
    std::optional<size_t> m_currentHandle;
};

} // namespace brimlark
