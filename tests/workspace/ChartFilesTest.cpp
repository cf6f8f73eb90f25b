// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Chart files by extension, the workspace bitmaps, the GIF and JPEG codecs, and damaged
// pictures.
#include "workspace/ChartFiles.h"
#include "base/ChartError.h"
#include "base/ChartSize.h"
#include "canvas/RasterCanvas.h"
#include "formats/BmpCodec.h"
#include "formats/GifCodec.h"
#include "formats/JpegCodec.h"
#include "support/Pixels.h"
#include "support/ReadOnlyFolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace brimlark;

namespace
{

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// A 2 x 1 GIF89a with a black and a red entry whose first image is pixels (0, 1) with index
// 0 transparent; the second image, of an animation, is (1, 1). LZW data worked by hand:
// codes clear 4, 0, 1, end 5 in three bits each give 0x44 0x0A.
QByteArray twoPixelGif(bool animated)
{
    QByteArray gif("GIF89a");
    gif += bytes({2, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 0, 0});
    gif += bytes({0x21, 0xF9, 4, 1, 0, 0, 0, 0});
    gif += bytes({0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x44, 0x0A, 0});
    if (animated)
        gif += bytes({0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x4C, 0x0A, 0});
    return gif + bytes({0x3B});
}

QImage sample(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 51) % 306, (y * 51) % 306, ((x + y) * 51) % 306));
    return image;
}

// The first value of the first quantisation table of a JPEG file (its DC step).
int firstQuantStep(const QByteArray &jpeg)
{
    const qsizetype at = jpeg.indexOf("\xFF\xDB");
    return at < 0 ? -1 : quint8(jpeg[at + 5]);
}

void expectMessage(const std::function<void()> &run, const QString &start)
{
    try {
        run();
        ADD_FAILURE() << "no error, expected " << start.toStdString();
    } catch (const ChartError &e) {
        EXPECT_TRUE(e.message().startsWith(start)) << e.message().toStdString();
    }
}

void expectExactMessage(const std::function<void()> &run, const QString &message)
{
    try {
        run();
        ADD_FAILURE() << "no error, expected " << message.toStdString();
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), message);
    }
}

} // namespace

TEST(ChartFiles, ExtensionIsTheLastDotAfterTheLastSeparatorInLowerCase)
{
    EXPECT_EQ(ChartFiles::extensionOf(QStringLiteral("/a/b/chart.GIF")), QStringLiteral(".gif"));
    EXPECT_EQ(ChartFiles::extensionOf(QStringLiteral("chart.tar.JPEG")), QStringLiteral(".jpeg"));
    EXPECT_EQ(ChartFiles::extensionOf(QStringLiteral("/maps.d/chart")), QString());
    EXPECT_EQ(ChartFiles::extensionOf(QStringLiteral("C:\\maps.d\\chart")), QString());
    EXPECT_EQ(ChartFiles::extensionOf(QStringLiteral("chart.")), QStringLiteral("."));
}

TEST(GifCodec, WebPaletteLevels)
{
    EXPECT_EQ(GifCodec::webIndex(qRgb(255, 0, 0)), 180);
    EXPECT_EQ(GifCodec::webIndex(qRgb(255, 255, 255)), 215);
    EXPECT_EQ(GifCodec::webIndex(qRgb(0, 0, 0)), 0);
    const std::pair<int, int> levels[] = {{47, 0},  {48, 1},  {98, 1},  {99, 2},  {149, 2},
                                          {150, 3}, {200, 3}, {201, 4}, {251, 4}, {252, 5}};
    for (const auto &[value, level] : levels)
        EXPECT_EQ(GifCodec::webIndex(qRgb(0, 0, value)), level) << value;
}

