// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Map generation: the projection per call and whole base maps on a synthetic map set.
#include "SilentProgress.h"
#include "canvas/RasterCanvas.h"
#include "mapgen/MapGenerator.h"
#include "mapgen/Projection.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>

using namespace brimlark;

namespace
{

void appendRecord(QByteArray &out, int code, int latitude, int longitude)
{
    for (int v : {code, latitude, longitude}) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    }
}

// Rings of points in minutes of arc around North America: count rings of size points.
QByteArray rings(int count, int size, double radiusDegrees)
{
    QByteArray out;
    for (int r = 0; r < count; ++r) {
        const double lat = 25 + (r * 37 % 25);
        const double lon = -125 + (r * 53 % 60);
        for (int i = 0; i < size; ++i) {
            const double a = 2 * M_PI * i / size;
            appendRecord(out, i == 0 ? 1000 : 1,
                         int(std::lround((lat + radiusDegrees * std::sin(a)) * 60)),
                         int(std::lround((lon + radiusDegrees * std::cos(a)) * 60)));
        }
    }
    return out;
}

// About 300 000 points in all: land, state borders, lakes, islands, rivers and coasts.
class SyntheticMaps
{
public:
    SyntheticMaps()
    {
        write("map.gin", rings(60, 2000, 4));
        write("map.gis", rings(300, 250, 2));
        write("map.gil", rings(200, 100, 0.5));
        write("map.gii", rings(200, 50, 0.3));
        write("map.gir", rings(100, 100, 1));
        write("map.gic", rings(60, 200, 4));
        QByteArray overlay;
        for (int i = 0; i < 20000; ++i) {
            const int lat = 3000 + (i * 7 % 1500);
            const int lon = 9000 + (i * 11 % 2500);
            for (int v : {i % 20 == 0 ? 9999 : lat, lon}) {
                overlay.append(char(v & 0xFF));
                overlay.append(char((v >> 8) & 0xFF));
            }
        }
        write("map.cgf", overlay, 4);
        write("map.hwy", overlay, 4);
    }
    const Workspace &workspace() const { return m_workspace; }
    /// Points in the map files and overlays.
    qint64 points() const { return m_points; }

private:
    void write(const char *name, const QByteArray &bytes, int recordSize = 6)
    {
        QFile file(m_dir.filePath(QLatin1String(name)));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        m_points += bytes.size() / recordSize;
    }
    qint64 m_points = 0;
    QTemporaryDir m_dir;
    Workspace m_workspace{m_dir.path()};
};

void projectToChart(benchmark::State &state)
{
    const ViewValues view{39, -96, 1.2, 1600, 1200};
    double lat = 30;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Projection::projectToChart(view, lat, -100));
        lat = lat > 50 ? 30 : lat + 0.01;
    }
}
BENCHMARK(projectToChart)->Repetitions(9)->ReportAggregatesOnly();

void GenerateMapSynthetic(benchmark::State &state)
{
    static const SyntheticMaps maps;
    ChartSettings settings;
    settings.setOn(ChartSettings::River, true);
    const ViewValues view{39, -96, 1.2, int(state.range(0)), int(state.range(1))};
    ChartBitmap chart;
    RasterCanvas canvas(chart);
    SilentProgress progress;
    for (auto _ : state)
        MapGenerator(chart, canvas, settings, maps.workspace(), progress).generateMap(view);
    state.SetItemsProcessed(state.iterations() * maps.points());
}
BENCHMARK(GenerateMapSynthetic)
    ->Args({800, 600})
    ->Args({1600, 1200})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// The map data shipped beside the program: the default view of the United States and a
// whole-globe view, with the default preferences; the United States also with LakeFill off,
// for what filling the lakes costs (the fourth argument is LakeFill).
void GenerateMapShipped(benchmark::State &state)
{
    ChartSettings settings;
    settings.setOn(ChartSettings::LakeFill, state.range(3) != 0);
    const Workspace data(QCoreApplication::applicationDirPath());
    const bool globe = state.range(2) != 0;
    const ViewValues view{globe ? 20.0 : 39.0, globe ? 0.0 : -96.0, globe ? 0.45 : 1.2,
                          int(state.range(0)), int(state.range(1))};
    ChartBitmap chart;
    RasterCanvas canvas(chart);
    SilentProgress progress;
    for (auto _ : state)
        MapGenerator(chart, canvas, settings, data, progress).generateMap(view);
}
BENCHMARK(GenerateMapShipped)
    ->Args({800, 600, 0, 1})
    ->Args({1600, 1200, 0, 1})
    ->Args({1600, 1200, 0, 0})
    ->Args({800, 600, 1, 1})
    ->Args({1600, 1200, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

} // namespace
