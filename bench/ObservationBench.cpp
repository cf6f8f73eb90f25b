// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// A feed of over 10,000 reports read into observations: the sample feed of the observation
// tests repeated, each copy on another day so that its reports do not repeat the others.
// And 2,000 observations plotted as station models on a 1600 x 1200 chart of the United
// States.
#include "canvas/ChartBitmap.h"
#include "canvas/RasterCanvas.h"
#include "editing/ObservationPlot.h"
#include "observation/MetarCollection.h"

#include <QFile>
#include <benchmark/benchmark.h>

using namespace brimlark;

namespace
{

// Twelve copies of the sample's 873 reports, 10,476 in all, the copies on days 01 to 12: only
// the report times have a blank and "011" before their hour and minute.
QByteArray feedOfTwelveDays()
{
    QFile file(QStringLiteral(BRIMLARK_SAMPLE_OBSERVATIONS));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray sample = file.readAll();
    QByteArray feed;
    for (int day = 1; day <= 12; ++day)
        feed += QByteArray(sample).replace(
            " 011", " " + QByteArray::number(day).rightJustified(2, '0') + "1");
    return feed;
}

void ReadFeedOf10476Reports(benchmark::State &state)
{
    const QByteArray feed = feedOfTwelveDays();
    int reports = 0;
    for (auto _ : state)
        reports = MetarCollection::parse(feed, QDate(2019, 7, 1)).reports;
    state.counters["reports"] = reports;
}
BENCHMARK(ReadFeedOf10476Reports)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// 2,000 stations on a grid over the United States, each with every value a model shows.
std::vector<Observation> twoThousandStations(const QDateTime &time)
{
    std::vector<Observation> stations;
    for (int i = 0; i < 2000; ++i) {
        Observation o;
        o.station = QStringLiteral("S%1").arg(i);
        o.time = time;
        o.position = GeoPoint{25 + (i / 50) * 0.6, -125 + (i % 50) * 1.16};
        o.windDirection = (i * 37) % 360;
        o.windSpeed = (i * 7) % 65;
        o.temperature = 10 + i % 20;
        o.dewPoint = i % 15;
        o.seaLevelPressure = 1000 + (i % 30);
        o.sky = Observation::Sky(1 + i % 6);
        o.weather = {i % 3 ? QStringLiteral("-RA") : QStringLiteral("BR")};
        stations.push_back(o);
    }
    return stations;
}

void Plot2000Stations1600x1200(benchmark::State &state)
{
    const QDateTime time(QDate(2019, 7, 1), QTime(12, 0), Qt::UTC);
    const std::vector<Observation> stations = twoThousandStations(time);
    QImage land(1600, 1200, QImage::Format_RGB32);
    land.fill(qRgb(250, 245, 230));
    ChartBitmap chart;
    const ChartSettings settings;
    const StationTable noTable;
    int plotted = 0;
    for (auto _ : state) {
        chart.assign(land, 0);
        RasterCanvas canvas(chart);
        plotted = ObservationPlot(canvas, settings, ViewValues{39, -96, 1.2, 1600, 1200}, noTable)
                      .plot(stations, time)
                      .plotted;
    }
    state.counters["plotted"] = plotted;
}
BENCHMARK(Plot2000Stations1600x1200)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

} // namespace
