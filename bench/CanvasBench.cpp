// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The chart surface: BMP files of an 800 x 600 chart and long lines of the rasteriser.
#include "canvas/ChartBitmap.h"
#include "canvas/RasterCanvas.h"
#include "workspace/ChartFiles.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace brimlark;

namespace
{

ChartBitmap sampleChart(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
    ChartBitmap chart;
    chart.assign(image, 0);
    return chart;
}

void BmpSave800x600(benchmark::State &state)
{
    const ChartBitmap chart = sampleChart(800, 600);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("temp1.bmp"));
    for (auto _ : state)
        ChartFiles::saveBitmap(chart, path);
}
BENCHMARK(BmpSave800x600)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BmpLoad800x600(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("temp1.bmp"));
    ChartFiles::saveBitmap(sampleChart(800, 600), path);
    ChartBitmap chart;
    for (auto _ : state)
        ChartFiles::loadBitmap(chart, path);
}
BENCHMARK(BmpLoad800x600)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

// A diagonal line of 1000 pixels with a pen of the given width.
void Line1000(benchmark::State &state)
{
    ChartBitmap chart = sampleChart(1100, 800);
    RasterCanvas canvas(chart);
    canvas.setPenWidth(int(state.range(0)));
    for (auto _ : state) {
        canvas.moveTo(10, 10);
        canvas.lineTo(1010, 510);
    }
}
BENCHMARK(Line1000)
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

} // namespace
