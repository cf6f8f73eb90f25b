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
    /// The pixels (4 or 1 bytes each) as pairs of a 32-bit run length and a pixel.
    static QByteArray encode(const uchar *pixels, size_t count, int bytesPerPixel);
    /// Writes the count pixels that encode() coded; false when the code does not hold them.
    static bool decode(const QByteArray &code, uchar *pixels, size_t count, int bytesPerPixel);
};

} // namespace brimlark
