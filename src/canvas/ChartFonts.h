// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QFont>
#include <QString>

namespace brimlark
{

/// Fonts as the chart and the windows use them, the same on every machine.
class ChartFonts
{
public:
    /// Maps the faces the charts and windows name onto the metric-compatible Liberation Sans.
    static void registerSubstitutions();
    /// Character height in pixels of a size in points at 96 pixels per inch.
    static int pixelSize(int points);
    /// The chart font: hinted and not antialiased, so that text keeps clean colours.
    static QFont chartFont(const QString &face, int points, bool bold);
};

} // namespace brimlark
