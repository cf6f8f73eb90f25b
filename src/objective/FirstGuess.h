// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/DrawnFeature.h"
#include "analysis/PanelLine.h"
#include "base/ViewValues.h"
#include "objective/AnalysisGrid.h"
#include "objective/FirstGuessChoice.h"
#include "objective/StationValue.h"
#include "observation/PlottedStation.h"

#include <QDateTime>

#include <span>
#include <vector>

namespace brimlark
{

/// The first guess of an analysis: the plotted stations' pressure, temperature or dew
/// point analysed objectively (BarnesAnalysis) and drawn as isolines, features of the
/// analysis like any hand-drawn isopleth, each with its value; for pressure also the closed
/// highs and lows, as H and L centres with their pressure.
class FirstGuess
{
public:
    /// Fewer stations than this with a value give no analysis.
    static constexpr size_t FewestStations = 5;

    struct Result {
        std::vector<DrawnFeature> features; ///< the isolines, then the centres
        int stations = 0;                   ///< stations analysed
        int outOfBounds = 0;                ///< values outside what the atmosphere holds, left out
        int samePosition = 0;               ///< reports left out for another at the same position
        int outliers = 0;                   ///< values unlike their neighbours', left out
        int isolines = 0;
        int lows = 0;
        int highs = 0;
        double meanSpacing = 0; ///< km

        /// For the status line: "First guess: 12 isobars, 1 low, 2 highs from 340 stations",
        /// then what was left out ("; left out 1 out of bounds, 2 unlike the neighbours").
        QString summary(ContourValue::Quantity quantity) const;
    };

    /// Temperatures and dew points are analysed in the observation unit ("C" or "F").
    FirstGuess(const ViewValues &view, const FirstGuessChoice &choice,
               const QString &temperatureUnit);

    /// The first guess from the stations plotted for a time, the isolines in the width of
    /// the panel's isopleths. A ChartError when fewer than FewestStations have a value.
    Result analyse(std::span<const PlottedStation> stations, const QDateTime &time,
                   const PanelLine &panel) const;

private:
    std::optional<double> valueOf(const Observation &report) const;
    std::vector<StationValue> valuesOf(std::span<const PlottedStation> stations,
                                       const QDateTime &time, Result &result) const;
    std::vector<StationValue> withoutOutliers(std::vector<StationValue> values,
                                              Result &result) const;
    void addIsolines(const AnalysisGrid &grid, const PanelLine &panel, Result &result) const;
    void addCentres(const AnalysisGrid &grid, Result &result) const;

    ViewValues m_view;
    FirstGuessChoice m_choice;
    QString m_unit; ///< of the values: "hPa", "C" or "F"
};

} // namespace brimlark
