// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/GeoPoint.h"

#include <QString>

#include <optional>

namespace brimlark
{

/// A surface observing station as the station table places it.
struct Station {
    QString id;          ///< as the table lists it: "DEN", "EGLL", "K16J"
    GeoPoint position{}; ///< to a hundredth of a degree
    /// Which stations to plot first where they crowd each other; higher comes first.
    int priority = 0;
    QString name;                 ///< with blanks: "DENVER INTNL ARPT (ASOS)"
    QString state;                ///< state or province; empty when none
    QString country;              ///< the table's two-letter code ("US", "CN")
    std::optional<int> wmoNumber; ///< none when the table gives none
    int elevation = 0;            ///< metres
};

} // namespace brimlark
