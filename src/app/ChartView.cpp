// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/ChartView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace brimlark
{

namespace
{

// A handle: a 7 by 7 square centred on its point, outline included.
QRect handleRect(QPointF at) { return QRect(at.toPoint() - QPoint(3, 3), QSize(6, 6)); }

} // namespace

ChartView::ChartView(ChartBitmap &chart, QWidget *parent) : QWidget(parent), m_chart(chart)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the status line follows the cursor over the globe
    // A click on the chart takes the keys from a field, so that the keys of the drawing and
    // of the selection (Delete above all) act on the chart and not on the field's text.
    setFocusPolicy(Qt::ClickFocus);
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
    painter.setPen(Qt::black);
    for (size_t i = 0; i < m_handles.size(); ++i) {
        painter.setBrush(m_currentHandle == i ? Qt::black : Qt::white);
        painter.drawRect(handleRect(m_handles[i]));
    }
}

void ChartView::setHandles(const std::vector<QPointF> &points, std::optional<size_t> current)
{
    if (points == m_handles && current == m_currentHandle)
        return;
    const QRegion before = handleArea();
    m_handles = points;
    m_currentHandle = current;
    update(before + handleArea());
}

QRegion ChartView::handleArea() const
{
    QRegion area;
    for (const QPointF &p : m_handles)
        area += handleRect(p).adjusted(0, 0, 1, 1); // the outline's right and bottom edges
    return area;
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit pressed(event->button(), event->buttons(), event->modifiers(), at.x(), at.y());
}

void ChartView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit doubleClicked(event->button(), event->buttons(), event->modifiers(), at.x(), at.y());
}

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (event->buttons() != Qt::NoButton)
        emit dragged(event->buttons(), at.x(), at.y());
    emit hovered(at.x(), at.y());
}

void ChartView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit released(event->button(), at.x(), at.y());
}

void ChartView::leaveEvent(QEvent *) { emit left(); }

} // namespace brimlark
