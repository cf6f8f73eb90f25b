// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The PNG reader reads PNG and nothing else.
#include "formats/PngCodec.h"
#include "base/ChartError.h"
#include "formats/BmpCodec.h"
#include "formats/GifCodec.h"
#include "formats/JpegCodec.h"

#include <QImage>
#include <gtest/gtest.h>

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
