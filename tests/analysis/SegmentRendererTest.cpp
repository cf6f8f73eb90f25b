// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// drawSegment through the recording canvas: pens, pieces and symbols of every tool.
#include "analysis/SegmentRenderer.h"
#include "base/ChartError.h"
#include "support/RecordingCanvas.h"

#include <QSet>
#include <gtest/gtest.h>

#include <vector>

using namespace brimlark;

namespace
{

using S = ChartSettings;

const PanelLine BlackOnePixel{QStringLiteral("Black"), QStringLiteral("1 px")};

// Knots every 100 pixels along y = 100, from x0 towards x1.
std::vector<QPointF> straight(int x0, int x1)
{
    std::vector<QPointF> knots;
    const int step = x1 > x0 ? 100 : -100;
    for (int x = x0; x != x1 + step; x += step)
        knots.emplace_back(x, 100);
    return knots;
}

class SegmentRendererTest : public ::testing::Test
{
protected:
    QStringList draw(LineTool tool, const std::vector<QPointF> &points,
                     const PanelLine &panel = BlackOnePixel)
    {
        canvas.clear();
        SegmentRenderer(canvas, settings).drawSegment(tool, points, panel);
        return canvas.calls();
    }
    // The pen colour in force at every line-to, optionally after the x it draws to.
    QStringList pieceColours(bool withX = false) const
    {
        QString colour;
        QStringList pieces;
        for (const QString &call : canvas.calls()) {
            if (call.startsWith(QStringLiteral("penColor")))
                colour = call.section(u' ', 1);
            if (call.startsWith(QStringLiteral("lineTo")))
                pieces.append(withX ? call.section(u' ', 1, 1) + u' ' + colour : colour);
        }
        return pieces;
    }
    QStringList symbols() const
    {
        return canvas.callsOf({QStringLiteral("polygon"), QStringLiteral("polyline")});
    }

    S settings;
    RecordingCanvas canvas{1000, 1000};
};

} // namespace

TEST_F(SegmentRendererTest, NoPointOrOnePointDrawsNothing)
{
    for (int tool = 0; tool <= 6; ++tool) {
        draw(LineTool(tool), {});
        EXPECT_TRUE(canvas.callsOf({"moveTo", "lineTo", "polygon", "polyline"}).isEmpty());
        draw(LineTool(tool), {QPointF(5, 5)});
        EXPECT_TRUE(canvas.callsOf({"moveTo", "lineTo", "polygon", "polyline"}).isEmpty());
    }
}

TEST_F(SegmentRendererTest, TwoPointsDrawOnePlainLineForEveryTool)
{
    const ChartColor colours[7] = {0, 0x880000, 0xDD, 0xAA00AA, 0x880000, 0, 0x88AA};
    for (int tool = 0; tool <= 6; ++tool) {
        draw(LineTool(tool), {QPointF(10, 20), QPointF(300.5, 41.5)});
        EXPECT_EQ(canvas.callsOf({"moveTo", "lineTo", "polygon", "polyline"}),
                  QStringList({"moveTo 10 20", "lineTo 300 42"}))
            << tool;
        EXPECT_EQ(canvas.state().penColor, colours[tool]) << tool;
        EXPECT_EQ(canvas.state().penWidth, tool == 0 ? 1 : 2) << tool;
    }
}

TEST_F(SegmentRendererTest, ColdFrontTrianglesEverySixtyPixelsOnTheLeft)
{
    draw(LineTool::ColdFront, straight(100, 300));
    const QStringList found = symbols();
    ASSERT_GE(found.size(), 2);
    // The first symbol starts at the first sample past 40 pixels and ends past 60.
    EXPECT_EQ(found[0], QStringLiteral("polygon (142,100) (162,100) (152,80)"));
    EXPECT_EQ(found[1], QStringLiteral("polygon (204,100) (224,100) (214,80)"));
    EXPECT_TRUE(canvas.calls().contains(QStringLiteral("brushColor #000088")));
    EXPECT_TRUE(canvas.calls().contains(QStringLiteral("brushStyle solid")));
}

TEST_F(SegmentRendererTest, ReversedDirectionPutsSymbolsOnTheOtherSide)
{
    draw(LineTool::ColdFront, straight(300, 100));
    const QStringList found = symbols();
    ASSERT_FALSE(found.isEmpty());
    EXPECT_EQ(found[0], QStringLiteral("polygon (258,100) (238,100) (248,120)"));
}

TEST_F(SegmentRendererTest, FrontOfSixtyPixelsShowsNoSymbol)
{
    draw(LineTool::ColdFront, {QPointF(100, 100), QPointF(130, 100), QPointF(160, 100)});
    EXPECT_TRUE(symbols().isEmpty());
    draw(LineTool::ColdFront, {QPointF(100, 100), QPointF(131, 100), QPointF(162, 100)});
    EXPECT_EQ(symbols().size(), 1);
}

TEST_F(SegmentRendererTest, WarmFrontSemicirclesBulgeLeft)
{
    draw(LineTool::WarmFront, straight(100, 300));
    const QStringList found = symbols();
    ASSERT_FALSE(found.isEmpty());
    EXPECT_EQ(found[0], QStringLiteral("polygon (142,100) (142,92) (146,86) (150,84) (154,84) "
                                       "(158,86) (162,92) (162,100)"));
    EXPECT_TRUE(canvas.calls().contains(QStringLiteral("brushColor #DD0000")));
}

