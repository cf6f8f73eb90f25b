// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "mapgen/Projection.h"

#include <QPoint>

#include <span>
#include <vector>

namespace brimlark
{

/// Clips closed land outlines to the visible hemisphere of a view and closes what is left
/// along the horizon, so that the land is filled up to the rim of the disc and the ocean
/// stays ocean whatever part of an outline lies behind the globe.
///
/// The rule, worked out on the sphere in the view's frame (a, b, w), where w = -v is the
/// height above the horizon plane and the view centre C is (0, 0, 1):
///  1. Every edge from a visible point (w > 0) to a hidden one, or back, is cut where it
///     crosses w = 0, on the great circle through its ends. That leaves chains of visible
///     points that enter and leave through points on the horizon circle.
///  2. Each chain's exit is joined to the next chain's entry by the shorter arc of the
///     horizon, making one figure that is filled by the even-odd rule. Any two ways of
///     joining the same chains along the circle differ by whole turns around it, and a turn
///     flips every point of the disc between inside and outside; so this figure is either
///     the land in view or exactly its complement in the disc.
///  3. Which of the two is decided at one point, the view centre: the land is the smaller
///     side of the outline (no land mass covers half the globe, and this needs no agreed
///     winding in the data), and the centre lies on it or not (centreIsLand). When the
///     figure says otherwise, a whole turn of the horizon is added to it.
/// Outlines rounded to whole minutes may double back where they graze the horizon; that
/// only adds slivers along those chains, never flips the disc. The arcs are the edge of the
/// visible disc, not a coast: they are filled, never stroked.
class HorizonClipper
{
public:
    /// One point of an outline: its orthographic terms and its chart pixel, if it has one
    /// (visible points that fall beyond the -9999 .. 9999 range have none).
    struct RingPoint {
        Projection::Terms terms;
        QPoint pixel;
        bool hasPixel;
    };

    /// A direction from the view centre, as an offset (a, b) of any length.
    struct Direction {
        double a, b;
    };

    explicit HorizonClipper(const ViewValues &view);

    /// Clips an outline that has points on both sides of the horizon. Afterwards figure()
    /// holds the figure to fill and coastEnds() the ends of the visible stretches of the
    /// outline within coastPoints(), each from horizon to horizon, to stroke.
    /// centreOnLargerSide: the caller has shown that the view centre lies on the outline's
    /// larger side, which spares working out centreIsLand.
    void clip(std::span<const RingPoint> ring, bool centreOnLargerSide = false);
    const std::vector<QPoint> &figure() const { return m_figure; }
    std::span<const QPoint> coast(size_t i) const;
    size_t coastCount() const { return m_coastEnds.size(); }

    /// Whether the view centre lies on the smaller side of an outline.
    static bool centreIsLand(std::span<const RingPoint> ring);
    /// Whether the outline's points lie in an open hemisphere that leaves out the view
    /// centre, shown by a plane through the Earth's centre. An outline that does not wind
    /// round itself (as no coast does) then has the centre on its larger side.
    static bool awayFromCentre(std::span<const RingPoint> ring);

private:
    struct Chain {
        double entry, exit; // angles on the horizon circle, anticlockwise from the a axis
        double turning;     // how far the chain turns around the centre, in radians
        size_t coastEnd;    // the end of its points in m_coastPoints
    };
    void collectChains(std::span<const RingPoint> ring);
    void addPoint(const Projection::Terms &terms, QPoint pixel, bool hasPixel);
    double appendArc(double from, double to);
    void appendWholeTurn();
    QPoint horizonAt(long step);

    ViewValues m_view;
    long m_stepsPerTurn; // points of the horizon at whole steps, shared by every arc
    std::vector<Chain> m_chains;
    std::vector<QPoint> m_coastPoints;
    std::vector<size_t> m_coastEnds;
    std::vector<QPoint> m_figure;
    std::vector<QPoint> m_horizon;   // the point of each step, made on first use
    Direction m_lastDirection{0, 0}; // of the last point added to a chain
    long m_halfTurns = 0;            // passed by the chain so far (halfTurnsPassed)
};

} // namespace brimlark
