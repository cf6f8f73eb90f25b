// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Which lines may reach the chart, judged from their boxes of latitudes and longitudes.
#include "mapgen/ChartReach.h"

#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

// The United States at 1600 x 1200: the disc overfills the chart.
const ViewValues UnitedStates{39, -96, 1.2, 1600, 1200};

ChartReach::Box degrees(int south, int north, int west, int east)
{
    return {south * 60, north * 60, west * 60, east * 60};
}

} // namespace

TEST(ChartReach, BoxesOnTheChartOffItAndBehindTheGlobe)
{
    const MinuteProjection projection(UnitedStates);
    const ChartReach reach(UnitedStates, projection, QRect(0, 0, 1600, 1200), 1);
    const ChartReach::Box kansas = degrees(37, 40, -102, -95);
    EXPECT_TRUE(reach.lineMayReach(kansas));
    EXPECT_TRUE(reach.outlineMayReach(kansas));
    // Western Europe lies on the visible side, far off the chart.
    const ChartReach::Box europe = degrees(45, 50, 0, 10);
    EXPECT_FALSE(reach.lineMayReach(europe));
    EXPECT_FALSE(reach.outlineMayReach(europe));
    // The Indian Ocean lies behind the globe.
    const ChartReach::Box indianOcean = degrees(-40, -30, 80, 90);
    EXPECT_FALSE(reach.lineMayReach(indianOcean));
    EXPECT_FALSE(reach.outlineMayReach(indianOcean));
    // Across the date line the box spans nearly every longitude: always drawn.
    EXPECT_TRUE(reach.lineMayReach({60 * 60, 61 * 60, -10799, 10799}));
    EXPECT_FALSE(reach.lineMayReach({}));
}

// A box across the horizon: a line in it is off the chart, but an outline closed along the
// rim might cover it, so outlines across the horizon are drawn where the rim crosses the
// chart, or their points may, or the view centre may lie on their smaller side. Where the
// disc overfills the chart and the view centre lies outside them, they are left out.
TEST(ChartReach, OutlinesAcrossTheHorizonAreDrawnWhereTheyMayCoverTheChart)
{
    const MinuteProjection projection(UnitedStates);
    const ChartReach reach(UnitedStates, projection, QRect(0, 0, 1600, 1200), 1);
    const ChartReach::Box northOfAsia = degrees(40, 80, 70, 100);
    EXPECT_FALSE(reach.lineMayReach(northOfAsia));
    EXPECT_FALSE(reach.outlineMayReach(northOfAsia));
    EXPECT_FALSE(reach.outlineMayReach(degrees(30, 70, 0, 40))); // Europe's west, across it
    // Round the centre and out across the horizon: the centre may be inside.
    EXPECT_TRUE(reach.outlineMayReach(degrees(10, 89, -150, -40)));
    // Reaching onto the chart from across the horizon.
    EXPECT_TRUE(reach.outlineMayReach(degrees(-20, 45, -100, -60)));
    // The disc within the chart: its rim crosses the chart.
    const ViewValues globe{39, -96, 0.3, 1600, 1200};
    const MinuteProjection globeProjection(globe);
    const ChartReach globeReach(globe, globeProjection, QRect(0, 0, 1600, 1200), 1);
    EXPECT_TRUE(globeReach.outlineMayReach(northOfAsia));
    // The rim just off the chart, pen and all (half-diagonal 1000, a 5-pixel pen and the
    // slack of rounding), or just on it.
    const ViewValues rimOff{39, -96, 1012.0 / 1600, 1600, 1200};
    const MinuteProjection rimOffProjection(rimOff);
    EXPECT_FALSE(ChartReach(rimOff, rimOffProjection, QRect(0, 0, 1600, 1200), 5)
                     .outlineMayReach(northOfAsia));
    const ViewValues rimOn{39, -96, 1004.0 / 1600, 1600, 1200};
    const MinuteProjection rimOnProjection(rimOn);
    EXPECT_TRUE(ChartReach(rimOn, rimOnProjection, QRect(0, 0, 1600, 1200), 5)
                    .outlineMayReach(northOfAsia));
}

TEST(ChartReach, BoxesThatLeaveOutTheViewCentre)
{
    const MinuteProjection projection(UnitedStates);
    const ChartReach reach(UnitedStates, projection, QRect(0, 0, 1600, 1200), 1);
    EXPECT_FALSE(reach.leavesOutCentre(degrees(35, 45, -100, -90))); // holds the centre
    EXPECT_TRUE(reach.leavesOutCentre(degrees(45, 50, 0, 10)));
    EXPECT_TRUE(reach.leavesOutCentre(degrees(40, 80, 70, 100)));
    // A wide box round the antipode, whose directions from the centre go all the way round.
    EXPECT_FALSE(reach.leavesOutCentre(degrees(-60, -20, 40, 130)));
}
