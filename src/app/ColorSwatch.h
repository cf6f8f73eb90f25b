// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ChartColor.h"

#include <QWidget>

namespace brimlark
{

/// A filled rectangle showing a colour preference. It takes no keyboard focus; a press of
/// any mouse button asks for a new colour.
class ColorSwatch : public QWidget
{
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    ChartColor color() const { return m_color; }
    void setColor(ChartColor color);

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    ChartColor m_color = 0;
};

} // namespace brimlark
