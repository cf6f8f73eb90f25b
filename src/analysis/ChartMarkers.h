// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "canvas/ChartCanvas.h"
#include "prefs/ChartSettings.h"

namespace brimlark
{

/// The L and H pressure centres and free text labels placed by a press on the chart.
class ChartMarkers
{
public:
    /// "L" in the warm-front colour or "H" in the cold-front colour, 36-point bold Arial,
    /// the cell centred on the press. Both letters are centred by the extent of "L".
    static void placeLetter(ChartCanvas &canvas, const ChartSettings &settings, QChar letter, int x,
                            int y);
    /// Black 12-point bold Arial with the top-left corner of its cell at the press; an
    /// empty text draws nothing.
    static void placeText(ChartCanvas &canvas, const QString &text, int x, int y);
};

} // namespace brimlark
