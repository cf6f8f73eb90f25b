// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>

namespace brimlark
{

/// PNG pictures, through Qt's own reader and writer: lossless, so a chart keeps its exact
/// colours (a palette chart its palette).
class PngCodec
{
public:
    /// A 32-bit picture with the file's text chunks as its texts (QImage::text); a size
    /// beyond the chart limits is refused before the pixels are read, and a damaged file is
    /// "PNG image is not valid".
    static QImage decode(const QByteArray &bytes);
    /// The PNG file of a picture, with a text chunk for each key and text; an empty chart
    /// cannot be saved.
    static QByteArray encode(const QImage &image, const QMap<QString, QString> &texts = {});
};

} // namespace brimlark
