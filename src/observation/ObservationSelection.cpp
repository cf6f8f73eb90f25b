// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "observation/ObservationSelection.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>

namespace brimlark
{

namespace
{

// The hour a report stands for: the next full hour for one made in the half hour before it.
QDateTime hourOf(const QDateTime &time)
{
    const QDateTime shifted = time.addSecs(ObservationSelection::SecondsBefore);
    return QDateTime(shifted.date(), QTime(shifted.time().hour(), 0), Qt::UTC);
}

// Whether the report is a better one for the time than the one kept so far.
bool better(const Observation &report, const Observation &kept, const QDateTime &time)
{
    const qint64 off = std::abs(time.secsTo(report.time));
    const qint64 keptOff = std::abs(time.secsTo(kept.time));
    if (off != keptOff)
        return off < keptOff;
    return report.correction || !kept.correction; // a later report of the same standing wins
}

bool within(const Observation &report, const QDateTime &time)
{
    const qint64 off = time.secsTo(report.time);
    return off >= -ObservationSelection::SecondsBefore && off <= ObservationSelection::SecondsAfter;
}

} // namespace

QDateTime ObservationSelection::commonHour(const std::vector<Observation> &observations)
{
    std::map<QDateTime, int> counts;
    for (const Observation &o : observations)
        if (o.time.isValid())
            ++counts[hourOf(o.time)];
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto &a, const auto &b) { return a.second < b.second; });
    return most == counts.end() ? QDateTime() : most->first;
}

std::vector<Observation> ObservationSelection::nearest(const std::vector<Observation> &observations,
                                                       const QDateTime &time)
{
    std::vector<Observation> kept;
    std::map<QString, size_t> byStation;
    for (const Observation &report : observations) {
        if (!within(report, time))
            continue;
        const auto [at, first] = byStation.try_emplace(report.station, kept.size());
        if (first)
            kept.push_back(report);
        else if (better(report, kept[at->second], time))
            kept[at->second] = report;
    }
    return kept;
}

std::vector<size_t> ObservationSelection::legible(const std::vector<Candidate> &candidates,
                                                  double cell)
{
    std::vector<size_t> order(candidates.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const Candidate &x = candidates[a];
        const Candidate &y = candidates[b];
        if (x.priority != y.priority)
            return x.priority > y.priority;
        return std::abs(x.secondsOff) < std::abs(y.secondsOff);
    });
    std::set<std::pair<qint64, qint64>> taken;
    std::vector<size_t> kept;
    for (const size_t i : order) {
        const QPointF &p = candidates[i].at;
        const std::pair cellOf(qint64(std::floor(p.x() / cell)), qint64(std::floor(p.y() / cell)));
        if (taken.insert(cellOf).second)
            kept.push_back(i);
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

} // namespace brimlark
