// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "formats/PngCodec.h"

#include "base/ChartError.h"
#include "base/ChartSize.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include <array>
#include <cstring>

namespace brimlark
{

namespace
{

// Qt refuses to allocate a picture of more than 128 MiB unless told otherwise, which stops
// at 5792 x 5792 pixels at 32 bits; every chart that can be saved must load again, up to the
// largest at 32 bits.
constexpr int AllocationLimitMiB = int(ChartSize::MaxPixels * 4 / (1024 * 1024));

// Whether every chunk up to IEND lies within the file: 8 bytes of signature, then chunks of a
// big-endian length, a 4-byte type, the data and a 4-byte CRC. libpng allocates a chunk's
// declared length before reading it, so a 2800-byte file declaring a text chunk of 1.9 GB
// took that much memory and seconds before it failed. A file cut short within a chunk
// header is left to libpng, which refuses it.
//
//   | signature 8 | length 4 | type 4 | data (length) | CRC 4 | length 4 | ...
bool chunksFit(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    qint64 at = 8;
    while (at + 8 <= bytes.size()) {
        const qint64 length = qFromBigEndian<quint32>(data + at);
        if (length + 12 > bytes.size() - at)
            return false;
        if (memcmp(data + at + 4, "IEND", 4) == 0)
            break;
        at += length + 12;
    }
    return true;
}

// The picture with a palette of its own colours, in the order they first appear, or a null
// picture when it has more than 256. Charts are large areas of a few colours, so most pixels
// repeat their left neighbour; the others are looked up in a small open-addressed table.
QImage withOwnPalette(const QImage &image)
{
    if (image.format() != QImage::Format_RGB32)
        return {};
    constexpr size_t Slots = 1024; // four times the most colours: short probe sequences
    constexpr quint32 Empty = 0;   // no key: every key has the alpha byte 0xFF set
    std::array<quint32, Slots> keys{};
    std::array<uchar, Slots> indices{};
    QList<QRgb> table;
    QImage indexed(image.size(), QImage::Format_Indexed8);
    if (indexed.isNull())
        return {};
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        const auto *source = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        uchar *target = indexed.scanLine(y);
        quint32 last = Empty;
        uchar lastIndex = 0;
        for (int x = 0; x < width; ++x) {
            const quint32 colour = source[x] | 0xFF000000u;
            if (colour != last) {
                size_t slot = (colour * 2654435761u) >> 22; // Fibonacci hashing to 10 bits
                while (keys[slot] != Empty && keys[slot] != colour)
                    slot = (slot + 1) % Slots;
                if (keys[slot] == Empty) {
                    if (table.size() == 256)
                        return {};
                    keys[slot] = colour;
                    indices[slot] = uchar(table.size());
                    table.append(colour);
                }
                last = colour;
                lastIndex = indices[slot];
            }
            target[x] = lastIndex;
        }
    }
    indexed.setColorTable(table);
    return indexed;
}

} // namespace

QImage PngCodec::decode(const QByteArray &bytes)
{
    // The limit is Qt's own, shared by every reader in the program; a picture larger than a
    // chart is refused by the size check below before anything is allocated.
    QImageReader::setAllocationLimit(AllocationLimitMiB);
    if (!chunksFit(bytes))
        throw ChartError(QStringLiteral("PNG image is not valid"));
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
    if (image.format() == QImage::Format_RGB32)
        return image;
    // The texts go with the pixels into the converted picture, which is not shared yet.
    QImage converted = image.convertToFormat(QImage::Format_RGB32);
    for (const QString &key : image.textKeys())
        converted.setText(key, image.text(key));
    return converted;
}

QByteArray PngCodec::encode(const QImage &image, const QMap<QString, QString> &texts, int level)
{
    if (image.isNull())
        throw ChartError(QStringLiteral("An empty chart cannot be saved as a PNG picture"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Qt's PNG writer takes the zlib level as a quality: 100 - q percent of 9, rounded down.
    writer.setQuality(100 - (level * 91 + 8) / 9);
    for (auto text = texts.begin(); text != texts.end(); ++text)
        writer.setText(text.key(), text.value());
    const QImage indexed = withOwnPalette(image);
    if (!writer.write(indexed.isNull() ? image : indexed))
        throw ChartError(
            QStringLiteral("Cannot write a PNG picture: %1").arg(writer.errorString()));
    return bytes;
}

} // namespace brimlark
