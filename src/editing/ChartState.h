// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ViewValues.h"
#include "editing/DrawnFeature.h"

#include <QImage>

#include <vector>

namespace brimlark
{

/// A committed chart as the undo history keeps it: the picture, its palette depth, the view
/// it was drawn for and the lines and centres of the analysis on it.
struct ChartState {
    QImage image;
    int paletteBits = 0;
    ViewValues view;
    std::vector<DrawnFeature> features;
};

} // namespace brimlark