// Each cycle begins in the colour of its kind and changes at the piece that carries L past
// 25; the cycle's symbol is of the new kind: first a semicircle on the right, then a
// triangle on the left.
TEST_F(SegmentRendererTest, StationaryFrontAlternatesColoursAndSides)
{
    draw(LineTool::StationaryFront, straight(100, 300));
    const QStringList found = symbols();
    ASSERT_GE(found.size(), 2);
    EXPECT_EQ(found[0], QStringLiteral("polygon (142,100) (142,108) (146,114) (150,116) "
                                       "(154,116) (158,114) (162,108) (162,100)"));
    EXPECT_EQ(found[1], QStringLiteral("polygon (204,100) (224,100) (214,80)"));

    // The pen colour of every piece: cold up to the piece that passes 25, warm after it.
    const QStringList pieces = pieceColours(true);
    EXPECT_TRUE(pieces.contains(QStringLiteral("126 #000088"))); // L = 26: passes 25
    EXPECT_TRUE(pieces.contains(QStringLiteral("128 #DD0000")));
    EXPECT_TRUE(pieces.contains(QStringLiteral("164 #DD0000"))); // the next cycle begins
    EXPECT_TRUE(pieces.contains(QStringLiteral("190 #000088")));
}

// The symbol that ends at the j-th sample is a triangle for odd j, a semicircle for even j.
TEST_F(SegmentRendererTest, OccludedFrontKindFollowsTheSampleCount)
{
    draw(LineTool::OccludedFront, straight(100, 300));
    const QStringList found = symbols();
    ASSERT_GE(found.size(), 2);
    EXPECT_EQ(found[0].count(u'('), 8); // ends at x 162, the 32nd sample
    EXPECT_EQ(found[1].count(u'('), 3); // ends at x 224, the 63rd sample
    const QStringList brushes = canvas.callsOf({QStringLiteral("brushColor")});
    EXPECT_EQ(QSet<QString>(brushes.begin(), brushes.end()),
              QSet<QString>{QStringLiteral("brushColor #AA00AA")});
    const QStringList pens = pieceColours();
    EXPECT_EQ(QSet<QString>(pens.begin(), pens.end()), QSet<QString>{QStringLiteral("#AA00AA")});
}

TEST_F(SegmentRendererTest, TroughDrawsPiecesOnlyWhileBelowForty)
{
    draw(LineTool::Trough, straight(100, 300));
    EXPECT_TRUE(symbols().isEmpty());
    QList<int> drawnTo;
    for (const QString &call : canvas.callsOf({QStringLiteral("lineTo")}))
        drawnTo.append(call.section(u' ', 1, 1).toInt());
    EXPECT_TRUE(drawnTo.contains(140));  // L = 38 before this piece
    EXPECT_FALSE(drawnTo.contains(144)); // L = 42: the gap
    EXPECT_FALSE(drawnTo.contains(162)); // still the gap: the cycle ends here
    EXPECT_TRUE(drawnTo.contains(164));  // the next dash
}

TEST_F(SegmentRendererTest, DrylineScallopsAreOpenPolylines)
{
    draw(LineTool::Dryline, straight(100, 300));
    const QStringList found = symbols();
    ASSERT_FALSE(found.isEmpty());
    EXPECT_EQ(found[0], QStringLiteral("polyline (102,100) (102,92) (106,86) (110,84) (114,84) "
                                       "(118,86) (122,92) (122,100)"));
    EXPECT_TRUE(canvas.callsOf({QStringLiteral("polygon")}).isEmpty());
    EXPECT_EQ(canvas.state().brushStyle, BrushStyle::Clear);
    EXPECT_EQ(canvas.state().penColor, 0x88AAu);
}

TEST_F(SegmentRendererTest, IsoplethTakesThePanelAndKeepsThePenForUnknownTexts)
{
    draw(LineTool::Isopleth, straight(100, 300), {QStringLiteral("Red"), QStringLiteral("3 px")});
    EXPECT_EQ(canvas.state().penColor, chartRgb(255, 0, 0));
    EXPECT_EQ(canvas.state().penWidth, 3);
    EXPECT_TRUE(symbols().isEmpty());

    canvas.setPenWidth(4);
    canvas.setPenColor(0x123456);
    draw(LineTool::Isopleth, straight(100, 300), {QStringLiteral("red"), QStringLiteral("3px")});
    EXPECT_TRUE(canvas.callsOf({QStringLiteral("penWidth"), QStringLiteral("penColor")}).isEmpty());
    EXPECT_EQ(canvas.state().penWidth, 4);
    EXPECT_EQ(canvas.state().penColor, 0x123456u);
    draw(LineTool::Isopleth, {QPointF(0, 0), QPointF(1, 1)}, {QStringLiteral("Green"), QString()});
    EXPECT_EQ(canvas.state().penColor, chartRgb(0, 128, 0));
}

TEST_F(SegmentRendererTest, WidthThatIsNotAnIntegerStopsBeforeDrawing)
{
    settings.setText(S::ColdWidth, QStringLiteral(" thick "));
    canvas.clear();
    try {
        SegmentRenderer(canvas, settings)
            .drawSegment(LineTool::ColdFront, straight(100, 300), BlackOnePixel);
        ADD_FAILURE() << "drew with a width of words";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'thick' is not a valid integer value"));
    }
    EXPECT_TRUE(canvas.callsOf({"moveTo", "lineTo", "polygon", "polyline"}).isEmpty());
    settings.setText(S::ColdWidth, QStringLiteral(" 5\t"));
    draw(LineTool::ColdFront, straight(100, 300));
    EXPECT_EQ(canvas.state().penWidth, 5);
}

TEST_F(SegmentRendererTest, OnlyTheFirstHundredPointsAreDrawn)
{
    std::vector<QPointF> points;
    for (int i = 0; i < 150; ++i)
        points.emplace_back(i * 5, (i % 2) * 7);
    draw(LineTool::Isopleth, points);
    EXPECT_EQ(canvas.callsOf({QStringLiteral("lineTo")}).size(), 4951);
}
