// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Lines of the shipped map data that cannot reach the chart are left out before they are
// projected; the charts must come out the same to the pixel as when every line is drawn.
#include "canvas/RasterCanvas.h"
#include "mapgen/VectorMapFile.h"
#include "support/Pixels.h"
#include "support/RecordingProgress.h"

#include <gtest/gtest.h>

#include <random>

using namespace brimlark;

namespace
{

enum class Drawing { Lines, Outlines, Fills };

struct MapLayer {
    const char *file;
    Drawing drawing;
};

constexpr MapLayer Layers[] = {{"map.gin", Drawing::Outlines}, {"map.gis", Drawing::Lines},
                               {"map.gil", Drawing::Fills},    {"map.gii", Drawing::Outlines},
                               {"map.gir", Drawing::Lines},    {"map.gic", Drawing::Lines}};

ChartBitmap drawLayers(const ViewValues &view, int penWidth, bool skipUnreachable)
{
    ChartBitmap chart = Pixels::sentinelChart(view.chartWidth, view.chartHeight);
    RasterCanvas canvas(chart);
    RecordingProgress progress;
    canvas.setPenWidth(penWidth);
    VectorMapFile maps(canvas, view, progress);
    maps.setSkipUnreachable(skipUnreachable);
    ChartColor colour = 0x102030;
    for (const MapLayer &layer : Layers) {
        colour += 0x231507; // a colour per layer, so a layer drawn differently shows
        canvas.setPenColor(colour);
        canvas.setBrushColor(colour ^ 0x808080);
        const QString path = QStringLiteral(BRIMLARK_DATA_DIR "/") + QLatin1String(layer.file);
        if (layer.drawing == Drawing::Fills)
            maps.fillMapFile(path);
        else
            maps.drawMapFile(path, layer.drawing == Drawing::Outlines);
    }
    return chart;
}

void expectSameWithAndWithoutSkipping(const ViewValues &view, int penWidth)
{
    const QImage all = drawLayers(view, penWidth, false).image();
    const QImage skipped = drawLayers(view, penWidth, true).image();
    EXPECT_TRUE(all == skipped) << "centre " << view.centerLat << "," << view.centerLon << " zoom "
                                << view.zoom << " " << view.chartWidth << "x" << view.chartHeight
                                << " pen " << penWidth << ": "
                                << Pixels::differenceCount(all, skipped) << " pixels differ";
}

} // namespace

// Regional views where the disc overfills the chart, whole-globe views with the far side
// and the rim in the picture, the poles, the date line, close views with almost every line
// off the chart, and wide pens whose strokes reach in from beyond the edges.
TEST(SkippedLinesTest, ChosenViewsComeOutTheSame)
{
    const ViewValues views[] = {
        {39, -96, 1.2, 1600, 1200}, {38.5, -98, 8, 800, 600},   {50, 10, 1.5, 640, 480},
        {0, 0, 0.34, 400, 400},     {-41, 174, 0.45, 480, 360}, {90, 0, 0.45, 400, 300},
        {-90, 0, 1.0, 400, 300},    {0, 180, 2, 400, 300},      {65, -170, 3, 400, 300},
        {-35, 20, 40, 320, 240},    {30, 120, 0.2, 300, 300},   {-10, -60, 0.5, 90, 400},
    };
    for (const ViewValues &view : views) {
        for (int penWidth : {1, 3, 25})
            expectSameWithAndWithoutSkipping(view, penWidth);
    }
}

TEST(SkippedLinesTest, RandomViewsComeOutTheSame)
{
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> latitude(-90, 90), longitude(-180, 180);
    std::uniform_real_distribution<double> zoomPower(-1.5, 5); // zoom 0.22 .. 150
    std::uniform_int_distribution<int> size(40, 320), pen(1, 12);
    for (int i = 0; i < 60; ++i) {
        const ViewValues view{latitude(random), longitude(random), std::exp(zoomPower(random)),
                              size(random), size(random)};
        expectSameWithAndWithoutSkipping(view, pen(random));
    }
}
