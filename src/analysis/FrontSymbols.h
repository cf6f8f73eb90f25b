// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QPoint>

#include <array>

namespace brimlark
{

/// The geometry of the front symbols on the chord from A to B. The vector (dy, -dx) is
/// perpendicular to the chord, as long as it, and points to the left of the direction from
/// A to B as seen on the chart (y down): drawn left to right it points up.
class FrontSymbols
{
public:
    /// Which side of the line a symbol stands on.
    enum Side { Left = 1, Right = -1 };

    /// A, B and the apex above the chord's midpoint, as high as the chord is long:
    /// (100,100)-(120,100) gives (100,100) (120,100) (110,80).
    static std::array<QPoint, 3> triangle(QPoint a, QPoint b);

    /// A, six vertices of the bulge and B. The sides at A and B rise to 0.4 of the chord,
    /// the top to 0.8: (100,100)-(120,100) on the left gives (100,100) (100,92) (104,86)
    /// (108,84) (112,84) (116,86) (120,92) (120,100).
    static std::array<QPoint, 8> semicircle(QPoint a, QPoint b, Side side);
};

} // namespace brimlark
