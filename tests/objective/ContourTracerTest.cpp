// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "objective/ContourTracer.h"
#include "objective/ContourShaper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace brimlark;

namespace
{

AnalysisGrid gridOf(int columns, int rows, std::vector<double> values, double spacing = 10)
{
    return {spacing, columns, rows, std::move(values)};
}

} // namespace

// A saddle cell is decided by the mean of its corners: at or above the value the corners
// above join across the cell, below it they stay apart. The lines cut the edges where linear
// interpolation puts the value.
TEST(ContourTracer, SaddlesFollowTheCellMean)
{
    const struct {
        const char *what;
        std::vector<double> corners; // top left, top right, bottom left, bottom right
        // Each line's ends, as the midpoints of the edges it crosses: within 1.5 pixels of
        // where it crosses them.
        std::vector<std::pair<QPointF, QPointF>> lines;
    } rows[] = {
        {"mean above: the high corners join",
         {1, 0, 0, 1.2},
         {{{5, 0}, {10, 5}}, {{0, 5}, {5, 10}}}},
        {"mean below: the high corners apart",
         {1, 0, 0, 0.8},
         {{{5, 0}, {0, 5}}, {{10, 5}, {5, 10}}}},
        {"other diagonal, mean above", {0, 1, 1.2, 0}, {{{5, 0}, {0, 5}}, {{10, 5}, {5, 10}}}},
        {"other diagonal, mean below", {0, 1, 0.8, 0}, {{{5, 0}, {10, 5}}, {{0, 5}, {5, 10}}}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const auto lines = ContourTracer(gridOf(2, 2, row.corners)).trace(0.5);
        ASSERT_EQ(lines.size(), 2u);
        for (const auto &ends : row.lines) {
            const QPointF from = ends.first;
            const QPointF to = ends.second;
            const bool found = std::any_of(lines.begin(), lines.end(), [&](const auto &line) {
                const auto near = [](QPointF a, QPointF b) {
                    return std::hypot(a.x() - b.x(), a.y() - b.y()) < 1.5;
                };
                return line.size() == 2
                       && ((near(line[0], from) && near(line[1], to))
                           || (near(line[0], to) && near(line[1], from)));
            });
            EXPECT_TRUE(found) << from.x() << "," << from.y() << " to " << to.x() << "," << to.y();
        }
    }
}

// Round a peak the isoline closes on itself, at the distance the values give; beside nodes
// without a value it stops.
TEST(ContourTracer, ClosedRingAndOpenEnds)
{
    std::vector<double> cone;
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 9; ++c)
            cone.push_back(10 - std::hypot(c - 4, r - 4));
    const AnalysisGrid peak = gridOf(9, 9, cone);
    const auto rings = ContourTracer(peak).trace(7); // 3 spacings from the top
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0].front(), rings[0].back());
    for (const QPointF &p : rings[0])
        EXPECT_NEAR(std::hypot(p.x() - 40, p.y() - 40), 30, 1.5);

    std::vector<double> cut = cone;
    for (int r = 0; r < 9; ++r)
        cut[size_t(r) * 9 + 4] = AnalysisGrid::NoValue; // the middle column
    const auto halves = ContourTracer(gridOf(9, 9, cut)).trace(7);
    ASSERT_EQ(halves.size(), 2u);
    for (const auto &half : halves)
        EXPECT_NE(half.front(), half.back());
}

// Shaping keeps a closed line closed and an open line's ends, and never more points than a
// segment holds.
TEST(ContourShaper, SmoothsAndThins)
{
    std::vector<QPointF> circle;
    for (int i = 0; i <= 1000; ++i) {
        const double a = 2 * std::numbers::pi * (i % 1000) / 1000;
        circle.emplace_back(500 + 400 * std::cos(a), 500 + 400 * std::sin(a));
    }
    const std::vector<QPointF> ring = ContourShaper::thinned(ContourShaper::smoothed(circle));
    EXPECT_LE(ring.size(), ContourShaper::MostPoints);
    EXPECT_GE(ring.size(), 20u);
    EXPECT_EQ(ring.front(), ring.back());
    for (const QPointF &p : ring)
        EXPECT_NEAR(std::hypot(p.x() - 500, p.y() - 500), 400, 1);

    std::vector<QPointF> zigzag;
    for (int i = 0; i < 500; ++i)
        zigzag.emplace_back(i * 4, (i % 2) * 3);
    const std::vector<QPointF> line = ContourShaper::thinned(ContourShaper::smoothed(zigzag));
    EXPECT_LE(line.size(), ContourShaper::MostPoints);
    EXPECT_EQ(line.front(), zigzag.front());
    EXPECT_EQ(line.back(), zigzag.back());
}
