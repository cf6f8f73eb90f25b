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
    void record() { MapGenerator(chart, canvas, settings, workspace, progress).generateMap(view); }

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
    MapGenerator(chart, raster, settings, workspace, progress).generateMap(view);
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
    MapGenerator(chart, raster, settings, workspace, progress).generateMap(view);
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
                                  "Drawing Earth circle...",
                                  "Preparing vector map...",
                                  "Preparing to draw (1)...",
                                  "Drawing vector map (1)...",
                                  "Preparing to draw (2)...",
                                  "Preparing graticule map...",
                                  "Finished graticule map...",
                                  "Drawing counties...",
                                  "Drawing vector map (2)...",
                                  "Preparing to draw (3)...",
                                  "Preparing to draw (4)...",
                                  "Drawing vector map (4)...",
                                  "Preparing to draw (5)...",
                                  "Preparing to draw (6)...",
                                  "Drawing vector map (6)...",
                                  "Finishing map...",
                                  "Map completed"};
    EXPECT_EQ(progress.statuses(), expected);
    EXPECT_EQ(progress.events.first(), QStringLiteral("Preparing..."));
    EXPECT_EQ(progress.events[1], QStringLiteral("<busy>"));
    EXPECT_EQ(progress.events.last(), QStringLiteral("Map completed"));
    EXPECT_EQ(progress.events[progress.events.size() - 2], QStringLiteral("<idle>"));
}

// Land first, then graticule and overlays, then state borders and the rest, then the border.
// The land is filled only: its 1-pixel outline is left to the coast drawn over it.
TEST_F(MapGeneratorTest, LayerOrderWithTheGraticuleOverOrUnderTheLand)
{
    settings.setText(S::GraticuleType, QStringLiteral("Cross"));
    record();
    QStringList drawing = canvas.callsOf({"fillPolygon", "polyline", "lineTo", "rectangle"});
    const auto firstOf = [&](const char *word) {
        for (int i = 0; i < drawing.size(); ++i)
            if (drawing[i].startsWith(QLatin1String(word)))
                return i;
        return -1;
    };
    EXPECT_EQ(firstOf("fillPolygon"), 0);
    EXPECT_LT(firstOf("lineTo"), firstOf("polyline")); // graticule under the state borders
    EXPECT_EQ(drawing.last().section(u' ', 0, 0), QStringLiteral("rectangle"));
    EXPECT_EQ(canvas.callsOf({QStringLiteral("polyline")}).size(), 4); // layers 2, 3, 4, coast

    settings.setOn(S::BehindLand, true);
    canvas.clear();
    record();
    drawing = canvas.callsOf({"fillPolygon", "polyline", "lineTo", "rectangle"});
    EXPECT_LT(firstOf("lineTo"), firstOf("fillPolygon")); // graticule under the land
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

TEST_F(MapGeneratorTest, BlanksAroundTheIntervalAreNotPartOfIt)
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

// The status line is left announcing the step that failed.
TEST_F(MapGeneratorTest, MissingFileOfAnEnabledLayerStopsTheRun)
{
    const struct {
        const char *file, *status;
    } cases[] = {{"map.gis", "Drawing vector map (2)..."}, {"map.cgf", "Drawing counties..."}};
    settings.setOn(S::County, true);
    settings.setOn(S::CountyScaleAware, false); // the test chart is far too small to read them
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        SetUp();
        QFile::remove(dir.filePath(QLatin1String(c.file)));
        try {
            record();
            ADD_FAILURE() << "drew without " << c.file;
        } catch (const ChartError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("File not found: ") + dir.filePath(c.file));
        }
        EXPECT_EQ(progress.statuses().last(), QLatin1String(c.status));
    }
}

TEST_F(MapGeneratorTest, ChartSizeBeyondTheLimitsIsRefused)
{
    view.chartWidth = 40000;
    EXPECT_THROW(record(), ChartError);
    EXPECT_TRUE(chart.isEmpty());
}

// The calls of a run, each cut to its name and first argument ("brushColor #CECEFF",
// "fillPolygon (40,30)"), for the order of the layers.
static QStringList callWords(const RecordingCanvas &canvas, const QStringList &words)
{
    QStringList cut;
    for (const QString &call : canvas.callsOf(words))
        cut << call.section(u' ', 0, 0);
    return cut;
}

