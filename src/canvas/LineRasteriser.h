// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "canvas/PenDisc.h"
#include "canvas/PixelTarget.h"

#include <QPoint>

namespace brimlark
{

/// Draws straight lines into a PixelTarget with the chart's pen rules.
///
/// A 1-pixel line visits one pixel per step of its major axis, from the start pixel up
/// to but excluding the end pixel, in every direction. The minor coordinate of step i is
/// the one nearest to the ideal line; an exact half rounds back towards the start:
///
///   (0,0) -> (4,2):  ##...      step 1 lies at y 0.5: it stays on row 0
///                    ..##.      the end pixel (4,2) is not drawn
///
/// Wider pens stamp a round PenDisc on every pixel of that line, both ends included, which
/// gives round ends and joins. The dotted style (1-pixel pens only; wider dotted pens draw
/// solid) is three pixels on and three off, counted along the major axis and carried from
/// one line to the next until the pattern is restarted.
class LineRasteriser
{
public:
    /// Draws with a pen of the disc's width; the dotted style applies to 1-pixel pens.
    LineRasteriser(PixelTarget &target, const PenDisc &pen, bool dotted);
    /// Where the dotted pattern stands: 0 starts it afresh with its first "on" pixel.
    qint64 patternPhase() const { return m_phase % 6; }
    void setPatternPhase(qint64 phase) { m_phase = phase % 6; }
    /// Draws from one point towards another; a line of no length draws nothing.
    void line(QPoint from, QPoint to);

private:
    struct Steps;
    /// Draw steps 0 .. last of a line whose pen stays on the image throughout: a solid one
    /// with any pen, a dotted one 1 pixel wide.
    void solidOnImage(const Steps &s, qint64 last);
    void dottedOnImage(const Steps &s, qint64 last);
    /// Draws the steps among 0 .. last whose pen reaches the image.
    void clippedLine(const Steps &s, qint64 last);
    /// Draws a line of length 1 whose pen stays on the image; false for any other.
    bool unitStep(QPoint from, QPoint to);
    /// Whether the dotted pattern draws step i of the current line.
    bool drawsStep(qint64 i) const { return !m_dotted || (m_phase + i) % 6 < 3; }

    PixelTarget &m_target;
    const PenDisc &m_disc;
    // Where the pattern stands, plus a multiple of 6 below PhaseLimit.
    static constexpr qint64 PhaseLimit = qint64(1) << 60;

    bool m_dotted;
    qint64 m_phase = 0;
};

} // namespace brimlark
