// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "formats/PngCodec.h"

#include "base/ChartError.h"
#include "base/ChartSize.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <initializer_list>
#include <vector>

#include <zlib.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// The end of the run of pixels equal to the value from x on: four pixels compared at a time
// where the processor has SSE2 (every x86-64 one), then one at a time.
int runEnd(const QRgb *row, int x, int width, QRgb value)
{
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi32(int(value));
    for (; x + 4 <= width; x += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + x));
        const unsigned equal = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi32(four, wanted)));
        if (equal != 0xFFFFu)
            return x + std::countr_one(equal) / 4;
    }
#endif
    while (x < width && row[x] == value)
        ++x;
    return x;
}

// The colours of a picture in the order they first appear, up to 256, each with its index,
// collected while its rows are indexed. Charts are long runs of a few colours: the runs are
// found four pixels at a time, and the colour of each is looked up in a small
// open-addressed table.
class OwnPalette
{
public:
    const QList<QRgb> &colours() const { return m_colours; }
    // Whether every colour is a grey, which Qt's writer stores as a grey picture instead.
    bool isGrey() const
    {
        return std::all_of(m_colours.begin(), m_colours.end(), [](QRgb c) { return qIsGray(c); });
    }
    // The indices of a row of 32-bit pixels, its new colours added; false when the palette
    // would take a 257th colour.
    bool indexRow(const QRgb *source, int width, uchar *target)
    {
        for (int x = 0; x < width;) {
            const int end = runEnd(source, x + 1, width, source[x]);
            const quint32 colour = source[x] | Opaque;
            const size_t slot = slotOf(colour);
            if (m_keys[slot] == Empty) {
                if (m_colours.size() == 256)
                    return false;
                m_keys[slot] = colour;
                m_indices[slot] = uchar(m_colours.size());
                m_colours.append(colour);
            }
            memset(target + x, m_indices[slot], size_t(end - x));
            x = end;
        }
        return true;
    }

private:
    static constexpr size_t Slots = 1024; // four times the most colours: short probe sequences
    static constexpr quint32 Empty = 0;   // no key: every key has the alpha byte 0xFF set
    // A 32-bit chart's alpha byte means nothing; a colour is its other three.
    static constexpr quint32 Opaque = 0xFF000000u;

    // The slot of a colour, or the empty one where it would go.
    size_t slotOf(quint32 colour) const
    {
        size_t slot = (colour * 2654435761u) >> 22; // Fibonacci hashing to 10 bits
        while (m_keys[slot] != Empty && m_keys[slot] != colour)
            slot = (slot + 1) % Slots;
        return slot;
    }

    std::array<quint32, Slots> m_keys{};
    std::array<uchar, Slots> m_indices{};
    QList<QRgb> m_colours;
};

// The picture with a palette of its own colours as an 8-bit one, for Qt's writer; a null
// picture when it is not a 32-bit one or has more than 256 colours.
QImage indexedCopy(const QImage &image)
{
    if (image.format() != QImage::Format_RGB32)
        return {};
    QImage indexed(image.size(), QImage::Format_Indexed8);
    if (indexed.isNull())
        return {};
    OwnPalette palette;
    for (int y = 0; y < image.height(); ++y)
        if (!palette.indexRow(reinterpret_cast<const QRgb *>(image.constScanLine(y)), image.width(),
                              indexed.scanLine(y)))
            return {};
    indexed.setColorTable(palette.colours());
    return indexed;
}

// Whether Qt's writer stores the texts as they are, each in a plain text chunk (tEXt): a
// key of printable Latin-1 letters without spaces or colons, a value of printable Latin-1
// characters shorter than 40 with single spaces only. Qt's writer compresses a longer value,
// writes other characters as UTF-8 and changes the spaces, so such texts are left to it.
bool arePlainTexts(const QMap<QString, QString> &texts)
{
    const auto printable = [](QChar c) {
        return c.unicode() >= 0x20
               && (c.unicode() <= 0x7E || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF));
    };
    for (auto text = texts.begin(); text != texts.end(); ++text) {
        const QString &key = text.key();
        const QString &value = text.value();
        if (key.isEmpty() || value.isEmpty() || key.size() > 79
            || !std::all_of(key.begin(), key.end(), printable) || key.contains(u' ')
            || key.contains(u':') || value.size() >= 40 || value != value.simplified()
            || !std::all_of(value.begin(), value.end(), printable))
            return false;
    }
    return true;
}

// The resolution Qt gives a new picture, which its writer stored with the 8-bit copy of a
// chart.
QSize defaultDotsPerMeter()
{
    const QImage probe(1, 1, QImage::Format_Indexed8);
    return {probe.dotsPerMeterX(), probe.dotsPerMeterY()};
}

// Appends a chunk: the length of its data (big-endian), its type, the data, and the CRC of
// type and data.
//
//   | length 4 | type 4 | data (length) | CRC 4 |
void appendChunk(QByteArray &file, const char *type, const uchar *data, size_t size)
{
    uchar head[8];
    qToBigEndian(quint32(size), head);
    memcpy(head + 4, type, 4);
    file.append(reinterpret_cast<const char *>(head), sizeof head);
    file.append(reinterpret_cast<const char *>(data), qsizetype(size));
    // zlib takes a null buffer as a request for the starting value, so an empty chunk's CRC
    // is the type's alone.
    uLong crc = crc32(0, head + 4, 4);
    if (size > 0)
        crc = crc32(crc, data, uInt(size));
    uchar tail[4];
    qToBigEndian(quint32(crc), tail);
    file.append(reinterpret_cast<const char *>(tail), sizeof tail);
}

