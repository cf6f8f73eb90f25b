// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "objective/ContourShaper.h"

#include <QLineF>

#include <cmath>

namespace brimlark
{

namespace
{

// How far a point lies from the chord between two others (from the one point when they meet).
double offset(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length = std::hypot(ab.x(), ab.y());
    if (length == 0)
        return QLineF(p, a).length();
    const QPointF ap = p - a;
    return std::abs(ab.x() * ap.y() - ab.y() * ap.x()) / length;
}

} // namespace

std::vector<QPointF> ContourShaper::smoothed(std::vector<QPointF> line)
{
    const size_t n = line.size();
    if (n < 3)
        return line;
    const bool closed = line.front() == line.back();
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<QPointF> next = line;
        for (size_t i = 1; i + 1 < n; ++i)
            next[i] = (line[i - 1] + 2 * line[i] + line[i + 1]) / 4;
        if (closed) // the start is a point like any other, between the last two and the second
            next.front() = next.back() = (line[n - 2] + 2 * line[0] + line[1]) / 4;
        line = std::move(next);
    }
    return line;
}

std::vector<QPointF> ContourShaper::thinned(const std::vector<QPointF> &line)
{
    if (line.size() <= 2)
        return line;
    for (double tolerance = 0.5;; tolerance *= 2) {
        std::vector<bool> kept(line.size(), false);
        kept.front() = kept.back() = true;
        keep(line, 0, line.size() - 1, tolerance, kept);
        std::vector<QPointF> points;
        for (size_t i = 0; i < line.size(); ++i)
            if (kept[i])
                points.push_back(line[i]);
        if (points.size() <= MostPoints)
            return points;
    }
}

// Keeps the point between from and to that lies farthest from their chord, when it lies
// beyond the tolerance, and goes on either side of it. A closed line's chord is its one
// point, so its farthest point is kept first.
void ContourShaper::keep(const std::vector<QPointF> &line, size_t from, size_t to, double tolerance,
                         std::vector<bool> &kept)
{
    while (to > from + 1) {
        size_t farthest = from;
        double most = tolerance;
        for (size_t i = from + 1; i < to; ++i)
            if (const double d = offset(line[i], line[from], line[to]); d > most) {
                most = d;
                farthest = i;
            }
        if (farthest == from)
            return;
        kept[farthest] = true;
        keep(line, from, farthest, tolerance, kept);
        from = farthest; // the second half without recursion, which bounds the depth
    }
}

double ContourShaper::length(const std::vector<QPointF> &line)
{
    double total = 0;
    for (size_t i = 1; i < line.size(); ++i)
        total += QLineF(line[i - 1], line[i]).length();
    return total;
}

} // namespace brimlark
