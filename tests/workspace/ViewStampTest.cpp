// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The view a chart file carries: its text, and PNG and JPEG charts that keep it.
#include "workspace/ViewStamp.h"
#include "canvas/RasterCanvas.h"
#include "formats/JpegCodec.h"
#include "formats/PngCodec.h"
#include "support/Pixels.h"
#include "workspace/ChartFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

ViewValues viewOf(double lat, double lon, double zoom, int width, int height)
{
    return ViewValues{lat, lon, zoom, width, height};
}

void expectSameView(const std::optional<ViewValues> &got, const ViewValues &want)
{
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->centerLat, want.centerLat);
    EXPECT_EQ(got->centerLon, want.centerLon);
    EXPECT_EQ(got->zoom, want.zoom);
    EXPECT_EQ(got->chartWidth, want.chartWidth);
    EXPECT_EQ(got->chartHeight, want.chartHeight);
}

} // namespace

// Every double reads back exactly, however many digits it needs.
TEST(ViewStamp, TextIsTheFiveNumbersAndReadsBackExactly)
{
    EXPECT_EQ(ViewStamp::text(viewOf(45, -96, 0.9, 1000, 700)),
              QStringLiteral("45 -96 0.9 1000 700"));
    const ViewValues awkward[] = {viewOf(0.1 + 0.2, -179.99999999999997, 1e-5, 1, 32767),
                                  viewOf(-90, 180, 123456.789, 32767, 1),
                                  viewOf(1.0 / 3, 2.0 / 3, 0.3, 640, 480)};
    for (const ViewValues &view : awkward)
        expectSameView(ViewStamp::parse(ViewStamp::text(view)), view);
}

TEST(ViewStamp, OnlyFiveNumbersInRangeAreAView)
{
    expectSameView(ViewStamp::parse(QStringLiteral("  45  -96 0.9 1000 700 ")),
                   viewOf(45, -96, 0.9, 1000, 700));
    const char *notViews[] = {"",
                              "45 -96 0.9 1000",
                              "45 -96 0.9 1000 700 1",
                              "45,-96,0.9,1000,700",
                              "91 -96 0.9 1000 700",
                              "45 -181 0.9 1000 700",
                              "45 -96 0 1000 700",
                              "45 -96 -1 1000 700",
                              "45 -96 0.9 0 700",
                              "45 -96 0.9 1000 32768",
                              "45 -96 nan 1000 700",
                              "45 -96 inf 1000 700",
                              "north -96 0.9 1000 700"};
    for (const char *text : notViews)
        EXPECT_FALSE(ViewStamp::parse(QLatin1String(text)).has_value()) << text;
}

class ChartViewFilesTest : public ::testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    std::optional<ViewValues> saveAndLoad(const char *name, const std::optional<ViewValues> &view)
    {
        ChartFiles::save(chart, path(name), QStringLiteral("90"), ChartFiles::Sync::Later,
                         GifCodec::Colours::Reduced, view);
        ChartBitmap loaded;
        RasterCanvas canvas(loaded);
        return ChartFiles::load(loaded, canvas, path(name));
    }

    QTemporaryDir dir;
    ChartBitmap chart = Pixels::sentinelChart(40, 30);
    const ViewValues view = viewOf(45, -96, 0.9, 40, 30);
};

// PNG in a text chunk, JPEG in a comment; GIF and bitmap files keep none.
TEST_F(ChartViewFilesTest, PngAndJpegCarryTheViewGifAndBitmapDoNot)
{
    expectSameView(saveAndLoad("a.png", view), view);
    expectSameView(saveAndLoad("a.jpg", view), view);
    expectSameView(saveAndLoad("a.JPEG", view), view);
    EXPECT_FALSE(saveAndLoad("a.gif", view).has_value());
    EXPECT_FALSE(saveAndLoad("a.bmp", view).has_value());
    EXPECT_FALSE(saveAndLoad("none.png", std::nullopt).has_value());
    EXPECT_FALSE(saveAndLoad("none.jpg", std::nullopt).has_value());
    QFile png(path("a.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_TRUE(png.readAll().contains(QByteArrayLiteral("tEXtBrimlark-View\0"
                                                         "45 -96 0.9 40 30")));
    QFile jpeg(path("a.jpg"));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(jpeg.readAll().contains(QByteArrayLiteral("\xFF\xFE\0\x21"
                                                          "Brimlark-View: 45 -96 0.9 40 30")));
}

// A view for another size does not describe the chart: it is neither written nor taken.
TEST_F(ChartViewFilesTest, ViewOfAnotherSizeIsNoView)
{
    const ViewValues other = viewOf(45, -96, 0.9, 80, 60);
    EXPECT_FALSE(saveAndLoad("other.png", other).has_value());
    EXPECT_FALSE(saveAndLoad("other.jpg", other).has_value());
    // A picture scaled by another program that kept the text.
    QImage scaled = Pixels::plain(80, 60, qRgb(1, 2, 3));
    const QByteArray bytes =
        PngCodec::encode(scaled, {{ViewStamp::Key, QStringLiteral("45 -96 0.9 40 30")}});
    EXPECT_FALSE(ViewStamp::of(PngCodec::decode(bytes)).has_value());
    EXPECT_TRUE(ViewStamp::of(PngCodec::decode(PngCodec::encode(
                                  scaled, {{ViewStamp::Key, QStringLiteral("45 -96 0.9 80 60")}})))
                    .has_value());
}

// Texts pass through both codecs as they are; a JPEG comment that is not "Key: text" (as
// other programs write them) is no text.
TEST(PictureTexts, RoundTripThroughPngAndJpeg)
{
    const QImage picture = Pixels::plain(9, 7, qRgb(10, 200, 30));
    const QMap<QString, QString> texts{
        {QStringLiteral("Brimlark-View"), QStringLiteral("1 2 3 9 7")},
        {QStringLiteral("Note"), QStringLiteral("ü: and more")}};
    for (const QImage &decoded : {PngCodec::decode(PngCodec::encode(picture, texts)),
                                  JpegCodec::decode(JpegCodec::encode(picture, 90, texts))}) {
        EXPECT_EQ(decoded.text(QStringLiteral("Brimlark-View")), QStringLiteral("1 2 3 9 7"));
        EXPECT_EQ(decoded.text(QStringLiteral("Note")), QStringLiteral("ü: and more"));
    }
    QByteArray jpeg = JpegCodec::encode(picture, 90);
    // A comment right after the start of image: "made by hand", no key.
    jpeg.insert(2, QByteArray("\xFF\xFE\0\x0E"
                              "made by hand",
                              16));
    const QImage decoded = JpegCodec::decode(jpeg);
    EXPECT_EQ(decoded.size(), picture.size());
    EXPECT_TRUE(decoded.textKeys().isEmpty());
}

// A palette PNG keeps its texts through the conversion to 32 bits.
TEST(PictureTexts, PalettePngKeepsItsTexts)
{
    QImage palette(5, 4, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
    palette.fill(1);
    const QImage decoded =
        PngCodec::decode(PngCodec::encode(palette, {{ViewStamp::Key, QStringLiteral("x")}}));
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    EXPECT_EQ(decoded.text(ViewStamp::Key), QStringLiteral("x"));
}
