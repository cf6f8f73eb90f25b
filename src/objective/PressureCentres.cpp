// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "objective/PressureCentres.h"

#include <algorithm>
#include <cmath>

namespace brimlark
{

namespace
{

// The vertex of the parabola through three equally spaced values, as an offset from the
// middle one in spacings (within half a spacing), and the value there.
std::pair<double, double> vertex(double before, double middle, double after)
{
    const double curvature = before - 2 * middle + after;
    if (curvature == 0)
        return {0, middle};
    const double offset = std::clamp((before - after) / (2 * curvature), -0.5, 0.5);
    return {offset, middle + (after - before) * offset / 2 + curvature * offset * offset / 2};
}

} // namespace

PressureCentres::PressureCentres(const AnalysisGrid &grid, double interval)
    : m_grid(grid), m_interval(interval)
{
}

std::vector<PressureCentres::Centre> PressureCentres::find() const
{
    std::vector<Centre> centres;
    for (const bool high : {false, true}) {
        std::vector<bool> claimed(m_grid.values.size(), false);
        for (const size_t node : extremes(high)) {
            const double v = m_grid.values[node];
            // The first isoline value beyond the extreme, on the side away from it.
            const double level = high ? (std::ceil(v / m_interval) - 1) * m_interval
                                      : (std::floor(v / m_interval) + 1) * m_interval;
            if (!claimed[node] && isClosed(node, level, high, claimed))
                centres.push_back(centreAt(node, high));
        }
    }
    return centres;
}

// The nodes beyond all eight neighbours, the deepest first.
std::vector<size_t> PressureCentres::extremes(bool high) const
{
    std::vector<size_t> nodes;
    for (int row = 1; row + 1 < m_grid.rows; ++row)
        for (int column = 1; column + 1 < m_grid.columns; ++column)
            if (isExtreme(column, row, high))
                nodes.push_back(size_t(row) * m_grid.columns + column);
    std::sort(nodes.begin(), nodes.end(), [&](size_t a, size_t b) {
        return high ? m_grid.values[a] > m_grid.values[b] : m_grid.values[a] < m_grid.values[b];
    });
    return nodes;
}

bool PressureCentres::isExtreme(int column, int row, bool high) const
{
    const double v = m_grid.at(column, row);
    if (!AnalysisGrid::hasValue(v))
        return false;
    for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) {
            const double n = m_grid.at(column + dc, row + dr);
            if ((dr != 0 || dc != 0) && !(high ? v > n : v < n))
                return false; // also where a neighbour has no value
        }
    return true;
}

bool PressureCentres::isClosed(size_t node, double level, bool high,
                               std::vector<bool> &claimed) const
{
    const auto inside = [&](size_t n) {
        const double v = m_grid.values[n];
        return AnalysisGrid::hasValue(v) && (high ? v > level : v < level);
    };
    std::vector<size_t> todo{node};
    std::vector<bool> seen(m_grid.values.size(), false);
    seen[node] = true;
    bool closed = true;
    while (!todo.empty()) {
        const size_t n = todo.back();
        todo.pop_back();
        claimed[n] = true;
        const int column = int(n % m_grid.columns);
        const int row = int(n / m_grid.columns);
        if (column == 0 || row == 0 || column + 1 == m_grid.columns || row + 1 == m_grid.rows) {
            closed = false; // the ring runs off the grid
            continue;
        }
        for (const size_t next : {n - 1, n + 1, n - m_grid.columns, n + m_grid.columns}) {
            if (seen[next])
                continue;
            seen[next] = true;
            if (inside(next))
                todo.push_back(next);
            else if (!AnalysisGrid::hasValue(m_grid.values[next]))
                closed = false; // the ring would cross nodes without a value
        }
    }
    return closed;
}

PressureCentres::Centre PressureCentres::centreAt(size_t node, bool high) const
{
    const int column = int(node % m_grid.columns);
    const int row = int(node / m_grid.columns);
    const double v = m_grid.at(column, row);
    const auto [dx, vx] = vertex(m_grid.at(column - 1, row), v, m_grid.at(column + 1, row));
    const auto [dy, vy] = vertex(m_grid.at(column, row - 1), v, m_grid.at(column, row + 1));
    return {high, m_grid.point(column + dx, row + dy), vx + vy - v};
}

} // namespace brimlark
