// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/DrawnFeature.h"
#include "base/ViewValues.h"

#include <QImage>

#include <vector>

namespace brimlark
{

/// A committed chart as the undo history keeps it: the picture, its palette depth, the view
/// it was drawn for, the features of the analysis on it, the base map that Erase returns to
/// (a null picture when the session does not hold it), and the picture the features are
/// drawn on when it is not the base map (a chart of an earlier run whose features are not
/// known, drawn on as it is).
// Every member has an initializer, so that a designated initializer may name only the
// fields that matter to it (-Wmissing-field-initializers asks for the rest otherwise).
struct ChartState {
    QImage image{};
    int paletteBits = 0;
    ViewValues view{};
    bool viewKnown = true; // false for a chart loaded without a view, placed with the one before
    std::vector<DrawnFeature> features{};
    QImage baseMap{};
    int baseMapBits = 0;
    QImage underlay{};
    int underlayBits = 0;
};

} // namespace brimlark
