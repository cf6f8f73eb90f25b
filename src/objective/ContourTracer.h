// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "objective/AnalysisGrid.h"

#include <QPointF>

#include <cstdint>
#include <vector>

namespace brimlark
{

/// Traces the isolines of one value through an analysed grid by marching squares: in each
/// cell whose four corners have values, the line crosses every edge whose ends lie on
/// either side of the value, at the point found by linear interpolation. A cell with two
/// opposite corners on each side (a saddle) is decided by the mean of its corners. The
/// crossings are joined, cell to cell, into lines in chart points; a closed line ends on
/// the point it starts with. Lines stop where the grid has no values.
class ContourTracer
{
public:
    explicit ContourTracer(const AnalysisGrid &grid);

    std::vector<std::vector<QPointF>> trace(double level) const;

private:
    // An edge between two neighbouring nodes: the node's index times two, plus one for the
    // edge that goes down from it rather than right.
    using Edge = std::int64_t;
    struct Piece {
        Edge from, to;
    };

    std::vector<Piece> piecesAt(double level) const;
    void addPieces(int column, int row, double level, std::vector<Piece> &pieces) const;
    QPointF crossing(Edge edge, double level) const;
    static std::vector<std::vector<Edge>> joined(const std::vector<Piece> &pieces);

    const AnalysisGrid &m_grid;
};

} // namespace brimlark