TEST(GifCodec, MultiplesOf51RoundTripUnchangedWithNoExtensionBlocks)
{
    const QImage image = sample(7, 5);
    const QByteArray gif = GifCodec::encode(image, 0, GifCodec::Colours::Reduced);
    // Header, screen descriptor and a 256-entry palette, then straight to the image.
    EXPECT_EQ(gif[6 + 7 + 3 * 256], char(0x2C));
    EXPECT_FALSE(gif.contains("\x21\xF9"));
    EXPECT_EQ(GifCodec::decode(gif).convertToFormat(QImage::Format_RGB32), image);
}

TEST(GifCodec, PaletteChartKeepsItsPalette)
{
    QImage image(5, 3, QImage::Format_Indexed8);
    QVector<QRgb> table;
    for (int i = 0; i < 16; ++i)
        table.append(qRgb(i * 13, 200 - i * 7, i * 3));
    image.setColorTable(table);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, uint((x + 5 * y) % 16));
    // Whatever the colours asked for a 32-bit chart.
    const QByteArray gif = GifCodec::encode(image, 4, GifCodec::Colours::Reduced);
    EXPECT_EQ(GifCodec::encode(image, 4, GifCodec::Colours::ExactWhenFew), gif);
    const QImage back = GifCodec::decode(gif);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(back.pixel(x, y), image.pixel(x, y));
}

TEST(GifCodec, TransparencyAndTheFirstFrame)
{
    const QImage still = GifCodec::decode(twoPixelGif(false));
    EXPECT_EQ(qAlpha(still.pixel(0, 0)), 0);
    EXPECT_EQ(still.pixel(1, 0), qRgb(255, 0, 0));
    const QImage first = GifCodec::decode(twoPixelGif(true));
    EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0);
}

TEST(GifCodec, DamagedAndForgedFiles)
{
    expectMessage([] { GifCodec::decode("not a picture at all"); }, "Invalid GIF signature");
    const QByteArray gif = twoPixelGif(false);
    for (qsizetype n = 0; n < gif.size() - 1; ++n) {
        try {
            GifCodec::decode(gif.left(n));
            ADD_FAILURE() << "decoded " << n << " bytes";
        } catch (const ChartError &) {
        }
    }
    QByteArray huge = gif;
    huge[6] = huge[7] = huge[8] = huge[9] = char(0xFF); // a 65535 x 65535 screen
    expectMessage([&] { GifCodec::decode(huge); }, "A chart of 65535 x 65535 pixels is too large");
}

TEST(JpegCodec, QualityReachesTheEncoder)
{
    const QImage image = sample(16, 16);
    const std::pair<const char *, int> cases[] = {{"  75 ", 8}, {"0", 255}, {"100", 1},
                                                  {"200", 1},   {"10", 80}, {"50", 16},
                                                  {"-5", 255},  {"300", 1}};
    for (const auto &[text, step] : cases)
        EXPECT_EQ(
            firstQuantStep(JpegCodec::encode(image, JpegCodec::qualityOf(QLatin1String(text)))),
            step)
            << text;
    expectMessage([] { JpegCodec::qualityOf(QStringLiteral("high")); },
                  "'high' is not a valid integer value");
}

TEST(JpegCodec, RoundTripIsCloseAndFullSize)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(qRgb(200, 100, 50));
    const QImage back = JpegCodec::decode(JpegCodec::encode(image, 95));
    ASSERT_EQ(back.size(), image.size());
    EXPECT_NEAR(qRed(back.pixel(20, 15)), 200, 3);
    EXPECT_NEAR(qBlue(back.pixel(20, 15)), 50, 3);
}

TEST(JpegCodec, DamagedAndForgedFiles)
{
    expectMessage([] { JpegCodec::decode("definitely not a JPEG"); }, "JPEG error #");
    const QByteArray jpeg = JpegCodec::encode(sample(64, 64), 75);
    expectMessage([&] { JpegCodec::decode(jpeg.left(jpeg.size() * 2 / 3)); }, "JPEG error #");
    QByteArray forged = jpeg;
    const qsizetype sof = forged.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    for (int i : {5, 7}) { // height, then width: 60000 each
        forged[sof + i] = char(60000 >> 8);
        forged[sof + i + 1] = char(60000 & 0xFF);
    }
    expectMessage([&] { JpegCodec::decode(forged); }, "A chart of 60000 x 60000");
}

