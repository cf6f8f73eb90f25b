// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/ChartView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace brimlark
{

ChartView::ChartView(ChartBitmap &chart, QWidget *parent) : QWidget(parent), m_chart(chart)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the status line follows the cursor over the globe
}

void ChartView::refresh()
{
    const QSize size(m_chart.width(), m_chart.height());
    if (this->size() != size) {
        setFixedSize(size);
        update();
    } else if (!m_chart.dirtyRect().isEmpty()) {
        update(m_chart.dirtyRect());
    }
    m_chart.clearDirty();
}

void ChartView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect().intersected(QRect(0, 0, m_chart.width(), m_chart.height()));
    if (area.isEmpty())
        return;
    if (m_chart.paletteBits())
        painter.drawImage(area.topLeft(),
                          m_chart.image().copy(area).convertToFormat(QImage::Format_RGB32));
    else
        painter.drawImage(area, m_chart.image(), area);
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit pressed(event->button(), event->buttons(), event->modifiers(), at.x(), at.y());
}

// The second press of a double click is a press like any other.
void ChartView::mouseDoubleClickEvent(QMouseEvent *event) { mousePressEvent(event); }

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit hovered(at.x(), at.y());
}

void ChartView::leaveEvent(QEvent *) { emit left(); }

} // namespace brimlark