void appendChunk(QByteArray &file, const char *type, const QByteArray &data)
{
    appendChunk(file, type, reinterpret_cast<const uchar *>(data.constData()), size_t(data.size()));
}

QByteArray bigEndian(std::initializer_list<quint32> values)
{
    QByteArray bytes;
    for (const quint32 value : values) {
        uchar word[4];
        qToBigEndian(value, word);
        bytes.append(reinterpret_cast<const char *>(word), sizeof word);
    }
    return bytes;
}

// A zlib stream for compressing, ended however its owner leaves.
class Deflater
{
public:
    // Rows that repeat the row above become runs of zeros once filtered, and charts are
    // runs of one colour across: zlib's run-length matching (Z_RLE) finds them at a fraction
    // of the cost of its general search and in less space (bench/README.md).
    explicit Deflater(int level)
        : m_ready(deflateInit2(&m_stream, level, Z_DEFLATED, 15, 8, Z_RLE) == Z_OK)
    {
    }
    ~Deflater()
    {
        if (m_ready)
            deflateEnd(&m_stream);
    }
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;

    bool isReady() const { return m_ready; }
    z_stream &stream() { return m_stream; }

private:
    z_stream m_stream{};
    bool m_ready;
};

// The pixels of a 32-bit picture as PNG's compressed image data in IDAT chunks of up to
// 64 KiB, made a row at a time from the picture's own memory: the indices of the row in its
// palette, each less the one above it (PNG's filter "Up"), handed to zlib. The palette is
// made on the way, so the chunks are kept apart until it is known. False when the picture
// has more than 256 colours or zlib cannot start.
bool compressRows(const QImage &image, int level, OwnPalette &palette, QByteArray &chunks)
{
    Deflater deflater(level);
    if (!deflater.isReady())
        return false;
    z_stream &z = deflater.stream();
    const int width = image.width();
    const int height = image.height();
    std::vector<uchar> above(size_t(width), 0);
    std::vector<uchar> row(static_cast<size_t>(width));
    std::vector<uchar> filtered(size_t(width) + 1);
    filtered[0] = 2; // Up
    std::vector<uchar> out(64 * 1024);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    for (int y = 0; y < height; ++y) {
        if (!palette.indexRow(reinterpret_cast<const QRgb *>(image.constScanLine(y)), width,
                              row.data()))
            return false;
        uchar *difference = filtered.data() + 1;
        for (int x = 0; x < width; ++x)
            difference[x] = uchar(row[size_t(x)] - above[size_t(x)]);
        above.swap(row);
        z.next_in = filtered.data();
        z.avail_in = uInt(filtered.size());
        const int flush = y + 1 < height ? Z_NO_FLUSH : Z_FINISH;
        int status = Z_OK;
        do {
            status = deflate(&z, flush);
            if (status == Z_STREAM_ERROR)
                return false;
            if (z.avail_out == 0 || status == Z_STREAM_END) {
                appendChunk(chunks, "IDAT", out.data(), out.size() - z.avail_out);
                z.next_out = out.data();
                z.avail_out = uInt(out.size());
            }
        } while (flush == Z_FINISH ? status != Z_STREAM_END : z.avail_in > 0);
    }
    return true;
}

// The palette PNG of a picture: signature, header, palette, resolution, texts, the image
// data, end, the chunks Qt's writer wrote for it.
QByteArray paletteFile(const QImage &image, const OwnPalette &palette,
                       const QMap<QString, QString> &texts, const QByteArray &imageData)
{
    QByteArray file("\x89PNG\r\n\x1a\n", 8);
    file.reserve(imageData.size() + 4096); // the other chunks: a palette and plain texts
    QByteArray header = bigEndian({quint32(image.width()), quint32(image.height())});
    header.append("\x08\x03\x00\x00\x00", 5); // 8 bits a pixel, palette, no interlace
    appendChunk(file, "IHDR", header);
    QByteArray colours;
    for (const QRgb c : palette.colours())
        colours.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    appendChunk(file, "PLTE", colours);
    const QSize dotsPerMeter = defaultDotsPerMeter();
    appendChunk(file, "pHYs",
                bigEndian({quint32(dotsPerMeter.width()), quint32(dotsPerMeter.height())})
                    + '\x01'); // per metre
    for (auto text = texts.begin(); text != texts.end(); ++text)
        appendChunk(file, "tEXt", text.key().toLatin1() + '\0' + text.value().toLatin1());
    file += imageData;
    appendChunk(file, "IEND", nullptr, 0);
    return file;
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
    if (image.format() == QImage::Format_RGB32 && arePlainTexts(texts)) {
        OwnPalette palette;
        QByteArray imageData;
        if (compressRows(image, level, palette, imageData) && !palette.isGrey())
            return paletteFile(image, palette, texts, imageData);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Qt's PNG writer takes the zlib level as a quality: 100 - q percent of 9, rounded down.
    writer.setQuality(100 - (level * 91 + 8) / 9);
    for (auto text = texts.begin(); text != texts.end(); ++text)
        writer.setText(text.key(), text.value());
    const QImage indexed = indexedCopy(image);
    if (!writer.write(indexed.isNull() ? image : indexed))
        throw ChartError(
            QStringLiteral("Cannot write a PNG picture: %1").arg(writer.errorString()));
    return bytes;
}

} // namespace brimlark
