// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Chart files after a generation: the three workspace bitmaps, saving as GIF, JPEG and PNG,
// and PNG's zlib levels on a real map.
#include "SilentProgress.h"
#include "canvas/ChartBitmap.h"
#include "canvas/RasterCanvas.h"
#include "formats/PngCodec.h"
#include "mapgen/MapGenerator.h"
#include "workspace/ChartFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace brimlark;

namespace
{

// A map-like chart: large areas of a few colours.
ChartBitmap mapLikeChart()
{
    QImage image(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 1600; ++x)
            image.setPixel(x, y,
                           ((x / 40 + y / 30) % 3) ? qRgb(250, 243, 228) : qRgb(206, 206, 255));
    ChartBitmap chart;
    chart.assign(image, 0);
    return chart;
}

void WorkspaceBitmaps1600x1200(benchmark::State &state)
{
    const ChartBitmap chart = mapLikeChart();
    QTemporaryDir dir;
    for (auto _ : state)
        for (const char *name : {"temp0.bmp", "temp1.bmp", "temp2.bmp"})
            ChartFiles::saveBitmap(chart, dir.filePath(QLatin1String(name)));
}
BENCHMARK(WorkspaceBitmaps1600x1200)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

void SaveChart1600x1200(benchmark::State &state, const char *name)
{
    const ChartBitmap chart = mapLikeChart();
    QTemporaryDir dir;
    for (auto _ : state)
        ChartFiles::save(chart, dir.filePath(QLatin1String(name)), QStringLiteral("75"));
}
BENCHMARK_CAPTURE(SaveChart1600x1200, gif, "chart.gif")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(SaveChart1600x1200, jpeg, "chart.jpg")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(SaveChart1600x1200, png, "chart.png")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// The United States at 1600 x 1200 from the shipped map data, default preferences.
const QImage &shippedMap()
{
    static const QImage map = [] {
        ChartBitmap chart;
        RasterCanvas canvas(chart);
        const ChartSettings settings;
        const Workspace data(QCoreApplication::applicationDirPath());
        SilentProgress progress;
        MapGenerator(chart, canvas, settings, data, progress)
            .generateMap(ViewValues{39, -96, 1.2, 1600, 1200});
        return chart.image();
    }();
    return map;
}

// PNG files of a real map at each zlib level (the argument), with the file's size.
void EncodePngShippedMap(benchmark::State &state)
{
    const QImage &map = shippedMap();
    qsizetype size = 0;
    for (auto _ : state)
        size = PngCodec::encode(map, {}, int(state.range(0))).size();
    state.counters["bytes"] = double(size);
}
BENCHMARK(EncodePngShippedMap)
    ->DenseRange(0, 9)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

} // namespace
