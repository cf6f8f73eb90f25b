// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "formats/BmpCodec.h"

#include "base/ChartError.h"
#include "base/ChartSize.h"
#include "base/DataFile.h"
#include "base/ReplacingFile.h"

#include <QBuffer>
#include <QtEndian>

#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

namespace brimlark
{

namespace
{

// Compression codes of the info header.
constexpr quint32 BiRgb = 0;
constexpr quint32 BiRle8 = 1;
constexpr quint32 BiRle4 = 2;
constexpr quint32 BiBitfields = 3;

constexpr qint64 FileHeaderSize = 14;
constexpr qint64 CoreHeaderSize = 12;
constexpr qint64 InfoHeaderSize = 40;

[[noreturn]] void invalid() { throw ChartError::invalidBitmap(); }

// Little-endian reads that refuse to look past the end of the file.
class ByteReader
{
public:
    explicit ByteReader(const QByteArray &bytes)
        : m_data(reinterpret_cast<const uchar *>(bytes.constData())), m_size(bytes.size())
    {
    }
    qint64 size() const { return m_size; }
    const uchar *at(qint64 offset, qint64 count) const
    {
        if (offset < 0 || count < 0 || offset > m_size - count)
            invalid();
        return m_data + offset;
    }
    quint8 u8(qint64 offset) const { return *at(offset, 1); }
    quint16 u16(qint64 offset) const
    {
        const uchar *p = at(offset, 2);
        return quint16(p[0] | (p[1] << 8));
    }
    quint32 u32(qint64 offset) const
    {
        const uchar *p = at(offset, 4);
        return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
    }
    qint32 i32(qint64 offset) const { return qint32(u32(offset)); }

private:
    const uchar *m_data;
    qint64 m_size;
};

// One colour channel of a bit-field pixel, scaled to 0..255.
struct ChannelMask {
    quint32 mask = 0;
    int shift = 0;
    quint32 maximum = 1;

