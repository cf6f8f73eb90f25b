// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ContourValue.h"

#include <QString>

namespace brimlark
{

/// What the first guess analyses: the quantity, and the spacing of its isolines in its unit
/// (hPa, or degrees of the observation unit).
struct FirstGuessChoice {
    ContourValue::Quantity quantity = ContourValue::Quantity::Pressure;
    double interval = 4;

    static constexpr double SmallestInterval = 0.5;
    static constexpr double LargestInterval = 50;

    /// Isobars every 4 hPa, isotherms every 5 degrees.
    static double defaultInterval(ContourValue::Quantity quantity);
    /// "pressure", "temperature:5", "dewpoint:2.5": a field name, and the interval after a
    /// colon when it is not the default. A ChartError names what is wrong.
    static FirstGuessChoice parse(const QString &text);
};

} // namespace brimlark
