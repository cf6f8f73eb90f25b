// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The raster canvas on tiny charts: figures, pens, brushes, text and pictures.
#include "canvas/RasterCanvas.h"
#include "support/Pixels.h"

#include <gtest/gtest.h>

#include <random>

using namespace brimlark;

namespace
{

constexpr ChartColor Pen = 0x000000FF;   // '#'
constexpr ChartColor Brush = 0x0000FF00; // 'o'
const std::map<ChartColor, char> Legend{{Pen, '#'}, {Brush, 'o'}};

class RasterCanvasTest : public ::testing::Test
{
protected:
    void makeChart(int w, int h)
    {
        chart = Pixels::sentinelChart(w, h);
        canvas.setPenColor(Pen);
        canvas.setBrushColor(Brush);
    }
    QString art() const { return Pixels::art(chart.image(), Legend); }

    ChartBitmap chart;
    RasterCanvas canvas{chart};
};

} // namespace

TEST_F(RasterCanvasTest, LineToMovesAndSkipsItsEndPixel)
{
    makeChart(6, 3);
    canvas.moveTo(0, 1);
    canvas.lineTo(3, 1);
    canvas.lineTo(3, 1); // to the current position: nothing
    EXPECT_EQ(art(), Pixels::rows({"......", "###...", "......"}));
    EXPECT_EQ(canvas.state().position, QPoint(3, 1));
}

TEST_F(RasterCanvasTest, DottedPatternRunsOnAcrossLineTosUntilMoveTo)
{
    makeChart(9, 2);
    canvas.setPenStyle(PenStyle::Dotted);
    canvas.moveTo(0, 0);
    canvas.lineTo(4, 0);
    canvas.lineTo(9, 0);
    canvas.moveTo(0, 1);
    canvas.lineTo(9, 1);
    EXPECT_EQ(art(), Pixels::rows({"###...###", "###...###"}));
}

TEST_F(RasterCanvasTest, PolylineLeavesOutItsLastPoint)
{
    makeChart(6, 4);
    const QPoint points[] = {{1, 1}, {4, 1}, {4, 3}};
    canvas.polyline(points);
    EXPECT_EQ(art(), Pixels::rows({"......", ".####.", "....#.", "......"}));
}

// Many polylines in one call draw what the same polylines draw one by one, and what a
// move-to and line-to per step draws, with every pen: the same pixels and the same dirty
// region, the dotted pattern starting afresh at each polyline.
TEST_F(RasterCanvasTest, PolylinesInOneCallDrawAsOneByOne)
{
    std::mt19937 random(28);
    std::uniform_int_distribution<int> coordinate(-8, 48), length(1, 6);
    std::vector<QPoint> points;
    std::vector<size_t> ends;
    for (int line = 0; line < 40; ++line) {
        for (int i = length(random); i > 0; --i)
            points.emplace_back(coordinate(random), coordinate(random));
        ends.push_back(points.size());
    }
    const auto drawn = [&](int width, PenStyle style, int route) {
        ChartBitmap bitmap = Pixels::sentinelChart(40, 40);
        RasterCanvas raster(bitmap);
        raster.setPenWidth(width);
        raster.setPenStyle(style);
        bitmap.clearDirty();
        size_t begin = 0;
        if (route == 0)
            raster.polylines(points, ends);
        for (size_t end : route == 0 ? std::vector<size_t>() : ends) {
            const auto line = std::span<const QPoint>(points).subspan(begin, end - begin);
            if (route == 1)
                raster.polyline(line);
            for (size_t i = 0; route == 2 && i < line.size(); ++i) {
                if (i == 0)
                    raster.moveTo(line[i].x(), line[i].y());
                else
                    raster.lineTo(line[i].x(), line[i].y());
            }
            begin = end;
        }
        return std::pair(bitmap.image(), bitmap.dirtyRect());
    };
    for (int width : {1, 2, 5}) {
        const auto batch = drawn(width, PenStyle::Solid, 0);
        EXPECT_EQ(batch, drawn(width, PenStyle::Solid, 1)) << width;
        EXPECT_EQ(batch, drawn(width, PenStyle::Solid, 2)) << width;
    }
    EXPECT_EQ(drawn(1, PenStyle::Dotted, 0), drawn(1, PenStyle::Dotted, 1));
}

