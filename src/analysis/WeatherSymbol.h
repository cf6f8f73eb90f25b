// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/PresentWeather.h"
#include "canvas/ChartCanvas.h"

#include <QPointF>

namespace brimlark
{

/// Draws present weather as the plotting symbols: dots for rain, commas for drizzle and
/// stars for snow, two side by side when light, three in a triangle when moderate, four in a
/// diamond when heavy; one of them above a downward triangle for showers; a wave through
/// them for freezing precipitation; the thunderstorm sign with its precipitation above it;
/// three bars for fog, two for mist and a figure eight on its side for haze. The pen, brush
/// and colour must be set; the symbol fills the brush with the pen colour.
class WeatherSymbol
{
public:
    /// The symbol's width for a station circle of `size` pixels.
    static double width(double size);
    /// Draws the symbol centred on `centre`; Kind::None and Kind::Code draw nothing.
    static void draw(ChartCanvas &canvas, const PresentWeather &weather, QPointF centre,
                     double size);
};

} // namespace brimlark
