// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "observation/Observation.h"

#include <QDateTime>
#include <QPointF>

#include <vector>

namespace brimlark
{

/// Which observations a chart plots: one report a station for the chosen time, and of those
/// no more than stay legible at the chart's scale.
class ObservationSelection
{
public:
    /// Reports this long before the chosen time, or after it, still stand for it.
    static constexpr qint64 SecondsBefore = 30 * 60;
    static constexpr qint64 SecondsAfter = 10 * 60;

    /// The hour (UTC, on the hour) that most observations were made in or just before:
    /// reports at 11:50 and 12:00 both count for 12:00, as stations report shortly before
    /// the hour. An invalid time when there are none.
    static QDateTime commonHour(const std::vector<Observation> &observations);

    /// For each station, the report nearest the time within SecondsBefore before it and
    /// SecondsAfter after it; of two as near, the correction, then the one read later.
    /// In the order of the stations' first reports.
    static std::vector<Observation> nearest(const std::vector<Observation> &observations,
                                            const QDateTime &time);

    /// A station model that competes for room on the chart.
    struct Candidate {
        QPointF at;            ///< its chart point
        int priority = 0;      ///< the station table's priority; higher goes first
        qint64 secondsOff = 0; ///< how far its report is from the chosen time
    };
    /// The candidates kept so that at most one stands in each square cell of the given side:
    /// the higher priority first, then the report nearer the time, then the one given first.
    /// Their indices, in the order given.
    static std::vector<size_t> legible(const std::vector<Candidate> &candidates, double cell);
};

} // namespace brimlark
