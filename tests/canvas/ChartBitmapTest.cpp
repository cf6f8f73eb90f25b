// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The chart bitmap: sizes, limits and loading that fails without harm.
#include "canvas/ChartBitmap.h"
#include "base/ChartError.h"
#include "formats/BmpCodec.h"
#include "support/Pixels.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace brimlark;

TEST(ChartBitmap, ResizeKeepsPixelsAndPadsWithWhite)
{
    ChartBitmap chart = Pixels::sentinelChart(2, 2);
    chart.setWidth(3);
    chart.setHeight(1);
    EXPECT_EQ(chart.width(), 3);
    EXPECT_EQ(chart.height(), 1);
    EXPECT_EQ(Pixels::at(chart.image(), 1, 0), Pixels::Sentinel);
    EXPECT_EQ(Pixels::at(chart.image(), 2, 0), 0xFFFFFFu);
}

TEST(ChartBitmap, SizeLimitsRefuseBeforeAllocating)
{
    ChartBitmap chart = Pixels::sentinelChart(2, 2);
    EXPECT_THROW(chart.setSize(32768, 10), ChartError);
    EXPECT_THROW(chart.setSize(20000, 20000), ChartError);
    EXPECT_EQ(chart.width(), 2);
    EXPECT_NO_THROW(chart.setSize(32767, 1));
    try {
        chart.setSize(40000, 2);
    } catch (const ChartError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("32767")));
    }
}

TEST(ChartBitmap, SizeOfZeroOrBelowGivesAnEmptyChart)
{
    ChartBitmap chart = Pixels::sentinelChart(2, 2);
    chart.setSize(0, 5);
    EXPECT_TRUE(chart.isEmpty());
    chart.setSize(-5, -5);
    EXPECT_TRUE(chart.isEmpty());
    chart.setSize(3, 2);
    EXPECT_EQ(chart.width(), 3);
}

TEST(ChartBitmap, FailedLoadKeepsTheChart)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.bmp"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM this is not a bitmap at all, only text that starts like one");
    file.close();
    ChartBitmap chart = Pixels::sentinelChart(3, 2);
    EXPECT_THROW(chart.loadFromFile(path), ChartError);
    EXPECT_THROW(chart.loadFromFile(dir.filePath(QStringLiteral("none.bmp"))), ChartError);
    EXPECT_EQ(chart.width(), 3);
    EXPECT_EQ(Pixels::at(chart.image(), 2, 1), Pixels::Sentinel);
}

TEST(ChartBitmap, SaveAndLoadRoundTripsBothKindsOfChart)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.bmp"));
    ChartBitmap chart = Pixels::sentinelChart(9, 4);
    chart.saveToFile(path);
    ChartBitmap back;
    back.loadFromFile(path);
    EXPECT_EQ(back.image(), chart.image());

    QImage indexed(5, 5, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    indexed.fill(1);
    chart.assign(indexed, 1);
    chart.saveToFile(path);
    back.loadFromFile(path);
    EXPECT_EQ(back.paletteBits(), 1);
    EXPECT_EQ(back.image(), indexed);
}

// Emptying a palette chart, then giving it a size again as a generation does, used to
// make an 8-bit chart without colours, whose bitmap file could not be read back.
TEST(ChartBitmap, EmptiedPaletteChartGrewIntoAnUnreadableBitmap)
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
        chart.loadFromFile(palettePath);
        ASSERT_EQ(chart.paletteBits(), 8);
        empty(chart);
        ASSERT_TRUE(chart.isEmpty()) << how;
        EXPECT_EQ(chart.paletteBits(), 0) << how;
        chart.setSize(40, 30);
        EXPECT_EQ(chart.image().format(), QImage::Format_RGB32) << how;

        const QString path = dir.filePath(QStringLiteral("grown.bmp"));
        chart.saveToFile(path);
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
