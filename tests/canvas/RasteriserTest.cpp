// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Pixel rules of the rasteriser: which pixels a line, a fill and a pen disc cover.
#include "canvas/LineRasteriser.h"
#include "canvas/PenDisc.h"
#include "canvas/PolygonFiller.h"
#include "support/Pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

using namespace brimlark;

namespace
{

constexpr ChartColor Ink = 0x000000FF;

QString drawLine(int w, int h, QPoint from, QPoint to, int width = 1, bool dotted = false)
{
    ChartBitmap chart = Pixels::sentinelChart(w, h);
    PixelTarget target(chart.pixels());
    target.setColor(Ink);
    const PenDisc pen(width);
    LineRasteriser(target, pen, dotted).line(from, to);
    return Pixels::art(chart.image(), {{Ink, '#'}});
}

QString fill(int w, int h, std::initializer_list<QPoint> points)
{
    ChartBitmap chart = Pixels::sentinelChart(w, h);
    PixelTarget target(chart.pixels());
    target.setColor(Ink);
    const std::vector<QPoint> figure(points);
    PolygonFiller().fill(target, figure);
    return Pixels::art(chart.image(), {{Ink, '#'}});
}

} // namespace

// A 1-pixel line of length 3 from the middle of a 7 x 7 chart, in each of the eight
// directions: three pixels, the start drawn and the end left out.
TEST(LineRasteriser, EndPixelExcludedInAllEightDirections)
{
    const QPoint centre(3, 3);
    const QPoint steps[] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    for (const QPoint step : steps) {
        ChartBitmap chart = Pixels::sentinelChart(7, 7);
        PixelTarget target(chart.pixels());
        target.setColor(Ink);
        const PenDisc pen(1);
        LineRasteriser(target, pen, false).line(centre, centre + 3 * step);
        for (int i = 0; i <= 3; ++i) {
            const QPoint p = centre + i * step;
            EXPECT_EQ(Pixels::at(chart.image(), p.x(), p.y()) == Ink, i < 3)
                << "step " << step.x() << "," << step.y() << " pixel " << i;
        }
        EXPECT_EQ(Pixels::art(chart.image(), {{Ink, '#'}}).count(u'#'), 3);
    }
}

TEST(LineRasteriser, ZeroLengthLineDrawsNothing)
{
    EXPECT_EQ(drawLine(3, 3, {1, 1}, {1, 1}), Pixels::rows({"...", "...", "..."}));
    EXPECT_EQ(drawLine(3, 3, {1, 1}, {1, 1}, 3), Pixels::rows({"...", "...", "..."}));
}

// An exact half on the minor axis stays on the start's side.
TEST(LineRasteriser, HalfStepsRoundTowardsTheStart)
{
    EXPECT_EQ(drawLine(5, 3, {0, 0}, {4, 2}), Pixels::rows({"##...", "..##.", "....."}));
    EXPECT_EQ(drawLine(5, 3, {4, 2}, {0, 0}), Pixels::rows({".....", ".##..", "...##"}));
}

TEST(LineRasteriser, ShallowAndSteepSlopes)
{
    EXPECT_EQ(drawLine(7, 3, {0, 0}, {6, 2}), Pixels::rows({"##.....", "..###..", ".....#."}));
    EXPECT_EQ(drawLine(3, 5, {0, 0}, {1, 4}), Pixels::rows({"#..", "#..", "#..", ".#.", "..."}));
}

TEST(LineRasteriser, DottedPenIsThreeOnThreeOff)
{
    EXPECT_EQ(drawLine(14, 1, {0, 0}, {14, 0}, 1, true), Pixels::rows({"###...###...##"}));
    // Wide dotted pens draw solid.
    EXPECT_EQ(drawLine(6, 3, {0, 1}, {5, 1}, 2, true),
              Pixels::rows({"######", "######", "......"}));
}

TEST(LineRasteriser, WidePensHaveRoundEndsAndIncludeTheEnd)
{
    EXPECT_EQ(drawLine(11, 7, {3, 3}, {7, 3}, 3),
              Pixels::rows({"...........", "...........", "..#######..", "..#######..",
                            "..#######..", "...........", "..........."}));
    EXPECT_EQ(drawLine(9, 9, {4, 4}, {4, 5}, 5),
              Pixels::rows({".........", ".........", "...###...", "..#####..", "..#####..",
                            "..#####..", "..#####..", "...###...", "........."}));
}

