// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ChartColor.h"
#include "canvas/ChartBitmap.h"

#include <QString>

#include <map>

namespace brimlark
{

/// Pixel-test helpers: a chart filled with a sentinel colour, and pictures of a chart as
/// rows of characters, so a test can state the pixels it expects as a small drawing.
class Pixels
{
public:
    /// A colour that no drawing in the tests uses.
    static constexpr ChartColor Sentinel = 0x00563412;

    /// A 32-bit chart of that size filled with the sentinel.
    static ChartBitmap sentinelChart(int width, int height);
    /// One line per row: '.' for the sentinel, the legend's character for its colours and
    /// '?' for any other colour. Rows are joined with '\n'.
    static QString art(const QImage &image, const std::map<ChartColor, char> &legend);
    /// The rows of an expected picture joined with '\n'.
    static QString rows(std::initializer_list<const char *> rows);
    /// The smallest rectangle holding every pixel that is not the sentinel.
    static QRect changedArea(const QImage &image);
    /// A 32-bit picture of that size in one colour.
    static QImage plain(int width, int height, QRgb colour);
    /// Whether any pixel of the area (the whole image when null) has the colour.
    static bool contains(const QImage &image, ChartColor colour, QRect area = {});
    /// How many pixels differ between two pictures of one size (all of them when the sizes
    /// differ).
    static qint64 differenceCount(const QImage &first, const QImage &second);
    /// The colour of one pixel.
    static ChartColor at(const QImage &image, int x, int y);
};

} // namespace brimlark
