// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>

namespace brimlark
{

/// PNG pictures, read through Qt's own reader and written with zlib (a chart of many colours
/// through Qt's writer): lossless, so a chart keeps its exact colours (a palette chart its
/// palette).
class PngCodec
{
public:
    /// A 32-bit picture with the file's text chunks as its texts (QImage::text); a size
    /// beyond the chart limits is refused before the pixels are read, and a damaged file is
    /// "PNG image is not valid".
    static QImage decode(const QByteArray &bytes);
    /// The zlib level of the files written, chosen for speed (see bench/README.md); the rows
    /// of a chart of few colours are compressed as runs, which every level above 0 finds
    /// alike.
    static constexpr int CompressionLevel = 1;

    /// The PNG file of a picture, with a text chunk for each key and text; an empty chart
    /// cannot be saved. A picture of at most 256 colours is written with a palette of its
    /// own colours, 8 bits a pixel: the same pixels when read back, in a quarter of the data,
    /// made a row at a time from the picture's own memory.
    static QByteArray encode(const QImage &image, const QMap<QString, QString> &texts = {},
                             int level = CompressionLevel);
};

} // namespace brimlark