TEST(LineRasteriser, ClipsToTheChartWithoutWalkingFarCoordinates)
{
    EXPECT_EQ(drawLine(5, 5, {-10, -10}, {20, 20}),
              Pixels::rows({"#....", ".#...", "..#..", "...#.", "....#"}));
    // Two billion steps along the row would take seconds if they were walked one by one.
    EXPECT_EQ(drawLine(4, 3, {-2000000000, 1}, {2000000000, 1}),
              Pixels::rows({"....", "####", "...."}));
    EXPECT_EQ(drawLine(4, 3, {INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}).count(u'#'), 3);
    EXPECT_EQ(drawLine(4, 3, {-50, -50}, {-10, 40}, 3).count(u'#'), 0);
}

// Lines whose pen stays on the chart are drawn without clipping. The same random polylines
// drawn in the middle of a large chart and across the edges of a small window onto it must
// give the same pixels, and each chart must report exactly the area it changed.
TEST(LineRasteriser, LinesOnTheChartAndAcrossItsEdgesAgree)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(10, 29);
    const QPoint windowCorner(12, 12);
    for (int trial = 0; trial < 400; ++trial) {
        const int width = 1 + trial % 5;
        const bool dotted = trial % 3 == 0;
        std::vector<QPoint> points;
        for (int i = 0; i < 4; ++i)
            points.emplace_back(coordinate(random), coordinate(random));
        const PenDisc pen(width);
        const auto draw = [&](ChartBitmap &chart, QPoint origin) {
            PixelTarget target(chart.pixels());
            target.setColor(Ink);
            LineRasteriser lines(target, pen, dotted);
            for (size_t i = 0; i + 1 < points.size(); ++i)
                lines.line(points[i] - origin, points[i + 1] - origin);
            return target.takeTouched();
        };
        ChartBitmap whole = Pixels::sentinelChart(40, 40);
        ChartBitmap window = Pixels::sentinelChart(16, 16);
        const QRect touchedWhole = draw(whole, {});
        const QRect touchedWindow = draw(window, windowCorner);
        EXPECT_EQ(touchedWhole, Pixels::changedArea(whole.image())) << "trial " << trial;
        EXPECT_EQ(touchedWindow, Pixels::changedArea(window.image())) << "trial " << trial;
        EXPECT_EQ(Pixels::art(whole.image().copy(QRect(windowCorner, QSize(16, 16))), {}),
                  Pixels::art(window.image(), {}))
            << "trial " << trial;
    }
}

