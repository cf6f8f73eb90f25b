// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The PNG reader reads PNG and nothing else.
#include "formats/PngCodec.h"
#include "base/ChartError.h"
#include "formats/BmpCodec.h"
#include "formats/GifCodec.h"
#include "formats/JpegCodec.h"
#include "support/PageFaults.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>
#include <gtest/gtest.h>

#include <malloc.h>
#include <zlib.h>

using namespace brimlark;

namespace
{

QString messageOf(const QByteArray &bytes)
{
    try {
        PngCodec::decode(bytes);
    } catch (const ChartError &e) {
        return e.message();
    }
    return QStringLiteral("(decoded)");
}

} // namespace

// Qt's image reader, given PNG as the format, still handed data that was no PNG to whichever
// of its readers knew it: a GIF loaded from a ".png" file. The fuzzer found it with a 26-byte
// GIF whose 2586 x 20480 screen Qt's GIF reader made and filled (200 MiB) before failing.
TEST(PngCodec, OtherPictureFormatsAreNotReadAsPng)
{
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(qRgb(250, 243, 228));
    const struct {
        const char *what;
        QByteArray bytes;
    } others[] = {
        {"GIF", GifCodec::encode(picture, 0, GifCodec::Colours::ExactWhenFew)},
        {"BMP", BmpCodec::encode(picture, 0)},
        {"JPEG", JpegCodec::encode(picture, 75)},
        {"the fuzzer's GIF",
         QByteArray::fromHex("4749463837611a0a00504c54452c1989000000000000000000e9")},
    };
    for (const auto &other : others)
        EXPECT_EQ(messageOf(other.bytes), QStringLiteral("PNG image is not valid")) << other.what;
    EXPECT_EQ(PngCodec::decode(PngCodec::encode(picture)), picture);
}

namespace
{

// A picture of that many colours, each in a run of pixels, rows of 37 so runs wrap.
QImage pictureOfColours(int colours)
{
    QImage picture(37, 1 + (3 * colours) / 37, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 99)); // the first colour
    for (int i = 0; i < 3 * colours && i < picture.width() * picture.height(); ++i)
        picture.setPixel(i % 37, i / 37, qRgb(i / 3 % 256, i / 3 / 256 * 40, 99));
    return picture;
}

// The colour type and bit depth from the header chunk (IHDR) that follows the signature:
// | signature 8 | length 4 | "IHDR" 4 | width 4 | height 4 | depth 1 | colour type 1 | ...
std::pair<int, int> colourTypeAndDepth(const QByteArray &png)
{
    return {uchar(png[25]), uchar(png[24])};
}

} // namespace

// A chart of at most 256 colours is written with a palette of its colours, 8 bits a pixel
// (colour type 3); one of more in 8-bit RGB (type 2). Either reads back pixel for pixel,
// with its texts.
TEST(PngCodec, FewColoursAreWrittenWithTheirOwnPalette)
{
    const struct {
        int colours;
        int colourType;
    } cases[] = {{1, 3}, {2, 3}, {17, 3}, {256, 3}, {257, 2}, {600, 2}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.colours);
        const QImage picture = pictureOfColours(c.colours);
        ASSERT_EQ(
            picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither).colorCount(),
            std::min(c.colours, 256));
        const QByteArray png = PngCodec::encode(picture, {{"View", "39,-96,1.2"}});
        const auto [type, depth] = colourTypeAndDepth(png);
        EXPECT_EQ(type, c.colourType);
        EXPECT_EQ(depth, 8);
        const QImage back = PngCodec::decode(png);
        EXPECT_EQ(back, picture);
        EXPECT_EQ(back.text(QStringLiteral("View")), QStringLiteral("39,-96,1.2"));
    }
}

// Every zlib level gives the same pixels; the default one is chosen for speed.
TEST(PngCodec, EveryCompressionLevelIsLossless)
{
    const QImage picture = pictureOfColours(200);
    for (int level = 0; level <= 9; ++level)
        EXPECT_EQ(PngCodec::decode(PngCodec::encode(picture, {}, level)), picture) << level;
}

namespace
{

// A chart-like picture: areas of a few colours, lines across them, a border.
QImage chartLike(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(qRgb(206, 206, 255)); // ocean
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if ((x - width / 2) * (x - width / 2) + (y - height / 2) * (y - height / 2)
                < width * height / 8)
                row[x] = qRgb(250, 243, 228); // land
            if (x % 97 == y % 89 || (x + 2 * y) % 211 == 0)
                row[x] = qRgb(128, 128, 255); // rivers
            if (x % 160 == 0 || y % 120 == 0)
                row[x] = qRgb(192, 192, 192); // graticule
        }
    }
    return picture;
}

