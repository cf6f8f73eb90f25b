// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "editing/DrawnFeature.h"
#include "workspace/ViewValues.h"

#include <QImage>

#include <vector>

/// A committed chart as the undo history keeps it: the picture, its palette depth, the view
/// it was drawn for and the lines and centres of the analysis on it.
struct ChartState {
    QImage image;
    int paletteBits = 0;
    ViewValues view;
    std::vector<DrawnFeature> features;
};
