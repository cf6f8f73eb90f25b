// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The generation driver: layer order, statuses, switches, failures and the finished chart.
#include "mapgen/MapGenerator.h"
#include "base/ChartError.h"
#include "canvas/RasterCanvas.h"
#include "support/Int16Records.h"
#include "support/Pixels.h"
#include "support/RecordingCanvas.h"
#include "support/RecordingProgress.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

using S = ChartSettings;

// A small triangle of land around 45 N 100 W.
const QByteArray Land = int16Records({{1000, 2640, -6060}, {1, 2760, -6000}, {2, 2640, -5940}});

class MapGeneratorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : {"map.gin", "map.gis", "map.gil", "map.gii", "map.gir", "map.gic",
                                 "map.cgf", "map.hwy"})
            writeFile(name, QByteArray(name).startsWith("map.gi") ? Land : QByteArray());
    }
    void writeFile(const char *name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void allOff()
    {
        for (S::Id id : {S::GridSelect, S::Border, S::International, S::State, S::Lake, S::Island,
                         S::River, S::Coast, S::County, S::Highway})
            settings.setOn(id, false);
    }
    void record() { MapGenerator(chart, canvas, settings, workspace, progress).GenerateMap(view); }

    QTemporaryDir dir;
    Workspace workspace{dir.path()};
    S settings;
    ViewValues view{45, -100, 1, 80, 60};
    ChartBitmap chart;
    RecordingCanvas canvas{80, 60};
    RecordingProgress progress;
};

} // namespace

TEST_F(MapGeneratorTest, EverythingOffGivesAnOceanOfTheChartSize)
{
    allOff();
    RasterCanvas raster(chart);
    MapGenerator(chart, raster, settings, workspace, progress).GenerateMap(view);
    EXPECT_EQ(chart.width(), 80);
    EXPECT_EQ(chart.height(), 60);
    QImage ocean(80, 60, QImage::Format_RGB32);
    ocean.fill(toQRgb(settings.color(S::OceanColor)));
    EXPECT_EQ(chart.image(), ocean);
    EXPECT_EQ(progress.statuses().last(), QStringLiteral("Map completed"));
}

TEST_F(MapGeneratorTest, BorderOfWidthOneIsTheOutermostPixels)
{
    allOff();
    settings.setOn(S::Border, true);
    settings.setText(S::BorderWidth, QStringLiteral("1"));
    RasterCanvas raster(chart);
    MapGenerator(chart, raster, settings, workspace, progress).GenerateMap(view);
    const ChartColor border = settings.color(S::BorderColor);
    for (int x = 0; x < 80; ++x) {
        EXPECT_EQ(Pixels::at(chart.image(), x, 0), border);
        EXPECT_EQ(Pixels::at(chart.image(), x, 59), border);
    }
    for (int y = 0; y < 60; ++y) {
        EXPECT_EQ(Pixels::at(chart.image(), 0, y), border);
        EXPECT_EQ(Pixels::at(chart.image(), 79, y), border);
    }
    EXPECT_EQ(Pixels::at(chart.image(), 1, 1), settings.color(S::OceanColor));
}

TEST_F(MapGeneratorTest, StatusesOfARunWithOneLayerOff)
{
    settings.setOn(S::Lake, false);
    settings.setOn(S::GridSelect, false);
    QFile::remove(dir.filePath(QStringLiteral("map.gil"))); // never opened
    record();
    const QStringList expected = {"Preparing...",
                                  "Erasing workchart...",
                                  "Preparing vector map...",
                                  "Preparing to draw (1)...",
                                  "Drawing vector map (1)...",
                                  "Preparing to draw (2)...",
                                  "Preparing graticule map...",
                                  "Finished graticule map...",
                                  "Drawing vector map (2)...",
                                  "Preparing to draw (3)...",
                                  "Preparing to draw (4)...",
                                  "Drawing vector map (4)...",
                                  "Preparing to draw (5)...",
                                  "Preparing to draw (6)...",
                                  "Drawing vector map (6)...",
                                  "Drawing Earth circle...",
                                  "Drawing counties...",
                                  "Finishing map...",
                                  "Map completed"};
    EXPECT_EQ(progress.statuses(), expected);
    EXPECT_EQ(progress.events.first(), QStringLiteral("Preparing..."));
    EXPECT_EQ(progress.events[1], QStringLiteral("<busy>"));
    EXPECT_EQ(progress.events.last(), QStringLiteral("Map completed"));
    EXPECT_EQ(progress.events[progress.events.size() - 2], QStringLiteral("<idle>"));
}

