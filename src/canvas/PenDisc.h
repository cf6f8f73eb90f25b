// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "canvas/PixelTarget.h"

#include <vector>

namespace brimlark
{

/// The footprint of a round pen, kept as one horizontal span per row so that stamping it
/// along a line writes whole spans.
///
/// A pen of width w covers offsets lo .. hi with lo = -(w / 2) and hi = (w - 1) / 2, so an
/// even width leans up-left. A pixel belongs to the disc when its centre lies within w / 2
/// of the disc's centre, which sits on the pixel for odd w and on its top-left corner for
/// even w:
///
///   w = 2    w = 3    w = 4     w = 5
///   ##       ###      .##.      .###.
///   #@       #@#      ####      #####
///            ###      ##@#      ##@##
///                     .##.      #####
///                               .###.
class PenDisc
{
public:
    /// Widest pen drawn round; wider widths draw this wide, so that a mistyped width
    /// cannot make one line take minutes.
    static constexpr int MaxWidth = 100;

    explicit PenDisc(int width);

    int width() const { return m_width; }
    /// How far the disc reaches from its centre pixel on any side.
    int reach() const { return m_width / 2; }
    /// The disc's box: offsets low() .. high() from its centre pixel, on both axes.
    int low() const { return -(m_width / 2); }
    int high() const { return (m_width - 1) / 2; }
    /// Paints the disc centred on the pixel (x, y).
    void stamp(PixelTarget &target, int x, int y) const;
    /// The same for a disc whose box lies wholly on the image; it is not recorded as touched.
    void stampOnImage(PixelTarget &target, int x, int y) const
    {
        for (const Span &s : m_spans)
            target.spanOnImage(x + s.dx0, x + s.dx1, y + s.dy);
    }

    /// The discs centred on the pixels x0 .. x1 of row y, all on the image, in one span per
    /// row of the disc; not recorded as touched.
    void stampRow(PixelTarget &target, int x0, int x1, int y) const
    {
        for (const Span &s : m_spans)
            target.spanOnImage(x0 + s.dx0, x1 + s.dx1, y + s.dy);
    }
    /// The discs centred on the pixels y0 .. y1 of column x, all on the image, likewise.
    void stampColumn(PixelTarget &target, int x, int y0, int y1) const;

private:
    struct Span {
        int dy, dx0, dx1;
    };
    int m_width;
    std::vector<Span> m_spans; // one for each row low() .. high(), in order
    int m_widest = 0;          // the index of a widest span
};

} // namespace brimlark
