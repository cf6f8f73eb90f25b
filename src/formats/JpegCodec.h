// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMap>
#include <QString>

namespace brimlark
{

/// JPEG pictures through libjpeg: full-size 24-bit colour decoding and baseline colour
/// encoding with the library's defaults. Failures are "JPEG error #%d" with the library's
/// message code; a file that ends early is refused rather than shown half grey, and so is
/// a file too small for the size its header declares, before anything that size is made.
class JpegCodec
{
public:
    /// The picture as Format_RGB32; the size message for a picture over the chart limits.
    /// A comment "Key: text" (in UTF-8) becomes the picture's text under Key (QImage::text).
    static QImage decode(const QByteArray &bytes);
    /// A baseline colour JPEG of the image at a quality of 1 to 100, with a comment
    /// "Key: text" for each key and text.
    static QByteArray encode(const QImage &image, int quality,
                             const QMap<QString, QString> &texts = {});
    /// The quality a JPEGComp text asks for: trimmed and converted strictly (else "'%s' is
    /// not a valid integer value"); 0 and below act as 1, above 100 as 100.
    static int qualityOf(const QString &jpegComp);
};

} // namespace brimlark
