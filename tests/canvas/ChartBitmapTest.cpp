// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The chart bitmap: sizes and limits.
#include "canvas/ChartBitmap.h"
#include "base/ChartError.h"
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
