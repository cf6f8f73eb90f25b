// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "objective/AnalysisGrid.h"

#include <QPointF>

#include <vector>

namespace brimlark
{

/// The closed highs and lows of an analysed pressure field: the grid's extremes that an
/// isoline of the field closes round. A low counts where the nodes below the first isoline
/// value above it, reached from it, enclose it within the analysed nodes (a high likewise);
/// of two extremes inside one such ring only the deeper counts.
class PressureCentres
{
public:
    struct Centre {
        bool high = false;
        QPointF at;   ///< chart point, between the nodes where the field's curvature puts it
        double value; ///< the field there
    };

    PressureCentres(const AnalysisGrid &grid, double interval);

    std::vector<Centre> find() const;

private:
    std::vector<size_t> extremes(bool high) const;
    bool isExtreme(int column, int row, bool high) const;
    /// Whether the nodes on the extreme's side of the level, reached from the node, stay
    /// clear of the grid's edge and of nodes without a value; marks them claimed.
    bool isClosed(size_t node, double level, bool high, std::vector<bool> &claimed) const;
    Centre centreAt(size_t node, bool high) const;

    const AnalysisGrid &m_grid;
    double m_interval;
};

} // namespace brimlark