// The bytes Qt's writer makes of the picture's 8-bit copy with its colours in the order they
// first appear (or of the picture itself, of more than 256 colours): how charts were
// written before their rows were compressed one at a time.
QByteArray throughQtsWriter(const QImage &picture, const QMap<QString, QString> &texts, int level)
{
    QList<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (!colours.contains(picture.pixel(x, y)) && colours.size() <= 256)
                colours.append(picture.pixel(x, y));
    const QImage written =
        colours.size() <= 256 ? picture.convertToFormat(QImage::Format_Indexed8, colours) : picture;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(100 - (level * 91 + 8) / 9);
    for (auto text = texts.begin(); text != texts.end(); ++text)
        writer.setText(text.key(), text.value());
    EXPECT_TRUE(writer.write(written));
    return bytes;
}

// The chunks of a PNG file as "type: data in hex", the image data (IDAT) only as its type
// once however many chunks hold it; empty when a chunk's CRC is wrong.
QStringList chunksOf(const QByteArray &png)
{
    QStringList chunks;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const qsizetype length = qFromBigEndian<quint32>(png.constData() + at);
        const QByteArray typeAndData = png.mid(at + 4, 4 + length);
        if (qFromBigEndian<quint32>(png.constData() + at + 8 + length)
            != crc32(0, reinterpret_cast<const uchar *>(typeAndData.constData()),
                     uInt(typeAndData.size())))
            return {};
        const QString type = QString::fromLatin1(typeAndData.left(4));
        if (type != u"IDAT")
            chunks << type + QStringLiteral(": ") + QString::fromLatin1(typeAndData.mid(4).toHex());
        else if (chunks.isEmpty() || chunks.last() != type)
            chunks << type;
        at += 12 + length;
    }
    return chunks;
}

} // namespace

// Charts of few colours are written a row at a time with their own compression, into the
// chunks that Qt's writer made of a whole 8-bit copy: the same header, palette and its
// order, resolution and texts, and the same pixels, at every level. Grey pictures, pictures
// of many colours and texts that Qt's writer compresses or changes still go through it.
TEST(PngCodec, WritesTheChunksOfQtsWriter)
{
    QImage grey(40, 30, QImage::Format_RGB32);
    grey.fill(qRgb(255, 255, 255));
    grey.setPixel(3, 4, qRgb(10, 10, 10));
    const QMap<QString, QString> view{{"Brimlark-View", "39 -96 1.2 1600 1200"}};
    const struct {
        const char *what;
        QImage picture;
        QMap<QString, QString> texts;
        int level;
    } cases[] = {
        {"chart", chartLike(1600, 1200), view, PngCodec::CompressionLevel},
        {"chart without texts", chartLike(1600, 1200), {}, PngCodec::CompressionLevel},
        {"chart at level 0", chartLike(640, 480), view, 0},
        {"chart at level 2", chartLike(640, 480), view, 2},
        {"chart at level 6", chartLike(640, 480), view, 6},
        {"chart at level 9", chartLike(640, 480), view, 9},
        {"small chart", chartLike(37, 5), view, PngCodec::CompressionLevel},
        {"one colour", pictureOfColours(1), view, PngCodec::CompressionLevel},
        {"256 colours", pictureOfColours(256), view, PngCodec::CompressionLevel},
        {"two texts", pictureOfColours(17), {{"B", "2"}, {"A", "1 2"}}, 1},
        {"text of 39", pictureOfColours(17), {{"View", QString(39, u'x')}}, 1},
        {"text of 40", pictureOfColours(17), {{"View", QString(40, u'x')}}, 1},
        {"text beyond Latin-1", pictureOfColours(17), {{"Place", QString::fromUtf8("Łódź")}}, 1},
        {"text with two spaces", pictureOfColours(17), {{"View", "1  2"}}, 1},
        {"key with a space", pictureOfColours(17), {{"The view", "1 2"}}, 1},
        {"grey", grey, view, PngCodec::CompressionLevel},
        {"600 colours", pictureOfColours(600), view, PngCodec::CompressionLevel},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray png = PngCodec::encode(c.picture, c.texts, c.level);
        const QStringList chunks = chunksOf(png);
        EXPECT_EQ(chunks, chunksOf(throughQtsWriter(c.picture, c.texts, c.level)));
        EXPECT_EQ(chunks.last(), QStringLiteral("IEND: "));
        EXPECT_EQ(PngCodec::decode(png), c.picture);
    }
}

// Writing a large chart of few colours takes little memory beside the chart: an 8-bit copy
// of a 3000 x 2000 chart was 6 MB, 1,650 page faults (200 without it), as many as drawing a
// small map. The memory that earlier tests freed is handed back to the system first, and
// the size above which memory comes straight from it pinned, so that every page the writing
// takes counts.
TEST(PngCodec, WritingALargeChartMakesNoCopyOfIt)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer's allocator and shadow memory fault pages of their own";
#endif
    const QImage chart = chartLike(3000, 2000);
    PngCodec::encode(chartLike(64, 64)); // zlib and the image code set up once
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    malloc_trim(0);
    QByteArray png;
    EXPECT_LT(PageFaults::of([&] { png = PngCodec::encode(chart); }), 400);
    EXPECT_EQ(PngCodec::decode(png), chart);
}