TEST(ChartFiles, FailedBitmapLoadKeepsTheChart)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.bmp"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM this is not a bitmap at all, only text that starts like one");
    file.close();
    ChartBitmap chart = Pixels::sentinelChart(3, 2);
    EXPECT_THROW(ChartFiles::loadBitmap(chart, path), ChartError);
    EXPECT_THROW(ChartFiles::loadBitmap(chart, dir.filePath(QStringLiteral("none.bmp"))),
                 ChartError);
    EXPECT_EQ(chart.width(), 3);
    EXPECT_EQ(Pixels::at(chart.image(), 2, 1), Pixels::Sentinel);
}

TEST(ChartFiles, BitmapSaveAndLoadRoundTripsBothKindsOfChart)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.bmp"));
    ChartBitmap chart = Pixels::sentinelChart(9, 4);
    ChartFiles::saveBitmap(chart, path);
    ChartBitmap back;
    ChartFiles::loadBitmap(back, path);
    EXPECT_EQ(back.image(), chart.image());

    QImage indexed(5, 5, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    indexed.fill(1);
    chart.assign(indexed, 1);
    ChartFiles::saveBitmap(chart, path);
    ChartFiles::loadBitmap(back, path);
    EXPECT_EQ(back.paletteBits(), 1);
    EXPECT_EQ(back.image(), indexed);
}

// Emptying a palette chart, then giving it a size again as a generation does, used to
// make an 8-bit chart without colours, whose bitmap file could not be read back.
TEST(ChartFiles, EmptiedPaletteChartGrewIntoAnUnreadableBitmap)
{
    QTemporaryDir dir;
    const QString palettePath = dir.filePath(QStringLiteral("palette.bmp"));
    QImage indexed(6, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(250, 250, 250)});
    indexed.fill(0);
    BmpCodec::writeFile(palettePath, indexed, 8);

    const std::pair<const char *, std::function<void(ChartBitmap &)>> emptyings[] = {
        {"size 0 x 0", [](ChartBitmap &chart) { chart.setSize(0, 0); }},
        {"empty image", [](ChartBitmap &chart) { chart.assign(QImage(), 8); }}};
    for (const auto &[how, empty] : emptyings) {
        ChartBitmap chart;
        ChartFiles::loadBitmap(chart, palettePath);
        ASSERT_EQ(chart.paletteBits(), 8);
        empty(chart);
        ASSERT_TRUE(chart.isEmpty()) << how;
        EXPECT_EQ(chart.paletteBits(), 0) << how;
        chart.setSize(40, 30);
        EXPECT_EQ(chart.image().format(), QImage::Format_RGB32) << how;

        const QString path = dir.filePath(QStringLiteral("grown.bmp"));
        ChartFiles::saveBitmap(chart, path);
        try {
            const BmpImage back = BmpCodec::readFile(path);
            EXPECT_EQ(back.paletteBits, 0) << how;
            EXPECT_EQ(back.image.size(), QSize(40, 30)) << how;
            EXPECT_EQ(Pixels::at(back.image, 39, 29), 0xFFFFFFu) << how;
        } catch (const ChartError &e) {
            ADD_FAILURE() << how << ": " << e.message().toStdString();
        }
    }
}

class ChartFilesTest : public ::testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    void write(const char *name, const QByteArray &content)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir dir;
    ChartBitmap chart = Pixels::sentinelChart(3, 2);
    RasterCanvas canvas{chart};
};

