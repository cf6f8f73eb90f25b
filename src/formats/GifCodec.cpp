// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "formats/GifCodec.h"

#include "base/ChartError.h"
#include "base/ChartSize.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace brimlark
{

namespace
{

struct Reader {
    const QByteArray &bytes;
    qsizetype position = 0;
};

int readBytes(GifFileType *gif, GifByteType *buffer, int size)
{
    auto *reader = static_cast<Reader *>(gif->UserData);
    const qsizetype n = qMin<qsizetype>(size, reader->bytes.size() - reader->position);
    memcpy(buffer, reader->bytes.constData() + reader->position, size_t(n));
    reader->position += n;
    return int(n);
}

int writeBytes(GifFileType *gif, const GifByteType *buffer, int size)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(buffer), size);
    return size;
}

[[noreturn]] void fail(int error)
{
    if (error == D_GIF_ERR_NOT_GIF_FILE)
        throw ChartError(QStringLiteral("Invalid GIF signature"));
    const char *text = GifErrorString(error);
    throw ChartError(text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(error));
}

struct DecoderCloser {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using Decoder = std::unique_ptr<GifFileType, DecoderCloser>;

// Reads the graphic control extension's transparent index, if this extension is one.
void readExtension(GifFileType *gif, int &transparent)
{
    int code = 0;
    GifByteType *block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        fail(gif->Error);
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
        transparent = (block[1] & 1) ? block[4] : -1;
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            fail(gif->Error);
    }
}

QVector<QRgb> colours(const ColorMapObject *map)
{
    QVector<QRgb> table(256, qRgb(0, 0, 0));
    for (int i = 0; map && i < map->ColorCount && i < 256; ++i)
        table[i] = qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    return table;
}

// The rows of an interlaced image come in four passes.
std::vector<int> rowOrder(int height, bool interlaced)
{
    std::vector<int> rows;
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    const int starts[] = {0, 4, 2, 1};
    const int steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = starts[pass]; y < height; y += steps[pass])
            rows.push_back(y);
    return rows;
}

// Whether this many bytes can hold the LZW codes of an image of this size. A code of b bits
// names a table entry below 2^b; entries are made one a code, each one pixel longer than an
// earlier one, so entry k stands for at most k + 1 pixels and a code of b bits for at most
// 2^b. Codes are at most 12 bits wide, so a bit carries at most 4096 / 12 pixels and a
// byte 8192 / 3.
bool canHold(qint64 bytes, int width, int height)
{
    return qint64(width) * qint64(height) * 3 <= bytes * 8192;
}

QImage readImage(GifFileType *gif, int transparent)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        fail(gif->Error);
    const GifImageDesc &desc = gif->Image;
    const int width = qMax(gif->SWidth, desc.Left + desc.Width);
    const int height = qMax(gif->SHeight, desc.Top + desc.Height);
    ChartSize::check(width, height);
    ChartSize::check(desc.Width, desc.Height);
    if (desc.Width <= 0 || desc.Height <= 0)
        throw ChartError(QStringLiteral("GIF image is empty"));
    // The image's own pixels must be in the file; the rest of the screen needs no data.
    const auto *reader = static_cast<const Reader *>(gif->UserData);
    if (!canHold(reader->bytes.size() - reader->position, desc.Width, desc.Height))
        fail(D_GIF_ERR_EOF_TOO_SOON);
    const QVector<QRgb> table = colours(desc.ColorMap ? desc.ColorMap : gif->SColorMap);
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    std::vector<GifPixelType> line(size_t(desc.Width));
    for (int row : rowOrder(desc.Height, desc.Interlace)) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR)
            fail(gif->Error);
        QRgb *out = reinterpret_cast<QRgb *>(picture.scanLine(desc.Top + row)) + desc.Left;
        for (int x = 0; x < desc.Width; ++x)
            if (line[size_t(x)] != transparent)
                out[x] = table[line[size_t(x)]];
    }
    return picture;
}

} // namespace

QImage GifCodec::decode(const QByteArray &bytes)
{
    Reader reader{bytes};
    int error = 0;
    Decoder gif(DGifOpen(&reader, readBytes, &error));
    if (!gif)
        fail(error);
    // Refuse an impossible screen before anything the size of it is made.
    ChartSize::check(gif->SWidth, gif->SHeight);
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            fail(gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE)
            return readImage(gif.get(), transparent);
        if (type == EXTENSION_RECORD_TYPE)
            readExtension(gif.get(), transparent);
        else if (type == TERMINATE_RECORD_TYPE)
            fail(D_GIF_ERR_NO_IMAG_DSCR);
    }
}

int GifCodec::webIndex(QRgb rgb)
{
    const auto level = [](int v) { return (v + 3) / 51; };
    return 36 * level(qRed(rgb)) + 6 * level(qGreen(rgb)) + level(qBlue(rgb));
}

