// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ViewValues.h"
#include "canvas/ChartCanvas.h"
#include "observation/Observation.h"
#include "observation/PlottedStation.h"
#include "observation/StationTable.h"
#include "prefs/ChartSettings.h"

#include <QDateTime>

#include <vector>

namespace brimlark
{

/// Surface observations plotted as station models on the chart of a view: for the chosen
/// time each station's nearest report, placed by the station table (or by the position the
/// observation carries), and of those as many as stay legible at the chart's scale.
class ObservationPlot
{
public:
    struct Summary {
        int plotted = 0;    ///< station models drawn
        int notInTable = 0; ///< stations with no position: neither given nor in the table
        int hidden = 0;     ///< left out to keep the chart legible
        int offChart = 0;   ///< off the chart or behind the globe
        /// Every report for the time whose station lies on the chart, each at its station's
        /// chart point, drawn or hidden: what an analysis of the observations takes.
        std::vector<PlottedStation> onChart = {};
    };

    ObservationPlot(ChartCanvas &canvas, const ChartSettings &settings, const ViewValues &view,
                    const StationTable &stations);

    /// The station circle's diameter in pixels: it grows with the globe's radius on the
    /// chart, from 7 pixels on a whole-globe chart to 14 on a close regional one.
    static double modelSize(const ViewValues &view);

    Summary plot(const std::vector<Observation> &reports, const QDateTime &time);

private:
    // A report whose station lies on the chart.
    struct Placed {
        const Observation *observation;
        GeoPoint position;
        QPointF at;
        int priority;
    };

    std::vector<Placed> place(const std::vector<Observation> &chosen, Summary &summary) const;

    ChartCanvas &m_canvas;
    const ChartSettings &m_settings;
    ViewValues m_view;
    const StationTable &m_stations;
};

} // namespace brimlark