TEST_F(ChartFilesTest, GifLoadDrawsOverTheResizedChartKeepingTransparentPixels)
{
    write("two.GIF", twoPixelGif(false));
    ChartFiles::load(chart, canvas, path("two.GIF"));
    EXPECT_EQ(chart.width(), 2);
    EXPECT_EQ(chart.height(), 1);
    EXPECT_EQ(Pixels::at(chart.image(), 0, 0), Pixels::Sentinel);
    EXPECT_EQ(Pixels::at(chart.image(), 1, 0), chartRgb(255, 0, 0));
}

// A save to a name without one of the five extensions wrote nothing and said nothing.
TEST_F(ChartFilesTest, SaveByExtensionAndAMessageForOthers)
{
    chart.assign(sample(8, 6), 0);
    ChartFiles::save(chart, path("a.Gif"), QStringLiteral("10"));
    ChartFiles::save(chart, path("a.jpeg"), QStringLiteral("10"));
    ChartFiles::save(chart, path("a.bmp"), QStringLiteral("10"));
    for (const char *name : {"a.tiff", "noextension"})
        expectExactMessage(
            [&] { ChartFiles::save(chart, path(name), QStringLiteral("10")); },
            QStringLiteral("Cannot save %1: a chart can be saved as .gif, .jpg, .jpeg, .bmp or "
                           ".png")
                .arg(path(name)));
    EXPECT_TRUE(QFile::exists(path("a.Gif")));
    EXPECT_EQ(firstQuantStep([&] {
                  QFile f(path("a.jpeg"));
                  f.open(QIODevice::ReadOnly);
                  return f.readAll();
              }()),
              80);
    EXPECT_EQ(BmpCodec::readFile(path("a.bmp")).image, sample(8, 6));
    EXPECT_FALSE(QFile::exists(path("a.tiff")));
    EXPECT_FALSE(QFile::exists(path("noextension")));
    expectMessage([&] { ChartFiles::save(chart, path("b.jpg"), QStringLiteral("ten")); },
                  "'ten' is not a valid integer value");
    EXPECT_FALSE(QFile::exists(path("b.jpg")));
}

