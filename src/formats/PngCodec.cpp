// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "formats/PngCodec.h"

#include "base/ChartError.h"
#include "base/ChartSize.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

namespace brimlark
{

QImage PngCodec::decode(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid())
        throw ChartError(QStringLiteral("PNG image is not valid"));
    ChartSize::check(size.width(), size.height());
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        throw ChartError(QStringLiteral("PNG image is not valid"));
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray PngCodec::encode(const QImage &image)
{
    if (image.isNull())
        throw ChartError(QStringLiteral("An empty chart cannot be saved as a PNG picture"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw ChartError(
            QStringLiteral("Cannot write a PNG picture: %1").arg(writer.errorString()));
    return bytes;
}

} // namespace brimlark
