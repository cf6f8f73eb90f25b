// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace brimlark
{

/// Run-length coding of pixel rows: a chart is mostly wide runs of one colour (ocean, land,
/// the inside of symbols), so runs shrink it tens of times, and both ways take a few
/// milliseconds for a large chart, unlike a general-purpose compressor.
class RunLength
{
public:
    /// Where the pixels lie: rows of width pixels (4 or 1 bytes each), bytesPerLine apart, as
    /// a box of a picture lies in the picture's memory.
    struct Rows {
        size_t width = 0;
        size_t count = 0;
        size_t bytesPerLine = 0;
        int bytesPerPixel = 4;
    };

    /// The pixels as pairs of a 32-bit run length and a pixel; a run goes on from the end of
    /// one row into the next.
    static QByteArray encode(const uchar *first, const Rows &rows);
    /// Writes the pixels that encode() coded; false, with nothing written, when the code does
    /// not hold exactly that many.
    static bool decode(const QByteArray &code, uchar *first, const Rows &rows);
};

} // namespace brimlark
