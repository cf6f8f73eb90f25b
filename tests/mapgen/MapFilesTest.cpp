// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Vector map files and point overlays, read from real files into the recording canvas.
#include "base/ChartError.h"
#include "mapgen/OverlayFile.h"
#include "mapgen/VectorMapFile.h"
#include "support/Int16Records.h"
#include "support/RecordingCanvas.h"
#include "support/RecordingProgress.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

using namespace brimlark;

namespace
{

QByteArray records(std::initializer_list<std::vector<int>> rows) { return int16Records(rows); }

class MapFilesTest : public ::testing::Test
{
protected:
    QString write(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("map%1").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QStringList drawMap(const QByteArray &bytes, bool asPolygon = false)
    {
        canvas.clear();
        VectorMapFile(canvas, view, progress).drawMapFile(write(bytes), asPolygon);
        return canvas.calls();
    }
    QStringList drawOverlay(const QByteArray &bytes, const QString &width = QStringLiteral("1"))
    {
        canvas.clear();
        OverlayFile(canvas, view, progress).drawOverlay(write(bytes), 0x123456, width);
        return canvas.callsOf(
            {QStringLiteral("moveTo"), QStringLiteral("lineTo"), QStringLiteral("polyline")});
    }

    QTemporaryDir dir;
    int files = 0;
    const ViewValues view{45, -100, 1, 800, 600};
    RecordingCanvas canvas;
    RecordingProgress progress;
};

// 45 N 100 W, 46 N 99 W, 47 N 100 W in minutes of arc.
const std::vector<int> Start{1000, 2700, -6000};
const std::vector<int> Second{1, 2760, -5940};
const std::vector<int> Third{2, 2820, -6000};

} // namespace

TEST_F(MapFilesTest, ThreeRecordsMakeOneLineDrawnAtTheEnd)
{
    EXPECT_EQ(drawMap(records({Start, Second, Third})),
              QStringList{QStringLiteral("polyline (400,300) (410,286) (400,272)")});
    EXPECT_EQ(progress.lines, 0);
    EXPECT_EQ(drawMap(records({Start, Second, Third}), true),
              QStringList{QStringLiteral("polygon (400,300) (410,286) (400,272)")});
}

TEST_F(MapFilesTest, LineStartsAndContinuations)
{
    const QStringList calls =
        drawMap(records({Start, Second, {999, 2820, -6000}, Start, {-1, 2760, -5940}, Third}));
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].count(u'('), 3); // drawn when the second line starts
    EXPECT_EQ(calls[1].count(u'('), 3); // drawn at the end of the file
    EXPECT_EQ(progress.lines, 1);
    // Points before the first line start belong to no line.
    EXPECT_EQ(drawMap(records({Second, Second, Start, Third})),
              QStringList{QStringLiteral("polyline (400,300) (400,272)")});
}

TEST_F(MapFilesTest, OutOfRangePointsAreLeftOutAndTheirNeighboursJoined)
{
    EXPECT_EQ(drawMap(records({Start, {1, 5401, -6000}, {2, -10801, 0}, Third})),
              QStringList{QStringLiteral("polyline (400,300) (400,272)")});
    EXPECT_TRUE(drawMap(records({{1000, -2700, 4800}, {1, -2760, 4800}})).isEmpty());
    EXPECT_TRUE(drawMap(QByteArray()).isEmpty());
}

// Behind the globe a line breaks instead of crossing the disc with a chord; a land outline
// is filled up to the rim and stroked from horizon to horizon. The far-side point here is
// 45 S 81 E, next to the point straight behind 45 N 100 W.
// At zoom 50 on a 200-pixel chart, 80 S below the centre 0 N 0 E lies at y 9948 and 89 S
// beyond 9999, where the projection gives y -9999: the line between them runs far below the
// chart and must not come up across it.
TEST_F(MapFilesTest, PointsBeyondTheCoordinateRangeInYAreLeftOut)
{
    const ViewValues close{0, 0, 50, 200, 200};
    const QByteArray line = records({{1000, -80 * 60, 0}, {1, -89 * 60, 0}, {2, -80 * 60, 60}});
    canvas.clear();
    VectorMapFile maps(canvas, close, progress);
    maps.setSkipUnreachable(false); // the line is off the chart: it would not be projected
    maps.drawMapFile(write(line), false);
    EXPECT_EQ(canvas.calls(), QStringList{QStringLiteral("polyline (100,9948) (130,9948)")});
}

TEST_F(MapFilesTest, FarSideBreaksLinesAndClipsLandAtTheHorizon)
{
    const auto farSide = std::vector<int>{1, -2700, 4800 + 60};
    EXPECT_EQ(drawMap(records({Start, Second, farSide, Third, Second})),
              QStringList({"polyline (400,300) (410,286)", "polyline (400,272) (410,286)"}));
    const QStringList calls = drawMap(records({Start, Second, farSide, Third}), true);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_TRUE(calls[0].startsWith(QStringLiteral("fillPolygon ")));
    const QStringList coast = calls[1].split(u' ');
    ASSERT_EQ(coast.size(), 6);
    EXPECT_EQ(coast[0], QStringLiteral("polyline"));
    EXPECT_EQ(coast.mid(2, 3), QStringList({"(400,272)", "(400,300)", "(410,286)"}));
    for (const QString &end : {coast[1], coast[5]}) {
        const QStringList xy = end.mid(1).chopped(1).split(u',');
        EXPECT_NEAR(std::hypot(xy[0].toInt() - 400, xy[1].toInt() - 300), 800, 1.0)
            << end.toStdString();
    }
    EXPECT_TRUE(drawMap(records({{1000, -2700, 4800}, {1, -2760, 4800}, {2, -2700, 4900}}), true)
                    .isEmpty());
}

