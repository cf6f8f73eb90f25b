// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

#include <optional>
#include <span>

namespace brimlark
{

/// What an isoline stands for: the quantity it follows and its value there. An isopleth
/// drawn by hand has none; one analysed from the observations, or read with a value, has.
struct ContourValue {
    enum class Quantity { Pressure, Temperature, DewPoint };
    Quantity quantity = Quantity::Pressure;
    double value = 0;
    QString unit = QStringLiteral("hPa"); ///< "hPa", or "C" or "F" for the temperatures

    bool operator==(const ContourValue &) const = default;

    /// The value as its label on the chart: whole numbers without a decimal point.
    QString label() const;
};

/// A quantity's names wherever it is named, in one table, so that the window, the command
/// line and the GeoJSON files agree.
struct QuantityNames {
    ContourValue::Quantity quantity;
    const char *field;   ///< on the command line ("pressure")
    const char *caption; ///< in the window ("Pressure")
    const char *kind;    ///< the GeoJSON "kind" of its isolines ("isobar")

    static std::span<const QuantityNames> all();
    static const QuantityNames &of(ContourValue::Quantity quantity);
    /// The quantity of a command-line field name or a GeoJSON kind, matched exactly.
    static const QuantityNames *byField(QStringView field);
    static const QuantityNames *byKind(QStringView kind);
};

} // namespace brimlark
