// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

namespace brimlark
{

/// The texts of the drawing panel's LineColor and LineWidth boxes, which style isopleths.
struct PanelLine {
    QString lineColor;
    QString lineWidth;

    bool operator==(const PanelLine &) const = default;
};

} // namespace brimlark
