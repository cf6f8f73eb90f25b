// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "formats/PngCodec.h"

#include "base/ChartError.h"
#include "base/ChartSize.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

namespace brimlark
{

namespace
{

// Qt refuses to allocate a picture of more than 128 MiB unless told otherwise, which stops
// at 5792 x 5792 pixels at 32 bits; every chart that can be saved must load again, up to the
// largest at 32 bits.
constexpr int AllocationLimitMiB = int(ChartSize::MaxPixels * 4 / (1024 * 1024));

} // namespace

QImage PngCodec::decode(const QByteArray &bytes)
{
    // The limit is Qt's own, shared by every reader in the program; a picture larger than a
    // chart is refused by the size check below before anything is allocated.
    QImageReader::setAllocationLimit(AllocationLimitMiB);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    // Without this, Qt hands data that is not PNG to whichever of its readers knows the
    // format (GIF, BMP, ICO ...), none of them held to the checks of our own readers.
    reader.setAutoDetectImageFormat(false);
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
