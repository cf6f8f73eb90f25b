// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The chart bitmap: sizes and limits.
#include "canvas/ChartBitmap.h"
#include "base/ChartError.h"
#include "support/PageFaults.h"
#include "support/Pixels.h"

#include <gtest/gtest.h>

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

namespace
{

// Page faults of this process while making a white chart of that size.
long faultsOfMaking(int width, int height)
{
    return PageFaults::of([&] {
        ChartBitmap chart;
        chart.setSize(width, height);
    });
}

} // namespace

// A chart in huge pages costs a few page faults, also in its last, partial huge page: a
// 1600 x 1200 chart (3.7 huge pages) took 340 faults when its tail had small pages. Where
// the system gives no huge pages (a chart of exactly two takes more than a handful of
// faults), there is nothing to measure.
TEST(ChartBitmap, LargeChartTakesFewPageFaults)
{
    if (faultsOfMaking(1024, 1024) > 16)
        GTEST_SKIP() << "no transparent huge pages here";
    EXPECT_LE(faultsOfMaking(1600, 1200), 32);
}

// A chart about to be painted over whole leaves its shared pixels to the copy that shares
// them, in fresh memory of the same size and palette, rather than copying them first; the
// memory of the last large chart freed is taken again for the next chart of its length.
TEST(ChartBitmap, PaintedOverChartLeavesItsPixelsToTheKeptCopy)
{
    ChartBitmap chart;
    chart.setSize(1600, 1200);
    chart.pixels().fill(0xFF102030u);
    QImage kept = chart.image();
    chart.forgetPixels();
    EXPECT_NE(chart.image().constBits(), kept.constBits());
    EXPECT_EQ(chart.image().size(), kept.size());
    EXPECT_EQ(chart.image().format(), kept.format());
    EXPECT_EQ(kept.pixel(800, 600), 0xFF102030u);

    const uchar *alone = chart.image().constBits();
    chart.forgetPixels(); // no copy shares them: nothing to leave
    EXPECT_EQ(chart.image().constBits(), alone);

    const uchar *freed = kept.constBits();
    kept = QImage();
    ChartBitmap next;
    next.setSize(1600, 1200);
    EXPECT_EQ(next.image().constBits(), freed);
    EXPECT_EQ(next.image().pixel(0, 0), 0xFFFFFFFFu); // a new size is white, kept memory or not
}

// Drawing on a chart that shares its pixels with a kept copy (the snapshot, at every first
// press of a segment) copies them into memory that is already the process's: the copy
// before took fresh memory every time, a page fault for each of its 1,875 pages.
TEST(ChartBitmap, CopyForDrawingTakesFewPageFaults)
{
    if (!PageFaults::hugePagesGiven())
        GTEST_SKIP() << "no transparent huge pages here";
    ChartBitmap chart;
    chart.setSize(1600, 1200);
    for (int press = 0; press < 3; ++press) {
        QImage snapshot = chart.image();
        EXPECT_LE(PageFaults::of([&] { chart.pixels().setPixel(press, 0, 0xFF000000u); }), 32)
            << press;
        EXPECT_NE(chart.image().constBits(), snapshot.constBits());
        EXPECT_EQ(snapshot.pixel(press, 0), 0xFFFFFFFFu);
    }
}
