// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "canvas/ChartBitmap.h"

#include <QWidget>

namespace brimlark
{

/// The chart image control: shows the chart bitmap one pixel per pixel and reports presses.
class ChartView : public QWidget
{
    Q_OBJECT
public:
    explicit ChartView(ChartBitmap &chart, QWidget *parent = nullptr);

    /// Takes the chart's size and repaints what changed since the last refresh.
    void refresh();

signals:
    /// A mouse press at a chart pixel; buttons holds every button down, the pressed one too.
    void pressed(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                 int x, int y);
    /// The mouse is over a chart pixel.
    void hovered(int x, int y);
    /// The mouse has left the chart.
    void left();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    ChartBitmap &m_chart;
};

} // namespace brimlark
