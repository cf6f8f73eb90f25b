// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Pictures whose headers declare more pixels than the file can hold are refused before
// anything that size is made; pictures that really are that small still load, and so does
// a chart of any size the program saves.
#include "base/ChartError.h"
#include "canvas/ChartBitmap.h"
#include "canvas/RasterCanvas.h"
#include "formats/GifCodec.h"
#include "formats/JpegCodec.h"
#include "formats/PngCodec.h"
#include "workspace/ChartFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace brimlark;

namespace
{

// Refusing a forged header takes no time at all; decoding or even allocating the picture it
// declares takes seconds under the sanitizers, so a second leaves room for a busy machine.
constexpr qint64 QuickMs = 1000;
// The forged pictures below declare about 500 MiB; a refusal needs next to nothing.
constexpr qint64 LittleMemoryKiB = 64 * 1024;

qint64 statusKiB(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// How much the process's resident memory rose at its peak while running work, in KiB: the
// peak is reset first (Linux's clear_refs), so memory touched and freed again still counts.
qint64 peakGrowthKiB(const std::function<void()> &work)
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return -1;
    clear.close();
    const qint64 before = statusKiB("VmRSS");
    work();
    return statusKiB("VmHWM") - before;
}

QString messageOf(const QByteArray &file, QImage (*decode)(const QByteArray &))
{
    try {
        decode(file);
    } catch (const ChartError &e) {
        return e.message();
    }
    return QStringLiteral("(decoded)");
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// Sets the big-endian 16-bit height and width of a JPEG's frame header.
QByteArray withJpegSize(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    const int fields[][2] = {{5, height}, {7, width}};
    for (const auto &[at, value] : fields) {
        jpeg[sof + at] = char(value >> 8);
        jpeg[sof + at + 1] = char(value & 0xFF);
    }
    return jpeg;
}

// A white 1024 x 1024 picture, arithmetic-coded, written by libjpeg-turbo 2.1.5 (quality 75,
// no JFIF marker): 193 bytes for a million pixels.
QByteArray arithmeticCodedWhitePicture()
{
    return bytes({
        0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x08, 0x06, 0x06, 0x07, 0x06, 0x05, 0x08, 0x07,
        0x07, 0x07, 0x09, 0x09, 0x08, 0x0A, 0x0C, 0x14, 0x0D, 0x0C, 0x0B, 0x0B, 0x0C, 0x19, 0x12,
        0x13, 0x0F, 0x14, 0x1D, 0x1A, 0x1F, 0x1E, 0x1D, 0x1A, 0x1C, 0x1C, 0x20, 0x24, 0x2E, 0x27,
        0x20, 0x22, 0x2C, 0x23, 0x1C, 0x1C, 0x28, 0x37, 0x29, 0x2C, 0x30, 0x31, 0x34, 0x34, 0x34,
        0x1F, 0x27, 0x39, 0x3D, 0x38, 0x32, 0x3C, 0x2E, 0x33, 0x34, 0x32, 0xFF, 0xDB, 0x00, 0x43,
        0x01, 0x09, 0x09, 0x09, 0x0C, 0x0B, 0x0C, 0x18, 0x0D, 0x0D, 0x18, 0x32, 0x21, 0x1C, 0x21,
        0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32,
        0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32,
        0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32,
        0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0x32, 0xFF, 0xC9, 0x00, 0x11, 0x08, 0x04, 0x00, 0x04,
        0x00, 0x03, 0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xCC, 0x00, 0x0A,
        0x00, 0x10, 0x10, 0x05, 0x01, 0x10, 0x11, 0x05, 0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00,
        0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0xD2, 0xB7, 0xFF, 0x00, 0x85, 0x16, 0xFF, 0xD9,
    });
}

// Sets the width and height of a GIF's logical screen and of its first image descriptor.
QByteArray withGifSize(QByteArray gif, int width, int height)
{
    const auto put16 = [&gif](qsizetype at, int value) {
        gif[at] = char(value & 0xFF);
        gif[at + 1] = char(value >> 8);
    };
    put16(6, width);
    put16(8, height);
    const int flags = quint8(gif[10]);
    const qsizetype image = 13 + ((flags & 0x80) ? 3 << ((flags & 7) + 1) : 0);
    if (gif[image] != ',')
        ADD_FAILURE() << "no image descriptor after the screen";
    put16(image + 5, width);
    put16(image + 7, height);
    return gif;
}

QImage blank(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    return image;
}

} // namespace

TEST(PictureSize, SmallJpegDeclaringAHugePictureIsRefusedQuicklyAsEndingEarly)
{
    const QByteArray jpeg = JpegCodec::encode(blank(16, 16), 75);
    const QString endedEarly = messageOf(jpeg.left(jpeg.size() - 40), JpegCodec::decode);
    ASSERT_TRUE(endedEarly.startsWith(QStringLiteral("JPEG error #"))) << endedEarly.toStdString();
    // About 650 bytes declaring 8000 x 16000 pixels, within the chart limit: the library
    // would read the rest of the picture as grey without a word.
    const QByteArray forged = withJpegSize(jpeg, 8000, 16000);
    ASSERT_LT(forged.size(), 1000);
    QElapsedTimer timer;
    timer.start();
    const qint64 grewKiB =
        peakGrowthKiB([&] { EXPECT_EQ(messageOf(forged, JpegCodec::decode), endedEarly); });
    EXPECT_LT(timer.elapsed(), QuickMs);
    ASSERT_GE(grewKiB, 0) << "no /proc/self to measure memory with";
    EXPECT_LT(grewKiB, LittleMemoryKiB);
}

TEST(PictureSize, ArithmeticCodedBlankJpegFarSmallerThanAnyHuffmanOneStillLoads)
{
    const QImage picture = JpegCodec::decode(arithmeticCodedWhitePicture());
    ASSERT_EQ(picture.size(), QSize(1024, 1024));
    EXPECT_EQ(picture.pixel(1023, 1023), qRgb(255, 255, 255));
}

TEST(PictureSize, SmallGifDeclaringAHugeImageIsRefusedQuickly)
{
    const QByteArray gif = GifCodec::encode(blank(16, 16), 0, GifCodec::Colours::Reduced);
    const QByteArray forged = withGifSize(gif, 11000, 11000);
    ASSERT_LT(forged.size(), 1000);
    QElapsedTimer timer;
    timer.start();
    const qint64 grewKiB = peakGrowthKiB([&] {
        EXPECT_EQ(messageOf(forged, GifCodec::decode),
                  QStringLiteral("Image EOF detected before image complete"));
    });
    EXPECT_LT(timer.elapsed(), QuickMs);
    ASSERT_GE(grewKiB, 0) << "no /proc/self to measure memory with";
    EXPECT_LT(grewKiB, LittleMemoryKiB);
}

// With its own colours a blank chart has a palette of two entries and codes that start at
// three bits, the smallest the encoder makes; reduced, 256 entries and nine bits.
TEST(PictureSize, BlankGifsAsSmallAsTheEncoderMakesThemStillLoad)
{
    for (const auto colours : {GifCodec::Colours::Reduced, GifCodec::Colours::ExactWhenFew}) {
        const QImage picture = GifCodec::decode(GifCodec::encode(blank(2000, 1500), 0, colours));
        ASSERT_EQ(picture.size(), QSize(2000, 1500)) << int(colours);
        EXPECT_EQ(picture.pixel(1999, 1499), qRgb(255, 255, 255)) << int(colours);
    }
}

// Qt's reader allocates at most 128 MiB unless told otherwise: 5792 x 5792 pixels at 32 bits.
// A chart just past that, saved and loaded again as the program does (about 270 MB at the
// peak: the chart and the decoded picture).
TEST(PictureSize, PngChartOverQtsDefaultAllocationLimitLoadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.png"));
    constexpr int Side = 5800;
    ChartBitmap chart;
    RasterCanvas canvas(chart);
    chart.setSize(Side, Side);
    chart.pixels().setPixel(Side - 1, Side - 1, qRgb(255, 0, 0));
    ChartFiles::save(chart, path, QStringLiteral("10"));
    chart.setSize(0, 0);
    ChartFiles::load(chart, canvas, path);
    ASSERT_EQ(chart.image().size(), QSize(Side, Side));
    EXPECT_EQ(chart.image().pixel(Side - 1, Side - 1), qRgb(255, 0, 0));
    EXPECT_EQ(chart.image().pixel(0, 0), qRgb(255, 255, 255));
}

// The fuzzer's find: a small PNG whose text chunk declares 1 903 260 017 bytes made the PNG
// library allocate them (1.9 GB, 5 s) before finding the file at its end.
TEST(PictureSize, SmallPngDeclaringAHugeChunkIsRefusedQuickly)
{
    const QByteArray png = PngCodec::encode(blank(16, 16));
    const qsizetype afterHeader = 8 + 12 + 13; // signature, then IHDR with its 13 bytes
    const QByteArray hugeText = QByteArray::fromHex("71717171") + "zTXt" + QByteArray(2700, 'q');
    const QByteArray forged = png.left(afterHeader) + hugeText + png.mid(afterHeader);
    QElapsedTimer timer;
    timer.start();
    const qint64 grewKiB = peakGrowthKiB([&] {
        EXPECT_EQ(messageOf(forged, PngCodec::decode), QStringLiteral("PNG image is not valid"));
    });
    EXPECT_LT(timer.elapsed(), QuickMs);
    ASSERT_GE(grewKiB, 0) << "no /proc/self to measure memory with";
    EXPECT_LT(grewKiB, LittleMemoryKiB);
    EXPECT_EQ(PngCodec::decode(png).size(), QSize(16, 16));
}