TEST_F(MapFilesTest, OddLengthDrawsTheCompleteLinesAndFails)
{
    QByteArray bytes = records({Start, Second, Start, Third});
    bytes.append("\x01\x02\x03", 3);
    canvas.clear();
    const QString path = write(bytes);
    try {
        VectorMapFile(canvas, view, progress).drawMapFile(path, false);
        ADD_FAILURE() << "read a broken record";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Read beyond end of file: ") + path);
    }
    EXPECT_EQ(canvas.calls(), QStringList{QStringLiteral("polyline (400,300) (410,286)")});
}

TEST_F(MapFilesTest, MissingFileIsFileNotFound)
{
    try {
        VectorMapFile(canvas, view, progress).drawMapFile(dir.filePath("none.gin"), false);
        ADD_FAILURE() << "opened a missing file";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("File not found: ") + dir.filePath("none.gin"));
    }
}

// A line longer than the point buffer is drawn in parts that share their joining point.
TEST_F(MapFilesTest, LongLineIsDrawnInJoinedParts)
{
    QByteArray bytes = records({Start});
    for (int i = 1; i < 30005; ++i)
        bytes += records({{1, 2700 + i % 50, -6000 + i % 40}});
    const QStringList calls = drawMap(bytes);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].count(u'('), 30000);
    EXPECT_EQ(calls[1].count(u'('), 6);
    EXPECT_EQ(calls[0].section(u' ', -1), calls[1].section(u' ', 1, 1));
}

TEST_F(MapFilesTest, OverlayRecordsBreaksAndWestLongitudes)
{
    // 45.00 N 100.00 W, 46 N 99 W, a break, 47 N 100 W, 47.5 N 100 W.
    const QStringList calls = drawOverlay(
        records({{4500, 10000}, {4600, 9900}, {-100, 0}, {4700, 10000}, {4750, 10000}}));
    EXPECT_EQ(calls, QStringList({"polyline (400,300) (410,286)", "polyline (400,272) (400,265)"}));
    for (int code : {-9999, 9999, -1, -100, 0})
        EXPECT_TRUE(OverlayFile::isBreak(qint16(code))) << code;
    EXPECT_FALSE(OverlayFile::isBreak(1));
    EXPECT_EQ(progress.lines, 1); // one repaint, at the end
}

TEST_F(MapFilesTest, OverlayJumpAcrossTheChartStartsANewLine)
{
    // 45 N at 100 W, 150 W (x <= 0) and 50 W (x > 800): the leap is not drawn.
    const QStringList calls =
        drawOverlay(records({{4500, 10000}, {4500, 15000}, {4500, 5000}, {4500, 4900}}));
    ASSERT_EQ(calls.size(), 2); // a new line starts at the far point
    const auto xOf = [](const QString &point) { return point.mid(1).section(u',', 0, 0).toInt(); };
    EXPECT_EQ(calls[0].count(u'('), 2);
    EXPECT_LE(xOf(calls[0].section(u' ', 2, 2)), 0);
    EXPECT_EQ(calls[1].count(u'('), 2);
    EXPECT_GT(xOf(calls[1].section(u' ', 1, 1)), 800);
}

TEST_F(MapFilesTest, OverlayPointOffTheChartBreaksTheLine)
{
    // The middle point is on the far side of the globe: no stroke to the corner.
    const QStringList calls = drawOverlay(records({{4500, 10000}, {-4500, -8000}, {4600, 9900}}));
    EXPECT_EQ(calls, QStringList({"polyline (400,300)", "polyline (410,286)"}));
}

TEST_F(MapFilesTest, OverlayFailures)
{
    EXPECT_TRUE(drawOverlay(QByteArray()).isEmpty());
    EXPECT_EQ(progress.lines, 1); // an empty overlay still shows
    try {
        drawOverlay(records({{4500, 10000}, {4600, 9900}}) + "\x01\x02");
        ADD_FAILURE() << "read half a record";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Read beyond end of file: ")
                                   + dir.filePath(QStringLiteral("map2")));
    }
    // The complete records are drawn before the failure.
    EXPECT_EQ(canvas.callsOf({QStringLiteral("polyline")}),
              QStringList({"polyline (400,300) (410,286)"}));
    try {
        OverlayFile(canvas, view, progress)
            .drawOverlay(dir.filePath("missing.cgf"), 0, QStringLiteral("wide"));
        ADD_FAILURE() << "accepted a width of words";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'wide' is not a valid integer value"));
    }
    drawOverlay(records({{4500, 10000}}), QStringLiteral("  3 "));
    EXPECT_EQ(canvas.state().penWidth, 3);
}
