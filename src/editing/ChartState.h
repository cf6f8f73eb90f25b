// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "workspace/ViewValues.h"

#include <QImage>

/// A committed chart as the undo history keeps it: the picture, its palette depth and the
/// view it was drawn for.
struct ChartState {
    QImage image;
    int paletteBits = 0;
    ViewValues view;
};
