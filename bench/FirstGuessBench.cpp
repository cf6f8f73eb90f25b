// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The first guess from 2,000 stations over the United States on a 1600 x 1200 chart: the
// Barnes analysis, the isobars traced, smoothed and thinned, and the closed centres.
#include "mapgen/Projection.h"
#include "objective/FirstGuess.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace brimlark;

namespace
{

const ViewValues UnitedStates{.centerLat = 39, .centerLon = -96, .zoom = 1.2, .chartWidth = 1600,
                              .chartHeight = 1200};

// A jittered grid of stations, each reporting a low of 16 hPa over Kansas on a gradient.
std::vector<PlottedStation> twoThousandStations(const QDateTime &time)
{
    std::vector<PlottedStation> stations;
    for (int i = 0; i < 2000; ++i) {
        const double jitter = std::sin(i * 12.9898) * 0.25;
        const GeoPoint p{25 + (i / 50) * 0.6 + jitter, -125 + (i % 50) * 1.16 - jitter};
        Observation o;
        o.station = QStringLiteral("S%1").arg(i);
        o.time = time;
        const double r2 = std::pow(p.latitude - 38, 2) + std::pow((p.longitude + 98) * 0.8, 2);
        o.seaLevelPressure = 1016 - 16 * std::exp(-r2 / 50) + 0.3 * (p.latitude - 38);
        stations.push_back(
            {Projection::projectToChart(UnitedStates, p.latitude, p.longitude), p, o});
    }
    return stations;
}

void FirstGuess2000Stations1600x1200(benchmark::State &state)
{
    const QDateTime time(QDate(2019, 7, 1), QTime(12, 0), Qt::UTC);
    const std::vector<PlottedStation> stations = twoThousandStations(time);
    const FirstGuess analysis(UnitedStates, {}, QStringLiteral("C"));
    FirstGuess::Result result;
    for (auto _ : state)
        result = analysis.analyse(stations, time, {});
    state.counters["isobars"] = result.isolines;
    state.counters["centres"] = result.lows + result.highs;
}
BENCHMARK(FirstGuess2000Stations1600x1200)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

} // namespace