// Land first, then graticule and overlays, then state borders and the rest, then the border.
TEST_F(MapGeneratorTest, LayerOrderWithTheGraticuleOverOrUnderTheLand)
{
    settings.setText(S::GraticuleType, QStringLiteral("Cross"));
    record();
    QStringList drawing = canvas.callsOf({"polygon", "polyline", "lineTo", "rectangle"});
    const auto firstOf = [&](const char *word) {
        for (int i = 0; i < drawing.size(); ++i)
            if (drawing[i].startsWith(QLatin1String(word)))
                return i;
        return -1;
    };
    EXPECT_EQ(firstOf("polygon"), 0);
    EXPECT_LT(firstOf("lineTo"), firstOf("polyline")); // graticule under the state borders
    EXPECT_EQ(drawing.last().section(u' ', 0, 0), QStringLiteral("rectangle"));
    EXPECT_EQ(canvas.callsOf({QStringLiteral("polyline")}).size(), 4); // layers 2, 3, 4, coast

    settings.setOn(S::BehindLand, true);
    canvas.clear();
    record();
    drawing = canvas.callsOf({"polygon", "polyline", "lineTo", "rectangle"});
    EXPECT_LT(firstOf("lineTo"), firstOf("polygon")); // graticule under the land
}

TEST_F(MapGeneratorTest, EveryLayerDrawsWithASolidPen)
{
    settings.setText(S::GraticuleType, QStringLiteral("Dashed"));
    record();
    QString style;
    for (const QString &call : canvas.calls()) {
        if (call.startsWith(QStringLiteral("penStyle")))
            style = call;
        if (call.startsWith(QStringLiteral("poly")) || call.startsWith(QStringLiteral("rect"))) {
            EXPECT_EQ(style, QStringLiteral("penStyle solid")) << call.toStdString();
        }
    }
}

TEST_F(MapGeneratorTest, BadWidthOrIntervalStopsTheRun)
{
    settings.setText(S::StateWidth, QStringLiteral("1.5"));
    try {
        record();
        ADD_FAILURE() << "drew with a width of 1.5";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'1.5' is not a valid integer value"));
    }
    EXPECT_EQ(progress.events.last(), QStringLiteral("<idle>")); // the cursor comes back
    EXPECT_TRUE(canvas.callsOf({QStringLiteral("polygon")}).isEmpty());

    settings.setText(S::StateWidth, QStringLiteral("1"));
    settings.setText(S::GridInterval, QStringLiteral("0"));
    canvas.clear();
    EXPECT_THROW(record(), ChartError);
    EXPECT_TRUE(canvas.callsOf({QStringLiteral("fillRect")}).isEmpty()); // nothing drawn
    settings.setOn(S::GridSelect, false);
    EXPECT_NO_THROW(record()); // no graticule: the interval does not matter
}

TEST_F(MapGeneratorTest, IntervalWithBlanksAroundItWasRefused)
{
    const auto drawingWith = [this](const char *interval) {
        settings.setText(S::GridInterval, QLatin1String(interval));
        canvas.clear();
        record();
        return canvas.calls();
    };
    const QStringList fifteen = drawingWith("15");
    ASSERT_NE(fifteen, drawingWith("10")); // the interval shows in the drawing
    for (const char *padded : {" 15 ", "15  ", "\t15\r\n"})
        EXPECT_EQ(drawingWith(padded), fifteen) << padded;
    for (const char *below : {" 0 ", "\t-3 ", "  "}) {
        settings.setText(S::GridInterval, QLatin1String(below));
        EXPECT_THROW(record(), ChartError) << below;
    }
}

TEST_F(MapGeneratorTest, MissingFileOfAnEnabledLayerStopsTheRun)
{
    QFile::remove(dir.filePath(QStringLiteral("map.gis")));
    try {
        record();
        ADD_FAILURE() << "drew without the state borders";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("File not found: ") + dir.filePath("map.gis"));
    }
    EXPECT_EQ(progress.statuses().last(), QStringLiteral("Drawing vector map (2)..."));
}

TEST_F(MapGeneratorTest, ChartSizeBeyondTheLimitsIsRefused)
{
    view.ChartWidth = 40000;
    EXPECT_THROW(record(), ChartError);
    EXPECT_TRUE(chart.isEmpty());
}