namespace
{

struct MapDeleter {
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};
using ColorMap = std::unique_ptr<ColorMapObject, MapDeleter>;

// An encoder is closed on every way out; a run that gets to the end closes it itself, to
// hear whether the last bytes were written.
struct EncoderCloser {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};
using Encoder = std::unique_ptr<GifFileType, EncoderCloser>;

// The colours of a 32-bit picture without their alpha, sorted, as long as there are at most
// 256 of them; none when there are more. Neighbouring pixels mostly share a colour, so only a
// change of colour is looked up.
std::vector<QRgb> fewColours(const QImage &image)
{
    std::vector<QRgb> found;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        QRgb last = ~0u;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = src[x] & RGB_MASK;
            if (colour == last)
                continue;
            last = colour;
            const auto at = std::lower_bound(found.begin(), found.end(), colour);
            if (at != found.end() && *at == colour)
                continue;
            if (found.size() == 256)
                return {};
            found.insert(at, colour);
        }
    }
    return found;
}

// The palette of the file and the index of each pixel in it: a palette chart's own, a
// 32-bit chart's own few colours, or the 216 reduced ones.
class GifPalette
{
public:
    GifPalette(const QImage &image, int paletteBits, GifCodec::Colours colours)
        : m_paletteBits(paletteBits)
    {
        if (paletteBits) {
            m_table = image.colorTable();
            return;
        }
        if (colours == GifCodec::Colours::ExactWhenFew)
            m_exact = fewColours(image);
        if (!m_exact.empty()) {
            m_table = QVector<QRgb>(m_exact.begin(), m_exact.end());
            return;
        }
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    m_table.append(qRgb(r * 51, g * 51, b * 51));
    }

    // giflib takes palettes of 2, 4, ... 256 entries; the rest is padded with black.
    ColorMap map() const
    {
        int size = 2;
        while (size < m_table.size() && size < 256)
            size *= 2;
        std::vector<GifColorType> entries(size_t(size), GifColorType{0, 0, 0});
        for (int i = 0; i < qMin(int(m_table.size()), size); ++i)
            entries[size_t(i)] = {GifByteType(qRed(m_table[i])), GifByteType(qGreen(m_table[i])),
                                  GifByteType(qBlue(m_table[i]))};
        return ColorMap(GifMakeMapObject(size, entries.data()));
    }

    void indexRow(const QImage &image, int y, std::vector<GifPixelType> &row) const
    {
        if (m_paletteBits) {
            memcpy(row.data(), image.constScanLine(y), row.size());
            return;
        }
        const QRgb *src = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        if (m_exact.empty()) {
            for (size_t x = 0; x < row.size(); ++x)
                row[x] = GifPixelType(GifCodec::webIndex(src[x]));
            return;
        }
        QRgb last = ~0u;
        GifPixelType index = 0;
        for (size_t x = 0; x < row.size(); ++x) {
            const QRgb colour = src[x] & RGB_MASK;
            if (colour != last) {
                last = colour;
                index = GifPixelType(std::lower_bound(m_exact.begin(), m_exact.end(), colour)
                                     - m_exact.begin());
            }
            row[x] = index;
        }
    }

private:
    int m_paletteBits;
    std::vector<QRgb> m_exact; // sorted; empty when the colours are reduced
    QVector<QRgb> m_table;
};

} // namespace

QByteArray GifCodec::encode(const QImage &source, int paletteBits, Colours colours)
{
    if (source.isNull())
        throw ChartError(QStringLiteral("An empty chart cannot be saved as a GIF picture"));
    const QImage image = paletteBits || source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    QByteArray out;
    int error = 0;
    Encoder gif(EGifOpen(&out, writeBytes, &error));
    if (!gif)
        fail(error);
    const GifPalette palette(image, paletteBits, colours);
    const ColorMap map = palette.map();
    if (!map)
        fail(E_GIF_ERR_NOT_ENOUGH_MEM);
    bool ok =
        EGifPutScreenDesc(gif.get(), image.width(), image.height(), map->BitsPerPixel, 0, map.get())
            != GIF_ERROR
        && EGifPutImageDesc(gif.get(), 0, 0, image.width(), image.height(), false, nullptr)
               != GIF_ERROR;
    std::vector<GifPixelType> row(size_t(image.width()));
    for (int y = 0; ok && y < image.height(); ++y) {
        palette.indexRow(image, y, row);
        ok = EGifPutLine(gif.get(), row.data(), image.width()) != GIF_ERROR;
    }
    error = gif->Error;
    int closeError = 0;
    const bool closed = EGifCloseFile(gif.release(), &closeError) != GIF_ERROR;
    if (!ok)
        fail(error);
    if (!closed)
        fail(closeError);
    return out;
}

} // namespace brimlark
