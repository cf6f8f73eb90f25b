// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "canvas/PixelTarget.h"

#include <climits>

namespace brimlark
{

PixelTarget::PixelTarget(QImage &image)
    : m_bits(image.isNull() ? nullptr : image.bits()), m_stride(image.bytesPerLine()),
      m_width(image.width()), m_height(image.height()),
      m_indexed(image.format() == QImage::Format_Indexed8)
{
    if (m_indexed)
        m_table = image.colorTable();
    takeTouched();
}

uint PixelTarget::nearestIndex(const QVector<QRgb> &table, QRgb rgb)
{
    uint best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < table.size(); ++i) {
        const int dr = qRed(table[i]) - qRed(rgb);
        const int dg = qGreen(table[i]) - qGreen(rgb);
        const int db = qBlue(table[i]) - qBlue(rgb);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = uint(i);
        }
    }
    return best;
}

void PixelTarget::setColor(ChartColor color)
{
    if (m_hasColor && color == m_color)
        return;
    m_hasColor = true;
    m_color = color;
    m_value = m_indexed ? nearestIndex(m_table, toQRgb(color)) : toQRgb(color);
}

void PixelTarget::span(int x0, int x1, int y)
{
    if (y < 0 || y >= m_height)
        return;
    x0 = qMax(x0, 0);
    x1 = qMin(x1, m_width - 1);
    if (x0 > x1)
        return;
    touch(x0, x1, y);
    spanOnImage(x0, x1, y);
}

QRect PixelTarget::takeTouched()
{
    QRect touched;
    if (m_minX <= m_maxX)
        touched = QRect(QPoint(m_minX, m_minY), QPoint(m_maxX, m_maxY));
    m_minX = m_minY = INT_MAX;
    m_maxX = m_maxY = INT_MIN;
    return touched;
}

} // namespace brimlark
