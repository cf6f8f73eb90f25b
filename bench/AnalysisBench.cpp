// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// A press on a 1600 x 1200 chart with 100 points in the segment: the whole press of the
// chart session (restore the snapshot, draw, save the result) and the drawing alone
// (spline, walk and raster); and the chart drawn again from an analysis of 100 features.
#include "analysis/SegmentRenderer.h"
#include "canvas/ChartBitmap.h"
#include "canvas/RasterCanvas.h"
#include "editing/ChartSession.h"
#include "workspace/ChartFiles.h"
#include "workspace/Workspace.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <vector>

using namespace brimlark;

namespace
{

class NoLabels : public PressPrompt
{
public:
    QString labelText() override { return {}; }
};

// A hundred points wandering across the chart, as a long front would.
std::vector<QPointF> hundredPoints()
{
    std::vector<QPointF> points;
    for (int i = 0; i < 100; ++i)
        points.emplace_back(50 + i * 15, 600 + ((i % 7) - 3) * 60 + (i % 2) * 25);
    return points;
}

ChartBitmap oceanChart()
{
    QImage image(1600, 1200, QImage::Format_RGB32);
    image.fill(qRgb(206, 206, 255));
    ChartBitmap chart;
    chart.assign(image, 0);
    return chart;
}

// A session in a workspace of its own whose chart and base map is the ocean chart.
struct OceanSession {
    OceanSession()
    {
        const QString chartFile = dir.filePath(QStringLiteral("ocean.bmp"));
        ChartFiles::saveBitmap(oceanChart(), chartFile);
        session.load(chartFile);
    }
    QTemporaryDir dir;
    const ChartSettings settings;
    ChartSession session{settings, Workspace(dir.path(), dir.path())};
};

void DrawSegment100Points(benchmark::State &state)
{
    ChartBitmap chart = oceanChart();
    RasterCanvas canvas(chart);
    const ChartSettings settings;
    const auto points = hundredPoints();
    const auto tool = LineTool(state.range(0));
    for (auto _ : state)
        SegmentRenderer(canvas, settings).drawSegment(tool, points, {"Black", "1 px"});
}
BENCHMARK(DrawSegment100Points)
    ->Arg(qint32(LineTool::StationaryFront))
    ->Arg(qint32(LineTool::ColdFront))
    ->Arg(qint32(LineTool::Dryline))
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// The press that brings a stationary front to its hundredth point, as the window makes it:
// the snapshot restored, the whole segment drawn, temp2.bmp written. The 99 presses before
// it are not timed.
void Press1600x1200With100Points(benchmark::State &state)
{
    OceanSession ocean;
    ChartSession &session = ocean.session;
    session.chooseLineTool(LineTool::StationaryFront);
    NoLabels prompt;
    const PanelLine panel{"Black", "1 px"};
    const auto points = hundredPoints();
    for (auto _ : state) {
        state.PauseTiming();
        session.cancelSegment();
        for (size_t i = 0; i + 1 < points.size(); ++i)
            session.press(int(points[i].x()), int(points[i].y()), panel, prompt);
        state.ResumeTiming();
        session.press(int(points.back().x()), int(points.back().y()), panel, prompt);
    }
}
BENCHMARK(Press1600x1200With100Points)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// A session on the ocean chart holding an analysis of 100 features: 60 fronts and troughs
// of 10 points, 20 centres and 20 labels, spread over the chart.
class FixedLabel : public PressPrompt
{
public:
    QString labelText() override { return QStringLiteral("1016 hPa"); }
};

void drawHundredFeatures(ChartSession &session)
{
    FixedLabel prompt;
    const PanelLine panel{"Black", "1 px"};
    for (int i = 0; i < 60; ++i) {
        session.chooseLineTool(LineTool(1 + i % 6));
        for (int k = 0; k < 10; ++k)
            session.press(40 + (i % 10) * 150 + k * 14, 60 + (i / 10) * 180 + (k % 3) * 20, panel,
                          prompt);
    }
    for (int i = 0; i < 40; ++i) {
        session.chooseMarker(i >= 20 ? PressMode::Text
                             : i % 2 ? PressMode::LowCentre
                                     : PressMode::HighCentre);
        session.press(80 + (i % 20) * 75, 1080 + (i / 20) * 60, panel, prompt);
    }
    session.commit();
}

// The chart drawn again from the base map and every feature: what each edit and each step
// of a drag costs.
void Redraw1600x1200With100Features(benchmark::State &state)
{
    OceanSession ocean;
    ChartSession &session = ocean.session;
    drawHundredFeatures(session);
    for (auto _ : state)
        session.redraw();
}
BENCHMARK(Redraw1600x1200With100Features)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

} // namespace
