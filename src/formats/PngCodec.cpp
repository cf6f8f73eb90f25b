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
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include <png.h>

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

// The colours of a picture in the order they first appear, up to 256, each with its index.
// Charts are large areas of a few colours, so most pixels repeat their left neighbour; the
// others are looked up in a small open-addressed table.
class OwnPalette
{
public:
    // False when the picture is not a 32-bit one or has more than 256 colours.
    bool collect(const QImage &image)
    {
        if (image.format() != QImage::Format_RGB32)
            return false;
        for (int y = 0; y < image.height(); ++y) {
            const auto *source = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            quint32 last = Empty;
            for (int x = 0; x < image.width(); ++x) {
                const quint32 colour = source[x] | 0xFF000000u;
                if (colour == last)
                    continue;
                size_t slot = slotOf(colour);
                if (m_keys[slot] == Empty) {
                    if (m_colours.size() == 256)
                        return false;
                    m_keys[slot] = colour;
                    m_indices[slot] = uchar(m_colours.size());
                    m_colours.append(colour);
                }
                last = colour;
            }
        }
        return true;
    }
    const QList<QRgb> &colours() const { return m_colours; }
    // Whether every colour is a grey, which Qt's writer stores as a grey picture instead.
    bool isGrey() const
    {
        return std::all_of(m_colours.begin(), m_colours.end(), [](QRgb c) { return qIsGray(c); });
    }
    // The indices of a row of the collected picture.
    void indexRow(const QRgb *source, int width, uchar *target) const
    {
        quint32 last = Empty;
        uchar lastIndex = 0;
        for (int x = 0; x < width; ++x) {
            const quint32 colour = source[x] | 0xFF000000u;
            if (colour != last) {
                last = colour;
                lastIndex = m_indices[slotOf(colour)];
            }
            target[x] = lastIndex;
        }
    }

private:
    static constexpr size_t Slots = 1024; // four times the most colours: short probe sequences
    static constexpr quint32 Empty = 0;   // no key: every key has the alpha byte 0xFF set

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

// The picture with its palette as an 8-bit one, for Qt's writer.
QImage indexedCopy(const QImage &image, const OwnPalette &palette)
{
    QImage indexed(image.size(), QImage::Format_Indexed8);
    if (indexed.isNull())
        return {};
    for (int y = 0; y < image.height(); ++y)
        palette.indexRow(reinterpret_cast<const QRgb *>(image.constScanLine(y)), image.width(),
                         indexed.scanLine(y));
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

// The resolution Qt gives a new picture, which its writer stored with the 8-bit copy.
QSize defaultDotsPerMeter()
{
    const QImage probe(1, 1, QImage::Format_Indexed8);
    return {probe.dotsPerMeterX(), probe.dotsPerMeterY()};
}

// libpng's output, appended to the file's bytes; running out of memory is an error of
// libpng's own kind, which returns to the setjmp of the writer.
void appendToBytes(png_structp png, png_bytep data, png_size_t length)
{
    bool appended = true;
    try {
        static_cast<QByteArray *>(png_get_io_ptr(png))
            ->append(reinterpret_cast<const char *>(data), qsizetype(length));
    } catch (const std::bad_alloc &) {
        appended = false;
    }
    if (!appended)
        png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

// libpng's messages go to the caller as a failure, not to standard error.
void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

// What libpng is given of a palette picture, all of it made before libpng starts.
struct PaletteFile {
    const QImage &image;
    const OwnPalette &palette;
    const std::vector<png_color> &colours;
    std::vector<png_text> &texts;
    std::vector<png_byte> &row;
    QSize dotsPerMeter;
    int level;
    QByteArray &bytes;
};

// The libpng calls of Qt's writer for an 8-bit palette picture, in the same order, with the
// rows indexed one at a time. Nothing here has a destructor that libpng's jump back to the
// setjmp on an error would skip.
bool writeWithLibpng(const PaletteFile &file)
{
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const QImage &image = file.image;
    png_set_benign_errors(png, 1);
    png_set_compression_level(png, file.level);
    png_set_write_fn(png, &file.bytes, appendToBytes, flushNothing);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, file.colours.data(), int(file.colours.size()));
    png_set_pHYs(png, info, png_uint_32(file.dotsPerMeter.width()),
                 png_uint_32(file.dotsPerMeter.height()), PNG_RESOLUTION_METER);
    if (!file.texts.empty())
        png_set_text(png, info, file.texts.data(), int(file.texts.size()));
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y) {
        file.palette.indexRow(reinterpret_cast<const QRgb *>(image.constScanLine(y)), image.width(),
                              file.row.data());
        png_write_row(png, file.row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// The palette PNG of a picture of at most 256 colours, written from the picture's own memory:
// the 8-bit indices of one row at a time, never of the whole picture. The chunks, settings
// and bytes are those Qt's writer makes of the 8-bit copy: signature, header, palette,
// resolution, texts, the pixels without row filters, end.
bool writeIndexed(const QImage &image, const OwnPalette &palette,
                  const QMap<QString, QString> &texts, int level, QByteArray &bytes)
{
    std::vector<png_color> colours;
    for (const QRgb c : palette.colours())
        colours.push_back({png_byte(qRed(c)), png_byte(qGreen(c)), png_byte(qBlue(c))});
    QList<QByteArray> latin1;
    for (auto text = texts.begin(); text != texts.end(); ++text)
        latin1 << text.key().toLatin1() << text.value().toLatin1();
    std::vector<png_text> chunks(size_t(texts.size()));
    for (size_t i = 0; i < chunks.size(); ++i) {
        chunks[i].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[i].key = latin1[qsizetype(2 * i)].data();
        chunks[i].text = latin1[qsizetype(2 * i + 1)].data();
        chunks[i].text_length = size_t(latin1[qsizetype(2 * i + 1)].size());
    }
    std::vector<png_byte> row(size_t(image.width()));
    return writeWithLibpng(
        {image, palette, colours, chunks, row, defaultDotsPerMeter(), level, bytes});
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
    OwnPalette palette;
    const bool fewColours = palette.collect(image);
    QByteArray bytes;
    if (fewColours && !palette.isGrey() && arePlainTexts(texts)) {
        if (writeIndexed(image, palette, texts, level, bytes))
            return bytes;
        bytes.clear(); // Qt's writer tries again, and says what went wrong
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Qt's PNG writer takes the zlib level as a quality: 100 - q percent of 9, rounded down.
    writer.setQuality(100 - (level * 91 + 8) / 9);
    for (auto text = texts.begin(); text != texts.end(); ++text)
        writer.setText(text.key(), text.value());
    const QImage indexed = fewColours ? indexedCopy(image, palette) : QImage();
    if (!writer.write(indexed.isNull() ? image : indexed))
        throw ChartError(
            QStringLiteral("Cannot write a PNG picture: %1").arg(writer.errorString()));
    return bytes;
}

} // namespace brimlark
