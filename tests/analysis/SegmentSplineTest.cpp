// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The segment spline: worked values, sample counts and the sampling schedule.
#include "analysis/SegmentSpline.h"

#include <gtest/gtest.h>

#include <vector>

using namespace brimlark;

namespace
{

std::vector<QPoint> samples(const SegmentSpline &spline)
{
    std::vector<QPoint> out;
    spline.forEachSample([&](QPoint p) { out.push_back(p); });
    return out;
}

} // namespace

// Worked by hand: for (0,0) (10,10) (20,0), n = 2, so Mx[1] = rx[1] / 4 with
// rx[1] = 6 (20 - 10) + 6 (0 - 10) = 0 and ry[1] = 6 (0 - 10) + 6 (0 - 10) = -120.
TEST(SegmentSpline, WorkedExampleOfThreeKnots)
{
    const QPointF knots[] = {{0, 0}, {10, 10}, {20, 0}};
    const SegmentSpline spline(knots);
    EXPECT_EQ(spline.mx(1), 0.0);
    EXPECT_EQ(spline.my(1), -30.0);
    const std::vector<QPoint> s = samples(spline);
    ASSERT_EQ(s.size(), 101u);
    EXPECT_EQ(s[25], QPoint(5, 7)); // t = 0.5025
    EXPECT_NEAR(spline.valueAt(0.5025).x(), 5.025, 1e-9);
    EXPECT_NEAR(spline.valueAt(0.5025).y(), 6.903, 5e-4);
    EXPECT_EQ(s[50], QPoint(10, 10)); // t = 1 exactly
    EXPECT_EQ(s[100], QPoint(20, 0)); // t = 1.9999
    EXPECT_EQ(s[0], QPoint(0, 0));
}

TEST(SegmentSpline, StraightKnotsGiveSamplesOnTheLine)
{
    const QPointF knots[] = {{0, 0}, {100, 50}, {200, 100}, {300, 150}};
    const SegmentSpline spline(knots);
    for (int i = 0; i <= 3; ++i) {
        EXPECT_EQ(spline.mx(i), 0.0);
        EXPECT_EQ(spline.my(i), 0.0);
    }
    for (const QPoint p : samples(spline))
        EXPECT_LE(std::abs(2 * p.y() - p.x()), 1) << p.x() << "," << p.y();
}

TEST(SegmentSpline, FiftySamplesPerIntervalPlusTheClosingOne)
{
    std::vector<QPointF> knots;
    for (int i = 0; i < 100; ++i)
        knots.emplace_back(i * 13 % 700, i * 29 % 500);
    EXPECT_EQ(samples(SegmentSpline(knots)).size(), 4951u);
    EXPECT_EQ(SegmentSpline(knots).sampleCount(), 4951);
    knots.emplace_back(1, 1); // a hundred and first point is not part of the line
    EXPECT_EQ(samples(SegmentSpline(knots)).size(), 4951u);
    // Every interval begins at its knot.
    const std::vector<QPoint> s = samples(SegmentSpline(knots));
    for (int i = 0; i < 99; ++i)
        EXPECT_EQ(s[size_t(50 * i)], knots[size_t(i)].toPoint()) << i;
}

TEST(SegmentSpline, RepeatedKnotIsPassedTwice)
{
    const QPointF knots[] = {{0, 0}, {50, 50}, {50, 50}, {100, 0}};
    const std::vector<QPoint> s = samples(SegmentSpline(knots));
    ASSERT_EQ(s.size(), 151u);
    EXPECT_EQ(s[50], QPoint(50, 50));
    EXPECT_EQ(s[100], QPoint(50, 50));
}

TEST(SegmentSpline, FarKnotsStillGiveFiftySamplesAndLongPieces)
{
    const QPointF knots[] = {{0, 0}, {1000, 0}, {2000, 0}};
    const std::vector<QPoint> s = samples(SegmentSpline(knots));
    ASSERT_EQ(s.size(), 101u);
    EXPECT_EQ(s[1].x() - s[0].x(), 20);
}
