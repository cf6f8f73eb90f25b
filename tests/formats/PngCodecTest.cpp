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