// Solid lines are written a stretch of equal minor coordinates at a time. They must cover
// exactly the pixels of the rule in the class comment: the pen's disc stamped on every step
// (the end step too for wide pens), and report exactly that area as touched. Every slope
// from a point to the squares of a 33 x 33 block, with pens whose discs are squares, round
// with odd and with even widths; lines wholly on the chart, across its edges and beyond them.
TEST(LineRasteriser, SolidLinesCoverTheStampsOfEveryStep)
{
    const auto stamped = [](ChartBitmap &chart, const PenDisc &pen, QPoint from, QPoint to) {
        PixelTarget target(chart.pixels());
        target.setColor(Ink);
        const qint64 dx = to.x() - from.x(), dy = to.y() - from.y();
        const qint64 major = std::max(std::abs(dx), std::abs(dy));
        const qint64 minor = std::min(std::abs(dx), std::abs(dy));
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        const qint64 last = pen.width() > 1 ? major : major - 1;
        for (qint64 i = 0; i <= last && major > 0; ++i) {
            const qint64 offset = (2 * i * minor + major - 1) / (2 * major);
            const qint64 along = i * (xMajor ? (dx < 0 ? -1 : 1) : (dy < 0 ? -1 : 1));
            const qint64 across = offset * (xMajor ? (dy < 0 ? -1 : 1) : (dx < 0 ? -1 : 1));
            pen.stamp(target, int(from.x() + (xMajor ? along : across)),
                      int(from.y() + (xMajor ? across : along)));
        }
    };
    struct Case {
        int width;
        QPoint from; // on or by a 48 x 48 chart; the other end is from + (-16 .. 16, -16 .. 16)
    };
    const Case cases[] = {{1, {24, 24}}, {2, {24, 24}}, {3, {24, 24}},  {4, {24, 24}},
                          {5, {24, 24}}, {8, {24, 24}}, {13, {24, 24}}, {1, {2, 45}},
                          {2, {1, 1}},   {4, {46, 3}},  {7, {3, 30}},   {13, {40, 44}},
                          {1, {-3, 20}}, {3, {20, 50}}, {6, {52, -4}}};
    for (const Case &c : cases) {
        const PenDisc pen(c.width);
        for (int dy = -16; dy <= 16; ++dy) {
            for (int dx = -16; dx <= 16; ++dx) {
                const QPoint to = c.from + QPoint(dx, dy);
                ChartBitmap drawn = Pixels::sentinelChart(48, 48);
                ChartBitmap expected = Pixels::sentinelChart(48, 48);
                PixelTarget target(drawn.pixels());
                target.setColor(Ink);
                LineRasteriser(target, pen, false).line(c.from, to);
                stamped(expected, pen, c.from, to);
                const QString where = QStringLiteral("pen %1 from %2,%3 by %4,%5")
                                          .arg(c.width)
                                          .arg(c.from.x())
                                          .arg(c.from.y())
                                          .arg(dx)
                                          .arg(dy);
                ASSERT_EQ(Pixels::differenceCount(drawn.image(), expected.image()), 0)
                    << where.toStdString();
                ASSERT_EQ(target.takeTouched(), Pixels::changedArea(drawn.image()))
                    << where.toStdString();
            }
        }
    }
}

// A dotted path of lines one pixel long carries the pattern from line to line as a long
// line does: the start of line i is drawn when i mod 6 < 3. Drawn twice, the second time
// starting one line into the pattern.
TEST(LineRasteriser, DottedUnitStepsCarryThePattern)
{
    const QPoint moves[] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {1, 0}, {1, -1}, {0, -1}};
    for (const qint64 phase : {0, 1}) {
        ChartBitmap chart = Pixels::sentinelChart(40, 40);
        ChartBitmap expected = Pixels::sentinelChart(40, 40);
        PixelTarget target(chart.pixels());
        PixelTarget expectedTarget(expected.pixels());
        target.setColor(Ink);
        expectedTarget.setColor(Ink);
        const PenDisc pen(1);
        LineRasteriser lines(target, pen, true);
        lines.setPatternPhase(phase);
        QPoint p(5, 5);
        for (int i = 0; i < 40; ++i) {
            const QPoint next = p + moves[i % std::size(moves)];
            lines.line(p, next);
            if ((i + phase) % 6 < 3)
                expectedTarget.pixel(p.x(), p.y());
            p = next;
        }
        EXPECT_EQ(Pixels::differenceCount(chart.image(), expected.image()), 0) << phase;
        EXPECT_EQ(lines.patternPhase(), (40 + phase) % 6);
        EXPECT_EQ(target.takeTouched(), expectedTarget.takeTouched());
    }
}

TEST(PenDisc, FootprintsOfTheSmallWidths)
{
    const auto footprint = [](int width) {
        ChartBitmap chart = Pixels::sentinelChart(7, 7);
        PixelTarget target(chart.pixels());
        target.setColor(Ink);
        PenDisc(width).stamp(target, 3, 3);
        return Pixels::art(chart.image(), {{Ink, '#'}});
    };
    EXPECT_EQ(footprint(1), Pixels::rows({".......", ".......", ".......", "...#...", ".......",
                                          ".......", "......."}));
    EXPECT_EQ(footprint(2), Pixels::rows({".......", ".......", "..##...", "..##...", ".......",
                                          ".......", "......."}));
    EXPECT_EQ(footprint(4), Pixels::rows({".......", "..##...", ".####..", ".####..", "..##...",
                                          ".......", "......."}));
    EXPECT_EQ(footprint(5), Pixels::rows({".......", "..###..", ".#####.", ".#####.", ".#####.",
                                          "..###..", "......."}));
}

