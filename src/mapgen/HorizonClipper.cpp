// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/HorizonClipper.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace brimlark
{

namespace
{

constexpr double Pi = std::numbers::pi;
constexpr double FullTurn = 2 * Pi;

// The direction of a point from the view centre, anticlockwise from the a axis.
double directionOf(const Projection::Terms &t) { return std::atan2(t.b, t.a); }

// An angle brought into -pi .. pi: the turn from one direction to the next, exactly
// remainder(angle, 2 pi). The angles here are differences of two directions, within
// -2 pi .. 2 pi, where that is one subtraction or addition of 2 pi or none: the result is
// exact (Sterbenz's lemma, as pi <= |angle| <= 2 pi), and a half turn stays as it is, as
// remainder's even quotient 0 leaves it. Others take the library's way.
double turnOf(double angle)
{
    if (angle >= -Pi && angle <= Pi)
        return angle;
    if (angle > Pi && angle <= FullTurn)
        return angle - FullTurn;
    if (angle < -Pi && angle >= -FullTurn)
        return angle + FullTurn;
    return std::remainder(angle, FullTurn);
}

// Arcs of the horizon are drawn as chords whose middle lies at most a quarter pixel inside
// the circle: a chord of angle s sags R (1 - cos(s / 2)), about R s^2 / 8, so s = sqrt(2 / R).
long stepsPerTurnOf(const ViewValues &view)
{
    const double radius = std::abs(view.zoom * view.chartWidth);
    const double step = radius > 0 ? std::clamp(std::sqrt(2 / radius), 0.002, Pi / 90) : Pi / 90;
    return long(std::ceil(FullTurn / step));
}

// Where the edge p-q crosses the horizon plane w = 0: the point of the chord there lies on
// the great circle through p and q, and its direction from the centre is the angle sought.
HorizonClipper::Direction crossingPoint(const Projection::Terms &p, const Projection::Terms &q)
{
    const double t = p.v / (p.v - q.v); // p and q lie on both sides, so p.v != q.v
    return {p.a + t * (q.a - p.a), p.b + t * (q.b - p.b)};
}

double angleOf(HorizonClipper::Direction d) { return std::atan2(d.b, d.a); }

// Below this, the squared sine of the angle between two directions leaves them too near to
// opposite (or to the same) for the rounding of their angles to be ruled out: about 1e-6
// radians, where the angles are good to 1e-16.
constexpr double NearlyParallel = 1e-12;

// k in turnOf(angleOf(w) - angleOf(u)) = angleOf(w) - angleOf(u) - 2 pi k: +1 when the turn
// the shorter way from u to w passes the half turn clockwise (the angles leap from -pi to
// pi), -1 anticlockwise, else 0. Worked out from the sides of the a axis the two lie on and,
// when they lie on both, from the sign of their cross product; the angles decide only for
// directions on the axis or all but parallel.
long halfTurnsPassed(HorizonClipper::Direction u, HorizonClipper::Direction w)
{
    if ((u.b > 0 && w.b > 0) || (u.b < 0 && w.b < 0))
        return 0; // both angles within 0 .. pi, or within -pi .. 0
    if ((u.b < 0 && w.b > 0) || (u.b > 0 && w.b < 0)) {
        const double cross = u.a * w.b - u.b * w.a;
        const double squares = (u.a * u.a + u.b * u.b) * (w.a * w.a + w.b * w.b);
        if (cross * cross > NearlyParallel * squares) {
            if (u.b < 0) // a turn of 0 .. 2 pi anticlockwise, beyond pi when clockwise is shorter
                return cross < 0 ? 1 : 0;
            return cross > 0 ? -1 : 0;
        }
    }
    const double turn = angleOf(w) - angleOf(u);
    return turn > Pi ? 1 : turn < -Pi ? -1 : 0;
}

} // namespace

HorizonClipper::HorizonClipper(const ViewValues &view)
    : m_view(view), m_stepsPerTurn(stepsPerTurnOf(view))
{
}

QPoint HorizonClipper::horizonAt(long step)
{
    // Whole steps give every arc the same points, so arcs that overlap cancel exactly. The
    // points are worked out once per view, as the arcs of many outlines share them; steps
    // below 0 keep their own (negative) angles, so every point is as it was computed before.
    const long turn = m_stepsPerTurn;
    if (m_horizon.empty()) {
        m_horizon.reserve(size_t(2 * turn - 1));
        for (long s = 1 - turn; s < turn; ++s)
            m_horizon.push_back(
                Projection::horizonPoint(m_view, FullTurn * double(s) / double(turn)));
    }
    return m_horizon[size_t(step % turn + turn - 1)];
}

std::span<const QPoint> HorizonClipper::coast(size_t i) const
{
    const size_t begin = i == 0 ? 0 : m_coastEnds[i - 1];
    return std::span<const QPoint>(m_coastPoints).subspan(begin, m_coastEnds[i] - begin);
}

void HorizonClipper::clip(std::span<const RingPoint> ring, bool centreOnLargerSide)
{
    m_chains.clear();
    m_coastPoints.clear();
    m_coastEnds.clear();
    m_figure.clear();
    collectChains(ring);
    double turning = 0; // of the figure around the centre
    for (size_t i = 0; i < m_chains.size(); ++i) {
        const Chain &chain = m_chains[i];
        const auto points = coast(i);
        m_figure.insert(m_figure.end(), points.begin(), points.end());
        turning += chain.turning + appendArc(chain.exit, m_chains[(i + 1) % m_chains.size()].entry);
    }
    const bool centreInFigure = std::lround(turning / FullTurn) % 2 != 0;
    if (m_chains.empty())
        return;
    const bool centreLand = !centreOnLargerSide && !awayFromCentre(ring) && centreIsLand(ring);
    if (centreInFigure != centreLand)
        appendWholeTurn();
}

// Walks the outline once from a hidden point, so that every chain that enters the visible
// hemisphere also leaves it before the walk ends.
void HorizonClipper::collectChains(std::span<const RingPoint> ring)
{
    const auto hidden = std::find_if(ring.begin(), ring.end(), [](const RingPoint &p) {
        return !Projection::isVisible(p.terms);
    });
    if (hidden == ring.end())
        return;
    const size_t start = size_t(hidden - ring.begin());
    const size_t n = ring.size();
    for (size_t k = 1; k <= n; ++k) {
        const RingPoint &previous = ring[(start + k - 1) % n];
        const RingPoint &point = ring[(start + k) % n];
        const bool wasVisible = Projection::isVisible(previous.terms);
        if (!wasVisible && Projection::isVisible(point.terms)) {
            m_lastDirection = crossingPoint(previous.terms, point.terms);
            m_halfTurns = 0;
            const double entry = angleOf(m_lastDirection);
            m_chains.push_back({entry, entry, 0, 0});
            m_coastPoints.push_back(Projection::horizonPoint(m_view, entry));
        }
        if (Projection::isVisible(point.terms))
            addPoint(point.terms, point.pixel, point.hasPixel);
        if (wasVisible && !Projection::isVisible(point.terms)) {
            Chain &chain = m_chains.back();
            const Direction exit = crossingPoint(previous.terms, point.terms);
            m_halfTurns += halfTurnsPassed(m_lastDirection, exit);
            chain.exit = angleOf(exit);
            // The sum of the turns from point to point, each brought into -pi .. pi.
            chain.turning = chain.exit - chain.entry - FullTurn * double(m_halfTurns);
            m_coastPoints.push_back(Projection::horizonPoint(m_view, chain.exit));
            chain.coastEnd = m_coastPoints.size();
            m_coastEnds.push_back(m_coastPoints.size());
        }
    }
}

// A chain's turning is its exit's angle less its entry's, less a whole turn for every time
// it passes the half turn where the angles leap; that spares an arc tangent a point.
void HorizonClipper::addPoint(const Projection::Terms &terms, QPoint pixel, bool hasPixel)
{
    const Direction direction{terms.a, terms.b};
    m_halfTurns += halfTurnsPassed(m_lastDirection, direction);
    m_lastDirection = direction;
    if (hasPixel)
        m_coastPoints.push_back(pixel);
}

// The horizon points at whole steps strictly between two directions, the shorter way
// round; returns the signed angle of that way.
double HorizonClipper::appendArc(double from, double to)
{
    const double sweep = turnOf(to - from);
    const double perStep = FullTurn / double(m_stepsPerTurn);
    if (sweep >= 0) {
        for (long s = long(std::floor(from / perStep)) + 1; s * perStep < from + sweep; ++s)
            m_figure.push_back(horizonAt(s));
    } else {
        for (long s = long(std::ceil(from / perStep)) - 1; s * perStep > from + sweep; --s)
            m_figure.push_back(horizonAt(s));
    }
    return sweep;
}

// A loop once round the horizon, reached from the figure's last point and back to it, so
// that the way there and back cancels and only the turn remains.
void HorizonClipper::appendWholeTurn()
{
    const QPoint last = m_figure.back();
    for (long s = 0; s <= m_stepsPerTurn; ++s)
        m_figure.push_back(horizonAt(s));
    m_figure.push_back(last);
}

// The centre C = (0, 0, 1) lies on the smaller side of the outline when:
//  - the outline winds round C an odd number of times (it parts C from its antipode -C) and
//    the side away from -C is the smaller one, or
//  - it winds round C an even number of times (C and -C on one side) and the side away from
//    -C, which then holds neither, is the larger one.
// That side's area is the sum of the signed triangles (C, P, Q) over the edges, each
// 2 atan2(C . (P x Q), 1 + C.P + P.Q + Q.C) (Van Oosterom and Strackee, IEEE Trans. Biomed.
// Eng. 30, 1983).
bool HorizonClipper::centreIsLand(std::span<const RingPoint> ring)
{
    double area = 0;
    double winding = 0;
    double pDirection = ring.empty() ? 0 : directionOf(ring[0].terms);
    for (size_t i = 0; i < ring.size(); ++i) {
        const Projection::Terms &p = ring[i].terms;
        const Projection::Terms &q = ring[(i + 1) % ring.size()].terms;
        const double pw = -p.v, qw = -q.v;
        const double triple = p.a * q.b - p.b * q.a;
        const double scalar = 1 + pw + qw + p.a * q.a + p.b * q.b + pw * qw;
        area += 2 * std::atan2(triple, scalar);
        const double qDirection = directionOf(q); // p's in the next edge
        winding += turnOf(qDirection - pDirection);
        pDirection = qDirection;
    }
    const bool parted = std::lround(winding / FullTurn) % 2 != 0;
    const bool awaySideSmaller = std::abs(area) < FullTurn;
    return parted == awaySideSmaller;
}

// The plane is L = A a + B b + g v = 0 with (A, B) the sum of the points' offsets from the
// centre, which points towards them as a whole, and g > 0, so that the centre (a = b = 0,
// v = -1) has L = -g. A hidden point (v > 0) asks for g > -s / v and a visible one (v < 0)
// for g < s / -v, with s = A a + B b; any g between the two bounds will do, and the middle
// one is checked against every point with room for rounding. Two multiplications a point
// where centreIsLand takes two arc tangents: the ring of Eurasia and Africa seen from the
// United States, and every outline across the horizon of the shipped views, lie in such a
// hemisphere though their boxes span every longitude.
bool HorizonClipper::awayFromCentre(std::span<const RingPoint> ring)
{
    double sumA = 0, sumB = 0;
    for (const RingPoint &p : ring) {
        sumA += p.terms.a;
        sumB += p.terms.b;
    }
    double low = 0;
    double high = std::numeric_limits<double>::infinity();
    for (const RingPoint &p : ring) {
        const double s = sumA * p.terms.a + sumB * p.terms.b;
        if (p.terms.v > 0)
            low = std::max(low, -s / p.terms.v);
        else if (p.terms.v < 0)
            high = std::min(high, s / -p.terms.v);
    }
    if (!(low < high))
        return false;
    const double g = std::isinf(high) ? low + 1 : low + (high - low) / 2;
    if (!(g > 0))
        return false; // the centre on the plane, not shown to lie outside
    const double slack = 1e-9 * (std::abs(sumA) + std::abs(sumB) + g);
    return std::all_of(ring.begin(), ring.end(), [&](const RingPoint &p) {
        return sumA * p.terms.a + sumB * p.terms.b + g * p.terms.v > slack;
    });
}

} // namespace brimlark
