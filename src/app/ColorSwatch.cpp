// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace brimlark
{

ColorSwatch::ColorSwatch(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void ColorSwatch::setColor(ChartColor color)
{
    m_color = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(toQRgb(m_color)));
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorSwatch::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit pressed();
}

} // namespace brimlark
