// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "editing/ObservationPlot.h"

#include "analysis/StationModel.h"
#include "mapgen/Projection.h"
#include "observation/ObservationSelection.h"

#include <QRect>

#include <algorithm>

namespace brimlark
{

namespace
{

// A cell of the thinning grid holds one model: one and a half models' widths a side, which
// keeps the models apart and leaves enough stations to analyse.
constexpr double ModelsACell = 1.5;

} // namespace

ObservationPlot::ObservationPlot(ChartCanvas &canvas, const ChartSettings &settings,
                                 const ViewValues &view, const StationTable &stations)
    : m_canvas(canvas), m_settings(settings), m_view(view), m_stations(stations)
{
}

double ObservationPlot::modelSize(const ViewValues &view)
{
    const double radius = view.zoom * view.chartWidth;
    return std::clamp(radius / 200, 7.0, 14.0);
}

ObservationPlot::Summary ObservationPlot::plot(const std::vector<Observation> &reports,
                                               const QDateTime &time)
{
    Summary summary;
    const std::vector<Observation> chosen = ObservationSelection::nearest(reports, time);
    const std::vector<Placed> placed = place(chosen, summary);
    std::vector<ObservationSelection::Candidate> candidates;
    for (const Placed &p : placed) {
        candidates.push_back({p.at, p.priority, time.secsTo(p.observation->time)});
        summary.onChart.push_back({p.at, p.position, *p.observation});
    }
    const double size = modelSize(m_view);
    const auto kept =
        ObservationSelection::legible(candidates, ModelsACell * StationModel::widthFor(size));
    StationModel model(m_canvas, m_settings);
    for (const size_t i : kept) {
        model.draw(*placed[i].observation, placed[i].at, size, placed[i].position.latitude < 0);
        summary.onChart[i].drawn = true;
    }
    summary.plotted = int(kept.size());
    summary.hidden = int(placed.size() - kept.size());
    return summary;
}

// Each report at its station's chart point: the position it carries, or the table's.
std::vector<ObservationPlot::Placed> ObservationPlot::place(const std::vector<Observation> &chosen,
                                                            Summary &summary) const
{
    const QRect chart(0, 0, m_view.chartWidth, m_view.chartHeight);
    std::vector<Placed> placed;
    for (const Observation &o : chosen) {
        const Station *station = m_stations.find(o.station);
        if (!o.position && !station) {
            ++summary.notInTable;
            continue;
        }
        const GeoPoint position = o.position ? *o.position : station->position;
        const QPoint at = Projection::projectToChart(m_view, position.latitude, position.longitude);
        if (!chart.contains(at)) {
            ++summary.offChart;
            continue;
        }
        placed.push_back({&o, position, at, station ? station->priority : 0});
    }
    return placed;
}

} // namespace brimlark
