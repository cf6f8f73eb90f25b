// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "objective/ContourTracer.h"

#include <unordered_map>

namespace brimlark
{

namespace
{

// The edges of a cell, by the corner nodes they join.
enum Side { Top, Right, Bottom, Left };

// The sides each line of a cell joins, by which corners lie on the value or above it
// (top left 8, top right 4, bottom right 2, bottom left 1). The saddles 5 and 10 have two
// lines each, chosen by the cell's mean; here with the mean below the value.
struct CellLines {
    int count;
    Side sides[4];
};
constexpr CellLines Lines[16] = {
    {0, {}},
    {1, {Left, Bottom}},
    {1, {Bottom, Right}},
    {1, {Left, Right}},
    {1, {Top, Right}},
    {2, {Top, Right, Left, Bottom}}, // saddle: top right and bottom left above
    {1, {Top, Bottom}},
    {1, {Top, Left}},
    {1, {Top, Left}},
    {1, {Top, Bottom}},
    {2, {Top, Left, Right, Bottom}}, // saddle: top left and bottom right above
    {1, {Top, Right}},
    {1, {Left, Right}},
    {1, {Bottom, Right}},
    {1, {Left, Bottom}},
    {0, {}},
};
// With the mean on the value or above, the saddles join the corners above across the cell.
constexpr CellLines HighSaddles[2] = {{2, {Top, Left, Right, Bottom}},
                                      {2, {Top, Right, Left, Bottom}}};

} // namespace

ContourTracer::ContourTracer(const AnalysisGrid &grid) : m_grid(grid) {}

std::vector<std::vector<QPointF>> ContourTracer::trace(double level) const
{
    std::vector<std::vector<QPointF>> lines;
    for (const std::vector<Edge> &edges : joined(piecesAt(level))) {
        std::vector<QPointF> line;
        line.reserve(edges.size());
        for (const Edge edge : edges)
            line.push_back(crossing(edge, level));
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<ContourTracer::Piece> ContourTracer::piecesAt(double level) const
{
    std::vector<Piece> pieces;
    for (int row = 0; row + 1 < m_grid.rows; ++row)
        for (int column = 0; column + 1 < m_grid.columns; ++column)
            addPieces(column, row, level, pieces);
    return pieces;
}

void ContourTracer::addPieces(int column, int row, double level, std::vector<Piece> &pieces) const
{
    const double corners[4] = {m_grid.at(column, row), m_grid.at(column + 1, row),
                               m_grid.at(column + 1, row + 1), m_grid.at(column, row + 1)};
    int index = 0;
    for (const double v : corners) {
        if (!AnalysisGrid::hasValue(v))
            return;
        index = index * 2 + (v >= level ? 1 : 0);
    }
    const CellLines *lines = &Lines[index];
    if ((index == 5 || index == 10)
        && (corners[0] + corners[1] + corners[2] + corners[3]) / 4 >= level)
        lines = &HighSaddles[index == 5 ? 0 : 1];
    const Edge node = Edge(row) * m_grid.columns + column;
    const Edge below = node + m_grid.columns;
    const auto edgeOf = [&](Side side) {
        switch (side) {
        case Top:
            return node * 2;
        case Right:
            return (node + 1) * 2 + 1;
        case Bottom:
            return below * 2;
        case Left:
            break;
        }
        return node * 2 + 1;
    };
    for (int i = 0; i < lines->count; ++i)
        pieces.push_back({edgeOf(lines->sides[2 * i]), edgeOf(lines->sides[2 * i + 1])});
}

QPointF ContourTracer::crossing(Edge edge, double level) const
{
    const Edge node = edge / 2;
    const int column = int(node % m_grid.columns);
    const int row = int(node / m_grid.columns);
    const bool down = edge % 2 == 1;
    const double a = m_grid.at(column, row);
    const double b = down ? m_grid.at(column, row + 1) : m_grid.at(column + 1, row);
    const double t = (level - a) / (b - a);
    return down ? m_grid.point(column, row + t) : m_grid.point(column + t, row);
}

// The pieces joined where they share an edge: every edge is crossed by at most two pieces,
// those of the cells on either side. Open lines are followed from an end first; what is
// left are closed lines.
std::vector<std::vector<ContourTracer::Edge>>
ContourTracer::joined(const std::vector<Piece> &pieces)
{
    std::unordered_map<Edge, std::pair<int, int>> byEdge; // the pieces at an edge, -1 for none
    byEdge.reserve(pieces.size() * 2);
    for (int i = 0; i < int(pieces.size()); ++i)
        for (const Edge e : {pieces[size_t(i)].from, pieces[size_t(i)].to}) {
            auto [it, fresh] = byEdge.try_emplace(e, i, -1);
            if (!fresh)
                it->second.second = i;
        }
    std::vector<bool> used(pieces.size(), false);
    std::vector<std::vector<Edge>> lines;
    const auto follow = [&](int piece, Edge start) {
        std::vector<Edge> line{start};
        Edge at = start;
        while (piece >= 0 && !used[size_t(piece)]) {
            used[size_t(piece)] = true;
            const Piece &p = pieces[size_t(piece)];
            at = p.from == at ? p.to : p.from;
            line.push_back(at);
            const auto [first, second] = byEdge.at(at);
            piece = first == piece ? second : first;
        }
        lines.push_back(std::move(line));
    };
    for (const auto &[edge, at] : byEdge)
        if (at.second < 0 && !used[size_t(at.first)])
            follow(at.first, edge);
    for (int i = 0; i < int(pieces.size()); ++i)
        if (!used[size_t(i)])
            follow(i, pieces[size_t(i)].from);
    return lines;
}

} // namespace brimlark