// Land, then the lakes in the ocean colour and the islands in them in the land colour, then
// the graticule, overlays and state borders over the water; the fills stroke no outline.
TEST_F(MapGeneratorTest, LakeFillComesBetweenTheLandAndEverythingDrawnOverIt)
{
    settings.setOn(S::Coast, false); // the land strokes its own outline: a polygon
    record();
    const QStringList fills = canvas.callsOf({"brushColor", "polygon", "fillPolygon"});
    const QString ocean = RecordingCanvas::colorText(settings.color(S::OceanColor));
    const QString land = RecordingCanvas::colorText(settings.color(S::LandmassColor));
    ASSERT_EQ(fills.size(), 7);
    EXPECT_EQ(fills[0], "brushColor " + ocean); // the erase
    EXPECT_EQ(fills[1], "brushColor " + land);
    EXPECT_TRUE(fills[2].startsWith("polygon "));
    EXPECT_EQ(fills[3], "brushColor " + ocean);
    EXPECT_TRUE(fills[4].startsWith("fillPolygon "));
    EXPECT_EQ(fills[5], "brushColor " + land);
    EXPECT_TRUE(fills[6].startsWith("fillPolygon "));

    const QStringList drawing = callWords(canvas, {"polygon", "fillPolygon", "lineTo", "polyline"});
    EXPECT_EQ(drawing.mid(0, 3), QStringList({"polygon", "fillPolygon", "fillPolygon"}));
    EXPECT_EQ(drawing[3], "lineTo"); // the graticule, over the lakes

    const QStringList statuses = progress.statuses();
    EXPECT_EQ(statuses.indexOf("Filling lakes..."),
              statuses.indexOf("Drawing vector map (1)...") + 1);
}

// Lakes are holes in the land and follow it and their own shores; the islands in them follow
// the island shores. A file of a layer that is off is never opened for a fill either.
TEST_F(MapGeneratorTest, LakeFillFollowsTheLandLakeAndIslandSwitches)
{
    struct Case {
        const char *name;
        bool lakeFill, international, lake, island;
        int fills;
    };
    settings.setOn(S::Coast, false); // the land strokes its own outline: a polygon
    const Case cases[] = {{"all on", true, true, true, true, 2},
                          {"LakeFill off", false, true, true, true, 0},
                          {"land off", true, false, true, true, 0},
                          {"lakes off", true, true, false, true, 0},
                          {"islands off", true, true, true, false, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        settings.setOn(S::LakeFill, c.lakeFill);
        settings.setOn(S::International, c.international);
        settings.setOn(S::Lake, c.lake);
        settings.setOn(S::Island, c.island);
        canvas.clear();
        progress.events.clear();
        record();
        EXPECT_EQ(canvas.callsOf({QStringLiteral("fillPolygon")}).size(), c.fills);
        EXPECT_EQ(progress.statuses().contains("Filling lakes..."), c.fills > 0);
    }
    settings.setOn(S::Lake, false);
    settings.setOn(S::Island, false);
    QFile::remove(dir.filePath(QStringLiteral("map.gil")));
    QFile::remove(dir.filePath(QStringLiteral("map.gii")));
    EXPECT_NO_THROW(record());
}

TEST_F(MapGeneratorTest, MissingLakeFileStopsTheRunAtTheFill)
{
    QFile::remove(dir.filePath(QStringLiteral("map.gil")));
    EXPECT_THROW(record(), ChartError);
    EXPECT_EQ(progress.statuses().last(), QStringLiteral("Filling lakes..."));
}

// Pixels per degree of latitude at the centre, Zoom x ChartWidth x pi / 180 (the
// orthographic scale at the centre of the disc), whatever the centre and chart height.
TEST_F(MapGeneratorTest, ScaleAtTheViewCentre)
{
    struct Case {
        ViewValues view;
        double pixels;
    };
    const Case cases[] = {{{39, -96, 1.2, 1600, 1200}, 33.5103},
                          {{20, 0, 0.45, 800, 600}, 6.28319},
                          {{-60, 170, 1, 180, 5000}, 3.14159}};
    for (const Case &c : cases)
        EXPECT_NEAR(MapGenerator::pixelsPerDegree(c.view), c.pixels, 1e-4);
}

// With CountyScaleAware on the overlay is drawn from 15 pixels per degree (Zoom x width
// 859.437) up; with it off, or for the highways, the scale does not matter.
TEST_F(MapGeneratorTest, CountiesOnlyWhereTheyCanBeRead)
{
    struct Case {
        double zoom;
        int width;
        bool aware;
        bool drawn;
    };
    const Case cases[] = {{0.45, 800, true, false},   {0.5, 1718, true, false},
                          {1.0742, 800, true, false}, {1.0743, 800, true, true},
                          {1.2, 800, true, true},     {0.45, 800, false, true}};
    const QString county = "penColor " + RecordingCanvas::colorText(settings.color(S::CountyColor));
    const QString highway =
        "penColor " + RecordingCanvas::colorText(settings.color(S::HighwayColor));
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.zoom << " x " << c.width << " aware " << c.aware);
        settings.setOn(S::CountyScaleAware, c.aware);
        view.zoom = c.zoom;
        view.chartWidth = c.width;
        canvas.clear();
        record();
        EXPECT_EQ(canvas.calls().contains(county), c.drawn);
        EXPECT_TRUE(canvas.calls().contains(highway));
    }
    // A county overlay left out is never opened, like one switched off.
    QFile::remove(dir.filePath(QStringLiteral("map.cgf")));
    settings.setOn(S::CountyScaleAware, true);
    view.zoom = 0.45;
    EXPECT_NO_THROW(record());
}