TEST_F(RasterCanvasTest, PolygonFillsAndOutlinesWithTheClosingEdge)
{
    makeChart(7, 6);
    const QPoint points[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    canvas.polygon(points);
    EXPECT_EQ(art(),
              Pixels::rows({".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#####.", "......."}));
}

TEST_F(RasterCanvasTest, FilledTriangleHasItsOutlineInThePen)
{
    makeChart(12, 8);
    canvas.setPenWidth(1);
    const QPoint points[] = {{1, 6}, {10, 6}, {5, 1}};
    canvas.polygon(points);
    const QString picture = art();
    EXPECT_EQ(picture.split(u'\n')[6], QStringLiteral(".##########."));
    EXPECT_EQ(picture.split(u'\n')[1], QStringLiteral(".....#......"));
    EXPECT_TRUE(picture.split(u'\n')[4].contains(u'o'));
}

TEST_F(RasterCanvasTest, RectangleWithPenWidthsOneToThree)
{
    makeChart(7, 7);
    canvas.rectangle(1, 1, 5, 5);
    EXPECT_EQ(art(), Pixels::rows({".......", ".####..", ".#oo#..", ".#oo#..", ".####..", ".......",
                                   "......."}));
    makeChart(7, 7);
    canvas.setPenWidth(2);
    canvas.rectangle(1, 1, 5, 5);
    EXPECT_EQ(art(), Pixels::rows({"#####..", "#####..", "##o##..", "#####..", "#####..", ".......",
                                   "......."}));
    makeChart(7, 7);
    canvas.setPenWidth(3);
    canvas.rectangle(1, 1, 5, 5);
    EXPECT_EQ(art(), Pixels::rows({"######.", "######.", "######.", "######.", "######.", "######.",
                                   "......."}));
}

TEST_F(RasterCanvasTest, ClearBrushLeavesTheInsideAndFillRectSkipsTheFarEdges)
{
    makeChart(6, 5);
    canvas.setBrushStyle(BrushStyle::Clear);
    canvas.rectangle(0, 0, 4, 4);
    canvas.fillRect(1, 1, 3, 3); // clear brush: nothing
    EXPECT_EQ(art(), Pixels::rows({"####..", "#..#..", "#..#..", "####..", "......"}));
    canvas.setBrushStyle(BrushStyle::Solid);
    canvas.fillRect(1, 1, 3, 3);
    EXPECT_EQ(art(), Pixels::rows({"####..", "#oo#..", "#oo#..", "####..", "......"}));
}

TEST_F(RasterCanvasTest, EverythingIsClippedToTheChart)
{
    makeChart(4, 3);
    canvas.setPixel(-1, 0, Pen);
    canvas.setPixel(4, 0, Pen);
    canvas.setPixel(0, 3, Pen);
    canvas.setPixel(3, 2, Pen);
    canvas.setPenWidth(3);
    canvas.rectangle(-10, -10, 2, 2);
    EXPECT_EQ(art(), Pixels::rows({"###.", "###.", "####"}));
    // Corners at the ends of the int range: a border round a chart sized from a damaged
    // saveddat.txt.
    canvas.setBrushStyle(BrushStyle::Clear);
    canvas.rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(art(), Pixels::rows({"###.", "###.", "####"}));
    canvas.rectangle(0, 0, 6, INT_MIN); // its edge at y = -1 reaches row 0
    EXPECT_EQ(art(), Pixels::rows({"####", "###.", "####"}));
    EXPECT_EQ(canvas.clipRect(), QRect(0, 0, 4, 3));
}

TEST_F(RasterCanvasTest, DrawingOnAnEmptyChartDoesNothing)
{
    ChartBitmap empty;
    RasterCanvas onEmpty(empty);
    const QPoint points[] = {{0, 0}, {10, 0}, {10, 10}};
    onEmpty.polygon(points);
    onEmpty.rectangle(0, 0, 5, 5);
    onEmpty.textOut(0, 0, QStringLiteral("L"));
    onEmpty.moveTo(0, 0);
    onEmpty.lineTo(5, 5);
    EXPECT_TRUE(empty.isEmpty());
}

TEST_F(RasterCanvasTest, TextCellStartsAtThePointAndSolidBrushFillsIt)
{
    makeChart(80, 40);
    canvas.setFontName(QStringLiteral("Arial"));
    canvas.setFontSize(12);
    canvas.setFontStyle(FontStyle::Bold);
    canvas.setFontColor(Pen);
    const int w = canvas.textWidth(QStringLiteral("Hi"));
    const int h = canvas.textHeight(QStringLiteral("Hi"));
    EXPECT_GT(w, 0);
    EXPECT_GE(h, 16);
    canvas.textOut(5, 7, QStringLiteral("Hi"));
    EXPECT_EQ(Pixels::changedArea(chart.image()), QRect(5, 7, w, h));
    EXPECT_TRUE(art().contains(u'#'));
}

TEST_F(RasterCanvasTest, TextWithClearBrushLeavesTheMapBetweenLetters)
{
    makeChart(80, 40);
    canvas.setFontSize(12);
    canvas.setFontColor(Pen);
    canvas.setBrushStyle(BrushStyle::Clear);
    canvas.textOut(5, 7, QStringLiteral("Hi"));
    const QRect cell(5, 7, canvas.textWidth(QStringLiteral("Hi")),
                     canvas.textHeight(QStringLiteral("Hi")));
    const QString picture = art();
    EXPECT_FALSE(picture.contains(u'o'));
    EXPECT_FALSE(picture.contains(u'?')); // not antialiased: font colour or map, nothing else
    EXPECT_TRUE(cell.contains(Pixels::changedArea(chart.image())));
    EXPECT_EQ(Pixels::at(chart.image(), cell.left(), cell.top()), Pixels::Sentinel);
}

TEST_F(RasterCanvasTest, PaletteChartTakesTheNearestEntry)
{
    QImage image(3, 1, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(250, 0, 0)});
    image.fill(1);
    chart.assign(image, 4);
    canvas.setPixel(0, 0, chartRgb(200, 20, 10));
    canvas.setPixel(1, 0, chartRgb(30, 30, 30));
    EXPECT_EQ(chart.image().pixelIndex(0, 0), 2);
    EXPECT_EQ(chart.image().pixelIndex(1, 0), 0);
    EXPECT_EQ(chart.image().pixelIndex(2, 0), 1);
    EXPECT_EQ(chart.paletteBits(), 4);
}

TEST_F(RasterCanvasTest, PictureTransparencyKeepsTheChartBeneath)
{
    makeChart(3, 1);
    QImage picture(2, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
    picture.setPixel(1, 0, toQRgb(Pen));
    canvas.draw(1, 0, picture);
    EXPECT_EQ(art(), Pixels::rows({"..#"}));
}

TEST_F(RasterCanvasTest, DrawingMarksOnlyTheChangedAreaDirty)
{
    makeChart(20, 20);
    chart.clearDirty();
    canvas.moveTo(2, 3);
    canvas.lineTo(6, 3);
    EXPECT_EQ(chart.dirtyRect(), QRect(2, 3, 4, 1));
}
