// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ChartColor.h"

#include <QImage>
#include <QRect>
#include <QVector>

#include <algorithm>
#include <cstring>

namespace brimlark
{

/// Writes one colour into a chart image, clipped to it. On a palette image the colour
/// becomes the nearest palette entry. Remembers the rectangle it touched.
class PixelTarget
{
public:
    explicit PixelTarget(QImage &image);

    int width() const { return m_width; }
    int height() const { return m_height; }
    /// Chooses the colour of the following writes.
    void setColor(ChartColor color);
    /// One pixel; outside the image nothing happens.
    void pixel(int x, int y)
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return;
        touch(x, x, y);
        pixelOnImage(x, y);
    }
    /// The pixels x0 .. x1 of row y, both included, clipped.
    void span(int x0, int x1, int y);

    /// Writes without the clipping and the record of what was touched, for drawers that
    /// have proved their pixels lie on the image and report them with touchRect() themselves.
    void pixelOnImage(int x, int y)
    {
        uchar *row = m_bits + qsizetype(y) * m_stride;
        if (m_indexed)
            row[x] = uchar(m_value);
        else
            reinterpret_cast<QRgb *>(row)[x] = m_value;
    }
    void spanOnImage(int x0, int x1, int y)
    {
        uchar *row = m_bits + qsizetype(y) * m_stride;
        if (m_indexed)
            memset(row + x0, int(m_value), size_t(x1 - x0 + 1));
        else
            std::fill(reinterpret_cast<QRgb *>(row) + x0, reinterpret_cast<QRgb *>(row) + x1 + 1,
                      m_value);
    }
    /// Adds the rectangle x0 .. x1 by y0 .. y1 (both included) to what was touched.
    void touchRect(int x0, int y0, int x1, int y1)
    {
        touch(x0, x1, y0);
        touch(x0, x1, y1);
    }

    /// Everything written since construction or the last takeTouched.
    QRect takeTouched();

    /// The palette entry nearest to a colour (squared RGB distance, lowest index on a tie).
    static uint nearestIndex(const QVector<QRgb> &table, QRgb rgb);

private:
    void touch(int x0, int x1, int y)
    {
        m_minX = qMin(m_minX, x0);
        m_maxX = qMax(m_maxX, x1);
        m_minY = qMin(m_minY, y);
        m_maxY = qMax(m_maxY, y);
    }

    uchar *m_bits;
    qsizetype m_stride;
    int m_width;
    int m_height;
    bool m_indexed;
    QVector<QRgb> m_table;
    bool m_hasColor = false;
    ChartColor m_color = 0;
    quint32 m_value = 0xFF000000u;
    int m_minX, m_maxX, m_minY, m_maxY;
};

} // namespace brimlark