namespace
{

// Removes map data files as soon as a status announces a step, so that a step that reads
// them again fails.
class FileRemovingProgress : public RecordingProgress
{
public:
    FileRemovingProgress(const QTemporaryDir &dir, QString step, QStringList files)
        : m_dir(dir), m_step(std::move(step)), m_files(std::move(files))
    {
    }
    void status(const QString &text) override
    {
        RecordingProgress::status(text);
        if (text == m_step)
            for (const QString &file : m_files)
                QFile::remove(m_dir.filePath(file));
    }

private:
    const QTemporaryDir &m_dir;
    QString m_step;
    QStringList m_files;
};

} // namespace

// map.gic holds map.gin's rings, each closed: with the land drawn, its outlines are the coast
// lines, ending at their first point again, and map.gic is not read. The land's 1-pixel
// outline lies wholly under them and is not stroked; a wider one is. Each ring reports its
// line done as the coast file's lines did, all but the last.
TEST_F(MapGeneratorTest, CoastLinesAreTheLandOutlines)
{
    const QByteArray twoRings =
        Land + int16Records({{1000, 2580, -6120}, {1, 2580, -6060}, {2, 2520, -6090}});
    writeFile("map.gin", twoRings);
    QFile::remove(dir.filePath(QStringLiteral("map.gic")));
    allOff();
    settings.setOn(S::International, true);
    settings.setOn(S::Coast, true);
    struct Case {
        const char *landWidth;
        const char *landFigure;
    };
    for (const Case c : {Case{"1", "fillPolygon"}, Case{"2", "polygon"}}) {
        SCOPED_TRACE(c.landWidth);
        settings.setText(S::InternationalWidth, QLatin1String(c.landWidth));
        canvas.clear();
        progress.events.clear();
        ASSERT_NO_THROW(record());
        const QStringList figures = canvas.callsOf({"polygon", "fillPolygon"});
        const QStringList coasts = canvas.callsOf({"polyline"});
        ASSERT_EQ(figures.size(), 2);
        ASSERT_EQ(coasts.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QString points = figures[i].section(u' ', 1);
            EXPECT_EQ(figures[i].section(u' ', 0, 0), QLatin1String(c.landFigure));
            EXPECT_EQ(coasts[i], "polyline " + points + " " + points.section(u' ', 0, 0));
        }
        const QStringList events = progress.events;
        EXPECT_EQ(events.mid(events.indexOf("Drawing vector map (6)...")).count("<line>"), 1);
    }
    settings.setOn(S::International, false); // no land outlines: the coast file is read
    EXPECT_THROW(record(), ChartError);
}

// With LakeFill on, the lake and island shores are stroked from the outlines of their fills:
// their files are read once.
TEST_F(MapGeneratorTest, LakeAndIslandShoresAreReadOnceWithTheirFills)
{
    FileRemovingProgress removing(dir, QStringLiteral("Drawing counties..."),
                                  {QStringLiteral("map.gil"), QStringLiteral("map.gii")});
    ASSERT_NO_THROW(MapGenerator(chart, canvas, settings, workspace, removing).generateMap(view));
    const QStringList drawing = canvas.callsOf({"fillPolygon", "polyline"});
    const QString lake = canvas.callsOf({"fillPolygon"}).value(1).section(u' ', 1);
    // The state borders, lake and island shores of the test files: the triangle's line as it
    // is, not closed.
    EXPECT_EQ(drawing.count("polyline " + lake), 3);

    settings.setOn(S::LakeFill, false);
    FileRemovingProgress again(dir, QStringLiteral("Drawing counties..."),
                               {QStringLiteral("map.gil")});
    EXPECT_THROW(MapGenerator(chart, canvas, settings, workspace, again).generateMap(view),
                 ChartError);
}
