// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "support/Pixels.h"

#include <algorithm>

namespace brimlark
{

ChartBitmap Pixels::sentinelChart(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(toQRgb(Sentinel));
    ChartBitmap chart;
    chart.assign(image, 0);
    return chart;
}

ChartColor Pixels::at(const QImage &image, int x, int y) { return fromQRgb(image.pixel(x, y)); }

QString Pixels::art(const QImage &image, const std::map<ChartColor, char> &legend)
{
    QStringList lines;
    for (int y = 0; y < image.height(); ++y) {
        QString line;
        for (int x = 0; x < image.width(); ++x) {
            const ChartColor c = at(image, x, y);
            const auto found = legend.find(c);
            line += c == Sentinel ? u'.' : found != legend.end() ? QChar(found->second) : u'?';
        }
        lines.append(line);
    }
    return lines.join(u'\n');
}

QString Pixels::rows(std::initializer_list<const char *> rows)
{
    QStringList lines;
    for (const char *row : rows)
        lines.append(QString::fromLatin1(row));
    return lines.join(u'\n');
}

QRect Pixels::changedArea(const QImage &image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) != Sentinel)
                area |= QRect(x, y, 1, 1);
    return area;
}

QImage Pixels::plain(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool Pixels::contains(const QImage &image, ChartColor colour, QRect area)
{
    area = area.isNull() ? image.rect() : area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == toQRgb(colour))
                return true;
    return false;
}

qint64 Pixels::differenceCount(const QImage &first, const QImage &second)
{
    if (first.size() != second.size())
        return qint64(std::max(first.width(), second.width()))
               * std::max(first.height(), second.height());
    qint64 count = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x)
            count += first.pixel(x, y) != second.pixel(x, y);
    }
    return count;
}

} // namespace brimlark