// PNG keeps a chart's colours exactly, a palette chart's too, and loads like GIF and JPEG.
TEST_F(ChartFilesTest, PngSavesAndLoadsLosslessly)
{
    chart.assign(sample(8, 6), 0);
    ChartFiles::save(chart, path("a.PNG"), QStringLiteral("10"));
    ChartBitmap loaded;
    RasterCanvas canvas(loaded);
    ChartFiles::load(loaded, canvas, path("a.PNG"));
    EXPECT_EQ(loaded.image(), sample(8, 6));
    QImage palette(5, 4, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
    palette.fill(1);
    chart.assign(palette, 8);
    ChartFiles::save(chart, path("p.png"), QStringLiteral("10"));
    ChartFiles::load(loaded, canvas, path("p.png"));
    EXPECT_EQ(loaded.image().pixel(2, 2), qRgb(200, 100, 50));
    QFile broken(path("broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\n and then nothing");
    broken.close();
    expectExactMessage([&] { ChartFiles::load(loaded, canvas, path("broken.png")); },
                       QStringLiteral("PNG image is not valid: ") + path("broken.png"));
}

TEST_F(ChartFilesTest, FailedSaveNamesTheFileAndTheReason)
{
    chart.assign(sample(8, 6), 0);
    const QString intoMissingFolder = path("none/chart.gif");
    expectExactMessage(
        [&] { ChartFiles::save(chart, intoMissingFolder, QStringLiteral("10")); },
        QStringLiteral("Cannot create file %1: No such file or directory").arg(intoMissingFolder));
    const QString intoReadOnlyFolder = path("chart.jpg");
    {
        ReadOnlyFolder readOnly(dir.path());
        expectExactMessage(
            [&] { ChartFiles::save(chart, intoReadOnlyFolder, QStringLiteral("10")); },
            QStringLiteral("Cannot create file %1: Permission denied").arg(intoReadOnlyFolder));
    }
    EXPECT_FALSE(QFile::exists(intoReadOnlyFolder));
}

TEST_F(ChartFilesTest, FailedLoadsLeaveTheChart)
{
    const QImage before = chart.image();
    write("bad.gif", "GIF89a\x10\x00");
    write("bad.jpg", "\xFF\xD8\xFF\xE0 broken");
    write("empty.gif", "");
    // The decoder's message, then the file it is about.
    const std::pair<const char *, const char *> failures[] = {
        {"bad.gif", "No screen descriptor detected"},
        {"bad.jpg", "JPEG error #120"},
        {"empty.gif", "Failed to read from given file"}};
    for (const auto &[name, problem] : failures) {
        const QString file = path(name);
        expectExactMessage([&] { ChartFiles::load(chart, canvas, file); },
                           QString::fromLatin1(problem) + QStringLiteral(": ") + file);
    }
    expectMessage([&] { ChartFiles::load(chart, canvas, path("missing.gif")); },
                  "Cannot open file ");
    // Another extension loaded nothing and said nothing.
    expectExactMessage([&] { ChartFiles::load(chart, canvas, path("whatever.txt")); },
                       QStringLiteral("Cannot load %1: a chart can be loaded from .gif, .jpg, "
                                      ".jpeg, .bmp or .png")
                           .arg(path("whatever.txt")));
    EXPECT_EQ(chart.image(), before);
}

TEST_F(ChartFilesTest, GifAndJpegLoadIntoAnEmptyChartAtTheirSize)
{
    write("two.gif", twoPixelGif(false));
    QImage orange(40, 30, QImage::Format_RGB32);
    orange.fill(qRgb(200, 100, 50));
    write("orange.jpg", JpegCodec::encode(orange, 95));

    chart.setSize(0, 0);
    ChartFiles::load(chart, canvas, path("two.gif"));
    EXPECT_EQ(chart.width(), 2);
    EXPECT_EQ(chart.height(), 1);
    EXPECT_EQ(Pixels::at(chart.image(), 0, 0), 0xFFFFFFu); // transparent: the new white
    EXPECT_EQ(Pixels::at(chart.image(), 1, 0), chartRgb(255, 0, 0));

    chart.setSize(0, 0);
    ChartFiles::load(chart, canvas, path("orange.jpg"));
    ASSERT_EQ(chart.width(), 40);
    ASSERT_EQ(chart.height(), 30);
    EXPECT_NEAR(qRed(chart.image().pixel(20, 15)), 200, 3);
    EXPECT_NEAR(qBlue(chart.image().pixel(20, 15)), 50, 3);
}

TEST_F(ChartFilesTest, SizeLimitsApplyToThePictureNotToTheChartItReplaces)
{
    // Both sizes are within the limits; only the one between them, 32767 x 32767, is not.
    QImage tall(10, ChartSize::MaxSide, QImage::Format_RGB32);
    tall.fill(qRgb(255, 0, 0));
    write("tall.gif", GifCodec::encode(tall, 0, GifCodec::Colours::Reduced));
    chart.setSize(ChartSize::MaxSide, 10);
    ChartFiles::load(chart, canvas, path("tall.gif"));
    EXPECT_EQ(chart.width(), 10);
    EXPECT_EQ(chart.height(), ChartSize::MaxSide);
    EXPECT_EQ(Pixels::at(chart.image(), 9, ChartSize::MaxSide - 1), chartRgb(255, 0, 0));

    // A picture beyond the limits is refused with the chart as it was.
    QByteArray huge = twoPixelGif(false);
    huge[6] = huge[7] = huge[8] = huge[9] = char(0x50); // a 20560 x 20560 screen
    write("huge.gif", huge);
    const QImage before = chart.image();
    expectMessage([&] { ChartFiles::load(chart, canvas, path("huge.gif")); },
                  "A chart of 20560 x 20560 pixels is too large");
    EXPECT_EQ(chart.image(), before);
}
