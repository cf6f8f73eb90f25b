// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Which reports a chart plots: the time, one report a station, and room on the chart.
#include "observation/ObservationSelection.h"

#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

Observation report(const char *station, int hour, int minute, bool correction = false)
{
    Observation o;
    o.station = QLatin1String(station);
    o.time = QDateTime(QDate(2019, 7, 1), QTime(hour, minute), Qt::UTC);
    o.correction = correction;
    o.report = QStringLiteral("%1 %2%3").arg(o.station).arg(hour).arg(minute);
    return o;
}

QDateTime at(int hour, int minute)
{
    return QDateTime(QDate(2019, 7, 1), QTime(hour, minute), Qt::UTC);
}

} // namespace

// Reports made in the half hour before an hour stand for that hour.
TEST(ObservationSelection, CommonHourCountsReportsJustBeforeIt)
{
    EXPECT_EQ(ObservationSelection::commonHour({report("A", 11, 50), report("B", 11, 56),
                                                report("C", 12, 0), report("D", 12, 56),
                                                report("E", 13, 0)}),
              at(12, 0));
    EXPECT_FALSE(ObservationSelection::commonHour({}).isValid());
}

// From 30 minutes before to 10 after, the nearest report; a correction of the same time
// replaces the report it corrects.
TEST(ObservationSelection, NearestReportWithinTheWindowAndCorrectionsWin)
{
    const std::vector<Observation> reports{
        report("KDEN", 11, 20), report("KDEN", 11, 45), report("KDEN", 11, 53),
        report("KDEN", 12, 15), report("KBOS", 11, 54), report("KBOS", 11, 54, true),
        report("KBOS", 11, 54), report("KSEA", 12, 10), report("KLAX", 12, 11)};
    const auto kept = ObservationSelection::nearest(reports, at(12, 0));
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].report, reports[2].report);
    EXPECT_TRUE(kept[1].correction);
    EXPECT_EQ(kept[2].station, QStringLiteral("KSEA"));
}

// One station a cell: the higher priority, then the report nearer the time, then the first.
TEST(ObservationSelection, OneStationACellByPriorityThenTime)
{
    using C = ObservationSelection::Candidate;
    const std::vector<C> candidates{{{10, 10}, 0, 0},   {{30, 20}, 99, 600}, {{45, 45}, 0, 0},
                                    {{60, 10}, 0, 300}, {{70, 30}, 0, 120},  {{75, 35}, 0, 120},
                                    {{130, 10}, 0, 0}};
    EXPECT_EQ(ObservationSelection::legible(candidates, 50), (std::vector<size_t>{1, 4, 6}));
}