    explicit ChannelMask(quint32 m) : mask(m)
    {
        if (m == 0)
            invalid();
        shift = std::countr_zero(m);
        maximum = m >> shift;
        if ((maximum & (maximum + 1)) != 0) // the bits must be contiguous
            invalid();
    }
    int value(quint32 pixel) const
    {
        const quint64 v = (pixel & mask) >> shift;
        return int((v * 255 + maximum / 2) / maximum);
    }
};

struct BmpHeader {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    quint32 compression = BiRgb;
    qint64 paletteAt = 0;
    int paletteEntry = 4;
    int paletteCount = 0;
    quint32 masks[3] = {0, 0, 0};
    qint64 pixelsAt = 0;
};

bool compressionFits(const BmpHeader &h)
{
    switch (h.compression) {
    case BiRgb:
        return true;
    case BiRle8:
        return h.bits == 8 && !h.topDown;
    case BiRle4:
        return h.bits == 4 && !h.topDown;
    case BiBitfields:
        return h.bits == 16 || h.bits == 32;
    default:
        return false;
    }
}

void readMasks(const ByteReader &in, qint64 at, BmpHeader &h)
{
    for (int i = 0; i < 3; ++i)
        h.masks[i] = in.u32(at + 4 * i);
}

void defaultMasks(BmpHeader &h)
{
    if (h.bits == 16) {
        h.masks[0] = 0x7C00;
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
    } else {
        h.masks[0] = 0xFF0000;
        h.masks[1] = 0x00FF00;
        h.masks[2] = 0x0000FF;
    }
}

BmpHeader parseHeader(const ByteReader &in)
{
    if (in.size() < FileHeaderSize + CoreHeaderSize || in.u8(0) != 'B' || in.u8(1) != 'M')
        invalid();
    BmpHeader h;
    const qint64 offBits = in.u32(10);
    const qint64 headerSize = in.u32(14);
    qint64 planes = 0;
    qint64 width = 0;
    qint64 height = 0;
    quint32 colorsUsed = 0;
    qint64 afterHeader = FileHeaderSize + headerSize;
    if (headerSize == CoreHeaderSize) {
        width = in.u16(18);
        height = in.u16(20);
        planes = in.u16(22);
        h.bits = in.u16(24);
        h.paletteEntry = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108
               || headerSize == 124) {
        width = in.i32(18);
        height = in.i32(22);
        planes = in.u16(26);
        h.bits = in.u16(28);
        h.compression = in.u32(30);
        colorsUsed = in.u32(46);
        if (h.compression == BiBitfields) {
            readMasks(in, 54, h);
            if (headerSize == InfoHeaderSize)
                afterHeader += 12; // the masks follow a plain info header
        }
    } else {
        invalid();
    }
    if (planes != 1 || width < 0 || (width == 0) != (height == 0))
        invalid();
    h.topDown = height < 0;
    height = std::abs(height);
    if (width > ChartSize::MaxSide || height > ChartSize::MaxSide
        || width * height > ChartSize::MaxPixels)
        invalid();
    h.width = int(width);
    h.height = int(height);
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        invalid();
    if (!compressionFits(h))
        invalid();
    if (h.compression == BiRgb && h.bits > 8)
        defaultMasks(h);

    h.paletteAt = afterHeader;
    if (h.bits <= 8) {
        const quint32 full = 1u << h.bits;
        if (colorsUsed > full)
            invalid();
        h.paletteCount = int(colorsUsed ? colorsUsed : full);
        afterHeader += qint64(h.paletteCount) * h.paletteEntry;
    }
    if (offBits < afterHeader || offBits > in.size())
        invalid();
    h.pixelsAt = offBits;
    return h;
}

QVector<QRgb> readPalette(const ByteReader &in, const BmpHeader &h)
{
    QVector<QRgb> table(h.paletteCount);
    const uchar *p = in.at(h.paletteAt, qint64(h.paletteCount) * h.paletteEntry);
    for (int i = 0; i < h.paletteCount; ++i, p += h.paletteEntry)
        table[i] = qRgb(p[2], p[1], p[0]);
    return table;
}

int rowOf(const BmpHeader &h, int storedRow)
{
    return h.topDown ? storedRow : h.height - 1 - storedRow;
}

qint64 strideOf(int width, int bits) { return ((qint64(width) * bits + 31) / 32) * 4; }

// Checks that all rows lie in the file; the last row's padding may be missing.
const uchar *uncompressedPixels(const ByteReader &in, const BmpHeader &h)
{
    const qint64 stride = strideOf(h.width, h.bits);
    const qint64 lastRow = (qint64(h.width) * h.bits + 7) / 8;
    in.at(h.pixelsAt, stride * (h.height - 1) + lastRow);
    return in.at(h.pixelsAt, 0);
}

void decodeIndexedRows(const ByteReader &in, const BmpHeader &h, QImage &image)
{
    const uchar *data = uncompressedPixels(in, h);
    const qint64 stride = strideOf(h.width, h.bits);
    const int perByte = 8 / h.bits;
    const int mask = (1 << h.bits) - 1;
    for (int r = 0; r < h.height; ++r) {
        const uchar *src = data + stride * r;
        uchar *dst = image.scanLine(rowOf(h, r));
        if (h.bits == 8) {
            memcpy(dst, src, size_t(h.width));
            continue;
        }
        for (int x = 0; x < h.width; ++x) {
            const int shift = (perByte - 1 - x % perByte) * h.bits;
            dst[x] = uchar((src[x / perByte] >> shift) & mask);
        }
    }
}

// Run-length encoded 4- or 8-bit pixels, always bottom-up. Pixels that the stream skips
// stay at index 0, and pixels past the end of a row are dropped. The position never leaves
// the picture: a run or a delta that would take it past the end of a row stops at that end,
// and once the rows are used up there is nothing left to draw, so decoding stops there. A
// stream that ends before that or before its end-of-bitmap mark is not valid.
//
//   m_y \ m_x   0 1 ... w-1  w
//   h            stop: no row left
//   h-1          . .      .   dropped
//   ...
//   0 (bottom)   . .      .   dropped
class RleDecoder
{
public:
    RleDecoder(const ByteReader &in, const BmpHeader &h, QImage &image)
        : m_in(in), m_h(h), m_image(image), m_pos(h.pixelsAt)
    {
    }

    void run()
    {
        m_image.fill(0);
        while (m_y < m_h.height) {
            const int count = next();
            const int value = next();
            if (count > 0)
                encodedRun(count, value);
            else if (value == 0)
                newLine();
            else if (value == 1)
                return;
            else if (value == 2)
                delta();
            else
                absoluteRun(value);
        }
    }

private:
    int next() { return m_in.u8(m_pos++); }

    // How many of count pixels from the current position still fall on the row.
    int onRow(int count) const { return qMin(count, m_h.width - m_x); }

    uchar *row() { return m_image.scanLine(m_h.height - 1 - m_y); }

