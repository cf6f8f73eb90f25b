// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "objective/FirstGuess.h"

#include "analysis/StationModel.h"
#include "base/ChartError.h"
#include "objective/BarnesAnalysis.h"
#include "objective/ContourShaper.h"
#include "objective/ContourTracer.h"
#include "objective/PressureCentres.h"

#include <QRectF>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>

namespace brimlark
{

namespace
{

using Quantity = ContourValue::Quantity;

// What the atmosphere at the surface holds: the lowest and highest sea-level pressures and
// temperatures ever measured lie inside these bounds.
constexpr double LowestPressure = 850;
constexpr double HighestPressure = 1090;
constexpr double LowestCelsius = -90;
constexpr double HighestCelsius = 60;

// A line shorter than this many grid spacings is the trace of noise, not an isoline.
constexpr double ShortestLine = 2;

QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1StringView(n == 1 ? one : many));
}

} // namespace

QString FirstGuess::Result::summary(Quantity quantity) const
{
    const char *lines[][2] = {
        {"isobar", "isobars"}, {"isotherm", "isotherms"}, {"isodrosotherm", "isodrosotherms"}};
    QString text = QStringLiteral("First guess: ")
                   + counted(isolines, lines[int(quantity)][0], lines[int(quantity)][1]);
    if (quantity == Quantity::Pressure)
        text += QStringLiteral(", %1, %2")
                    .arg(counted(lows, "low", "lows"), counted(highs, "high", "highs"));
    text += QStringLiteral(" from %1").arg(counted(stations, "station", "stations"));
    QStringList leftOut;
    if (outOfBounds > 0)
        leftOut.append(QStringLiteral("%1 out of bounds").arg(outOfBounds));
    if (outliers > 0)
        leftOut.append(QStringLiteral("%1 unlike the neighbours").arg(outliers));
    if (!leftOut.isEmpty())
        text += QStringLiteral("; left out %1").arg(leftOut.join(QStringLiteral(", ")));
    return text;
}

FirstGuess::FirstGuess(const ViewValues &view, const FirstGuessChoice &choice,
                       const QString &temperatureUnit)
    : m_view(view), m_choice(choice),
      m_unit(choice.quantity == Quantity::Pressure ? QStringLiteral("hPa")
                                                   : StationModel::unitOf(temperatureUnit))
{
}

FirstGuess::Result FirstGuess::analyse(std::span<const PlottedStation> stations,
                                       const QDateTime &time, const PanelLine &panel) const
{
    Result result;
    std::vector<StationValue> values = valuesOf(stations, time, result);
    if (values.size() < FewestStations)
        throw ChartError(
            QStringLiteral("The first guess needs at least %1 plotted stations with a %2 "
                           "within bounds; there are %3")
                .arg(FewestStations)
                .arg(QString::fromLatin1(QuantityNames::of(m_choice.quantity).caption).toLower())
                .arg(values.size()));
    values = withoutOutliers(std::move(values), result);
    result.stations = int(values.size());
    const BarnesAnalysis barnes(m_view, std::move(values));
    result.meanSpacing = barnes.meanSpacing();
    const AnalysisGrid grid = barnes.analyse();
    addIsolines(grid, panel, result);
    if (m_choice.quantity == Quantity::Pressure)
        addCentres(grid, result);
    return result;
}

// The values that stand apart from their neighbours' left out: more than 10 hPa, or 15
// degrees C, beyond what the neighbours give at the station and far beyond their spread.
std::vector<StationValue> FirstGuess::withoutOutliers(std::vector<StationValue> values,
                                                      Result &result) const
{
    const double limit = m_choice.quantity == Quantity::Pressure ? 10
                         : m_unit == QStringLiteral("F")         ? 27
                                                                 : 15;
    const std::vector<size_t> apart = BarnesAnalysis(m_view, values).outliers(limit);
    for (auto i = apart.rbegin(); i != apart.rend(); ++i)
        values.erase(values.begin() + std::ptrdiff_t(*i));
    result.outliers = int(apart.size());
    return values;
}

// The value in the unit of the analysis, when the report has one within bounds.
std::optional<double> FirstGuess::valueOf(const Observation &report) const
{
    if (m_choice.quantity == Quantity::Pressure)
        return report.seaLevelPressure;
    return m_choice.quantity == Quantity::Temperature ? report.temperature : report.dewPoint;
}

// The stations' values: those out of bounds left out, and of stations at one position the
// report nearest the time.
std::vector<StationValue> FirstGuess::valuesOf(std::span<const PlottedStation> stations,
                                               const QDateTime &time, Result &result) const
{
    const bool pressure = m_choice.quantity == Quantity::Pressure;
    std::map<std::pair<double, double>, const PlottedStation *> byPosition;
    for (const PlottedStation &s : stations) {
        const std::optional<double> value = valueOf(s.report);
        if (!value)
            continue;
        if (!(*value >= (pressure ? LowestPressure : LowestCelsius)
              && *value <= (pressure ? HighestPressure : HighestCelsius))) {
            ++result.outOfBounds;
            continue;
        }
        const auto [it, fresh] =
            byPosition.try_emplace({s.position.latitude, s.position.longitude}, &s);
        if (fresh)
            continue;
        ++result.samePosition;
        if (std::abs(time.secsTo(s.report.time)) < std::abs(time.secsTo(it->second->report.time)))
            it->second = &s;
    }
    std::vector<StationValue> values;
    for (const auto &[position, s] : byPosition) {
        // In the unit of the analysis: a pressure stays in hPa.
        values.push_back(
            {s->position, s->at, StationModel::degreesIn(*valueOf(s->report), m_unit)});
    }
    return values;
}

void FirstGuess::addIsolines(const AnalysisGrid &grid, const PanelLine &panel, Result &result) const
{
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
    for (const double v : grid.values)
        if (AnalysisGrid::hasValue(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    const ContourTracer tracer(grid);
    for (double k = std::ceil(low / m_choice.interval); k * m_choice.interval <= high; ++k) {
        const ContourValue contour{m_choice.quantity, k * m_choice.interval, m_unit};
        for (const std::vector<QPointF> &traced : tracer.trace(contour.value)) {
            const std::vector<QPointF> line = ContourShaper::smoothed(traced);
            if (ContourShaper::length(line) < ShortestLine * grid.spacing)
                continue;
            result.features.push_back({.kind = DrawnFeature::Kind::Line,
                                       .tool = LineTool::Isopleth,
                                       .points = ContourShaper::thinned(line),
                                       .panel = panel,
                                       .contour = contour});
            ++result.isolines;
        }
    }
}

void FirstGuess::addCentres(const AnalysisGrid &grid, Result &result) const
{
    const QRectF chart(0, 0, m_view.chartWidth, m_view.chartHeight);
    for (const PressureCentres::Centre &c : PressureCentres(grid, m_choice.interval).find()) {
        if (!chart.contains(c.at))
            continue;
        // Filled in place: moving a feature made here trips gcc 12's uninitialized-use
        // warning on its empty contour under the sanitizers.
        DrawnFeature &centre = result.features.emplace_back();
        centre.kind = c.high ? DrawnFeature::Kind::High : DrawnFeature::Kind::Low;
        centre.points = {c.at};
        centre.pressure = int(std::lround(c.value));
        ++(c.high ? result.highs : result.lows);
    }
}

} // namespace brimlark
