// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// A feed of over 10,000 reports read into observations: the sample feed of the observation
// tests repeated, each copy on another day so that its reports do not repeat the others.
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

} // namespace