    void encodedRun(int count, int value)
    {
        const int n = onRow(count);
        uchar *dst = row() + m_x;
        for (int i = 0; i < n; ++i)
            dst[i] = uchar(m_h.bits == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0xF));
        m_x += n;
    }

    void absoluteRun(int count)
    {
        const int bytes = m_h.bits == 8 ? count : (count + 1) / 2;
        const uchar *src = m_in.at(m_pos, bytes);
        const int n = onRow(count);
        uchar *dst = row() + m_x;
        for (int i = 0; i < n; ++i)
            dst[i] =
                m_h.bits == 8 ? src[i] : uchar(i % 2 == 0 ? src[i / 2] >> 4 : src[i / 2] & 0xF);
        m_x += n;
        m_pos += bytes + (bytes & 1); // runs are padded to a 16-bit boundary
    }

    void newLine()
    {
        m_x = 0;
        ++m_y;
    }

    // Both steps are at most 255 and the position is within the picture before, so neither
    // sum can overflow.
    void delta()
    {
        const int right = next();
        const int up = next();
        m_x = qMin(m_x + right, m_h.width);
        m_y = qMin(m_y + up, m_h.height);
    }

    const ByteReader &m_in;
    const BmpHeader &m_h;
    QImage &m_image;
    qint64 m_pos;
    int m_x = 0;
    int m_y = 0;
};

BmpImage decodeIndexed(const ByteReader &in, const BmpHeader &h)
{
    QImage image(h.width, h.height, QImage::Format_Indexed8);
    if (h.compression == BiRgb)
        decodeIndexedRows(in, h, image);
    else
        RleDecoder(in, h, image).run();
    QVector<QRgb> table = readPalette(in, h);
    // An index past a short palette shows black, as it would on screen.
    int highest = 0;
    for (int y = 0; y < h.height; ++y) {
        const uchar *row = image.constScanLine(y);
        for (int x = 0; x < h.width; ++x)
            highest = qMax(highest, int(row[x]));
    }
    while (table.size() <= highest)
        table.append(qRgb(0, 0, 0));
    image.setColorTable(table);
    return {std::move(image), h.bits};
}

void decodeDirectRow(const uchar *src, const BmpHeader &h, const ChannelMask *channels, QRgb *dst)
{
    if (h.bits == 24) {
        for (int x = 0; x < h.width; ++x, src += 3)
            dst[x] = qRgb(src[2], src[1], src[0]);
        return;
    }
    for (int x = 0; x < h.width; ++x) {
        const quint32 pixel = h.bits == 16
                                  ? quint32(src[0] | (src[1] << 8))
                                  : quint32(src[0]) | (quint32(src[1]) << 8)
                                        | (quint32(src[2]) << 16) | (quint32(src[3]) << 24);
        src += h.bits / 8;
        dst[x] = qRgb(channels[0].value(pixel), channels[1].value(pixel), channels[2].value(pixel));
    }
}

BmpImage decodeDirect(const ByteReader &in, const BmpHeader &h)
{
    const ChannelMask channels[3] = {ChannelMask(h.masks[0]), ChannelMask(h.masks[1]),
                                     ChannelMask(h.masks[2])};
    const uchar *data = uncompressedPixels(in, h);
    const qint64 stride = strideOf(h.width, h.bits);
    QImage image(h.width, h.height, QImage::Format_RGB32);
    for (int r = 0; r < h.height; ++r)
        decodeDirectRow(data + stride * r, h, channels,
                        reinterpret_cast<QRgb *>(image.scanLine(rowOf(h, r))));
    return {std::move(image), 0};
}

void put16(uchar *p, quint32 v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
}

void put32(uchar *p, quint32 v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

// Eight pixels of 32 bits as 24 bytes of blue, green and red: three little-endian words,
// each taking what is left of one pixel and the first bytes of the next.
//
//   word 0: p0 p0 p0 p1 p1 p1 p2 p2   word 1: p2 p3 p3 p3 p4 p4 p4 p5
//   word 2: p5 p5 p6 p6 p6 p7 p7 p7
void packEight(const QRgb *src, uchar *dst)
{
    quint64 p[8];
    for (int i = 0; i < 8; ++i)
        p[i] = src[i] & 0xFFFFFFu;
    const quint64 words[3] = {
        qToLittleEndian(p[0] | (p[1] << 24) | (p[2] << 48)),
        qToLittleEndian((p[2] >> 16) | (p[3] << 8) | (p[4] << 32) | (p[5] << 56)),
        qToLittleEndian((p[5] >> 8) | (p[6] << 16) | (p[7] << 40))};
    memcpy(dst, words, sizeof words);
}

// One row of the file, its padding included (zero).
void encodeRow(const QImage &image, int y, int bits, uchar *dst, qint64 stride)
{
    const int width = image.width();
    const qint64 used = (qint64(width) * bits + 7) / 8;
    std::fill(dst + used, dst + stride, uchar(0));
    if (bits == 24) {
        const QRgb *src = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int x = 0;
        for (; x + 8 <= width; x += 8, dst += 24)
            packEight(src + x, dst);
        for (; x < width; ++x, dst += 3) {
            dst[0] = uchar(qBlue(src[x]));
            dst[1] = uchar(qGreen(src[x]));
            dst[2] = uchar(qRed(src[x]));
        }
        return;
    }
    const uchar *src = image.constScanLine(y);
    if (bits == 8) {
        memcpy(dst, src, size_t(width));
        return;
    }
    std::fill(dst, dst + used, uchar(0));
    const int perByte = 8 / bits;
    for (int x = 0; x < width; ++x)
        dst[x / perByte] |= uchar(src[x] << ((perByte - 1 - x % perByte) * bits));
}

} // namespace

BmpImage BmpCodec::decode(const QByteArray &bytes)
{
    const ByteReader in(bytes);
    const BmpHeader h = parseHeader(in);
    if (h.width == 0)
        return {}; // an empty chart is kept as a bitmap of no pixels
    return h.bits <= 8 ? decodeIndexed(in, h) : decodeDirect(in, h);
}

QByteArray BmpCodec::encode(const QImage &image, int paletteBits)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    write(buffer, image, paletteBits);
    return out;
}