TEST(PolygonFiller, TopLeftCornersInsideAreFilled)
{
    EXPECT_EQ(fill(5, 4, {{0, 0}, {3, 0}, {3, 2}, {0, 2}}),
              Pixels::rows({"###..", "###..", ".....", "....."}));
    // A triangle: rows 0..3 of the right-angled triangle (0,0) (4,0) (0,4).
    EXPECT_EQ(fill(5, 5, {{0, 0}, {4, 0}, {0, 4}}),
              Pixels::rows({"####.", "###..", "##...", "#....", "....."}));
}

TEST(PolygonFiller, EvenOddRuleLeavesTheStarsCentreEmpty)
{
    const QString star = fill(11, 11, {{5, 0}, {8, 10}, {0, 3}, {10, 3}, {2, 10}});
    const QStringList rows = star.split(u'\n');
    EXPECT_EQ(rows[5][5], u'.');
    EXPECT_EQ(rows[3][1], u'#');
    EXPECT_EQ(rows[8][3], u'#');
}

// A figure wholly left of the chart that reaches down into its rows from above: two of its
// edges end above the chart, and their lines, not they, would cross the top row at x 15
// and 25.
TEST(PolygonFiller, EdgesThatEndAboveTheChartCrossNoRowOfIt)
{
    EXPECT_EQ(fill(30, 3, {{-5, -30}, {5, -20}, {3, -24}, {-30, 10}, {-40, 10}}),
              Pixels::rows({std::string(30, '.').c_str(), std::string(30, '.').c_str(),
                            std::string(30, '.').c_str()}));
}

TEST(PolygonFiller, ClipsFarVerticesAndSkipsDegenerateFigures)
{
    EXPECT_EQ(fill(3, 2,
                   {{-1000000000, -1000000000},
                    {1000000000, -1000000000},
                    {1000000000, 1000000000},
                    {-1000000000, 1000000000}}),
              Pixels::rows({"###", "###"}));
    EXPECT_EQ(fill(3, 2, {{0, 0}, {2, 0}}), Pixels::rows({"...", "..."}));
    EXPECT_EQ(fill(3, 2, {}), Pixels::rows({"...", "..."}));
    // A chart of no rows, under a figure with more edges than rows (none).
    EXPECT_EQ(fill(3, 0, {{0, -5}, {2, 5}, {1, 9}}), QString());
}

// Random polygons, some with fewer edges than the rows they cross and some with many more
// (as a continent has, or a tangle whose edges change places in numbers from row to row),
// reaching past every side of the chart, against the rule itself applied to each pixel:
// its top-left corner is inside when an odd number of the edges crossing its row cross at
// or left of it, an edge crossing row y at ceil of its exact x; and the area reported as
// touched is the area filled.
TEST(PolygonFiller, AgreesWithTheRuleAppliedPixelByPixel)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> coordinate(-6, 26);
    for (int trial = 0; trial < 300; ++trial) {
        const int sizes[] = {5, 60, 400};
        std::vector<QPoint> points(static_cast<size_t>(sizes[trial % 3]));
        for (QPoint &p : points)
            p = QPoint(coordinate(random), coordinate(random));
        QString expected;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                int crossings = 0;
                for (size_t i = 0; i < points.size(); ++i) {
                    QPoint a = points[i];
                    QPoint b = points[(i + 1) % points.size()];
                    if (a.y() > b.y())
                        std::swap(a, b);
                    if (y < a.y() || y >= b.y())
                        continue;
                    const double exact =
                        a.x() + double(y - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
                    crossings += std::ceil(exact - 1e-9) <= x ? 1 : 0;
                }
                expected += crossings % 2 == 1 ? u'#' : u'.';
            }
            expected += y < 19 ? u"\n" : u"";
        }
        ChartBitmap chart = Pixels::sentinelChart(20, 20);
        PixelTarget target(chart.pixels());
        target.setColor(Ink);
        PolygonFiller().fill(target, points);
        EXPECT_EQ(Pixels::art(chart.image(), {{Ink, '#'}}), expected) << "trial " << trial;
        EXPECT_EQ(target.takeTouched(), Pixels::changedArea(chart.image())) << "trial " << trial;
    }
}
