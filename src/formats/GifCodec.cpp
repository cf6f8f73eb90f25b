// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "formats/GifCodec.h"

#include "base/ChartError.h"
#include "base/ChartSize.h"

#include <gif_lib.h>

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

// giflib takes palettes of 2, 4, ... 256 entries; the rest is padded with black.
ColorMap paletteOf(const QImage &image, int paletteBits)
{
    QVector<QRgb> table;
    if (paletteBits) {
        table = image.colorTable();
    } else {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    table.append(qRgb(r * 51, g * 51, b * 51));
    }
    int size = 2;
    while (size < table.size() && size < 256)
        size *= 2;
    std::vector<GifColorType> entries(size_t(size), GifColorType{0, 0, 0});
    for (int i = 0; i < qMin(int(table.size()), size); ++i)
        entries[size_t(i)] = {GifByteType(qRed(table[i])), GifByteType(qGreen(table[i])),
                              GifByteType(qBlue(table[i]))};
    return ColorMap(GifMakeMapObject(size, entries.data()));
}

void indexRow(const QImage &image, int paletteBits, int y, std::vector<GifPixelType> &row)
{
    if (paletteBits) {
        memcpy(row.data(), image.constScanLine(y), row.size());
        return;
    }
    const QRgb *src = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    for (size_t x = 0; x < row.size(); ++x)
        row[x] = GifPixelType(GifCodec::webIndex(src[x]));
}

} // namespace

QByteArray GifCodec::encode(const QImage &source, int paletteBits)
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
    const ColorMap map = paletteOf(image, paletteBits);
    if (!map)
        fail(E_GIF_ERR_NOT_ENOUGH_MEM);
    bool ok =
        EGifPutScreenDesc(gif.get(), image.width(), image.height(), map->BitsPerPixel, 0, map.get())
            != GIF_ERROR
        && EGifPutImageDesc(gif.get(), 0, 0, image.width(), image.height(), false, nullptr)
               != GIF_ERROR;
    std::vector<GifPixelType> row(size_t(image.width()));
    for (int y = 0; ok && y < image.height(); ++y) {
        indexRow(image, paletteBits, y, row);
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