// Headers and palette first, then the rows bottom-up through a small buffer, so that a
// large chart is never held twice in memory.
bool BmpCodec::write(QIODevice &device, const QImage &source, int paletteBits)
{
    const QImage image = paletteBits || source.isNull() || source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    const int bits = paletteBits ? paletteBits : 24;
    const int width = image.width();
    const int height = image.height();
    const int colours = paletteBits ? qMin(int(image.colorCount()), 1 << paletteBits) : 0;
    const qint64 stride = strideOf(width, bits);
    const qint64 offBits = FileHeaderSize + InfoHeaderSize + 4 * colours;
    QByteArray head(offBits, '\0');
    uchar *p = reinterpret_cast<uchar *>(head.data());
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, quint32(offBits + stride * height));
    put32(p + 10, quint32(offBits));
    put32(p + 14, InfoHeaderSize);
    put32(p + 18, quint32(width));
    put32(p + 22, quint32(height));
    put16(p + 26, 1);
    put16(p + 28, quint32(bits));
    put32(p + 34, quint32(stride * height));
    put32(p + 46, quint32(colours));
    for (int i = 0; i < colours; ++i) {
        const QRgb c = image.color(i);
        uchar *entry = p + FileHeaderSize + InfoHeaderSize + 4 * i;
        entry[0] = uchar(qBlue(c));
        entry[1] = uchar(qGreen(c));
        entry[2] = uchar(qRed(c));
    }
    if (device.write(head) != head.size())
        return false;
    const int rowsPerBlock = int(qMax<qint64>(1, 262144 / qMax<qint64>(stride, 1)));
    std::vector<uchar> block(size_t(stride * qMin(rowsPerBlock, qMax(height, 1))));
    for (int r = 0; r < height; r += rowsPerBlock) {
        const int rows = qMin(rowsPerBlock, height - r);
        for (int k = 0; k < rows; ++k)
            encodeRow(image, height - 1 - (r + k), bits, block.data() + stride * k, stride);
        const qint64 size = stride * rows;
        if (device.write(reinterpret_cast<const char *>(block.data()), size) != size)
            return false;
    }
    return true;
}

// A file over the limit says so; the other failures are the message alone.
BmpImage BmpCodec::readFile(const QString &path)
{
    const DataFile::Contents contents = DataFile::readAll(path, FileLimit::Bitmap);
    if (contents.error == EFBIG)
        throw ChartError::cannotOpen(path, contents.reason);
    if (contents.error != 0)
        throw ChartError::cannotOpen(path);
    return decode(contents.bytes);
}

void BmpCodec::writeFile(const QString &path, const QImage &image, int paletteBits,
                         ReplacingFile::Sync sync)
{
    ReplacingFile file(path, sync);
    if (!file.open() || !write(file.device(), image, paletteBits) || !file.commit())
        throw ChartError::cannotCreate(path, file.error());
}

} // namespace brimlark
