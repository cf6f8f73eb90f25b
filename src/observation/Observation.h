// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/GeoPoint.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace brimlark
{

/// One surface observation as a station model plots it, decoded from a METAR or SPECI
/// report or read from a table of decoded observations. Every value is optional: a report
/// that leaves a group out, or holds one that cannot be decoded, leaves it empty.
struct Observation {
    /// How much of the sky the most covering layer hides, as the station circle shows it.
    enum class Sky { Unknown, Clear, Few, Scattered, Broken, Overcast, Obscured };

    QString station;                  ///< the identifier the report or table gives ("KDEN")
    QDateTime time{};                 ///< UTC
    std::optional<GeoPoint> position; ///< from a table of observations; a report has none
    std::optional<int> windDirection; ///< degrees true the wind blows from; none for VRB
    std::optional<double> windSpeed;  ///< knots; 0 for calm
    std::optional<double> gust;       ///< knots
    std::optional<double> visibility; ///< statute miles
    QStringList weather{};            ///< present weather groups as reported ("-RA", "TSRA")
    Sky sky = Sky::Unknown;
    std::optional<double> temperature;      ///< degrees C
    std::optional<double> dewPoint;         ///< degrees C
    std::optional<double> seaLevelPressure; ///< hPa
    std::optional<double> altimeter;        ///< hPa, from Qnnnn or Annnn
    bool correction = false;                ///< a corrected report (COR, CCA, ...)
    QString report{};                       ///< the report's text, for the status line
};

} // namespace brimlark
