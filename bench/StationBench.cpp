// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Reading the station table, as the program does once before plotting observations, and
// finding its stations.
#include "observation/StationTable.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace brimlark;

namespace
{

// The shipped table beside the program, which the build copies there.
void StationTableShipped(benchmark::State &state)
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/sfstns.tbl");
    for (auto _ : state) {
        const StationTable table = StationTable::read(path);
        benchmark::DoNotOptimize(table.stations().data());
    }
}
BENCHMARK(StationTableShipped)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// Every station looked up as a report names it: the United States ones with a K before their
// three letters, which find them on the second try.
void StationLookups(benchmark::State &state)
{
    const StationTable table =
        StationTable::read(QCoreApplication::applicationDirPath() + QStringLiteral("/sfstns.tbl"));
    QStringList reportIds;
    for (const Station &station : table.stations())
        reportIds.append(station.id.size() == 3 ? QLatin1Char('K') + station.id : station.id);
    for (auto _ : state)
        for (const QString &id : reportIds)
            benchmark::DoNotOptimize(table.find(id));
    state.SetItemsProcessed(state.iterations() * reportIds.size());
}
BENCHMARK(StationLookups)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();

} // namespace
