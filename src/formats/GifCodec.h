// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QImage>

namespace brimlark
{

/// GIF pictures: decoding the first image of a file and encoding a chart as one image.
class GifCodec
{
public:
    /// The first image of a GIF on its logical screen, as ARGB32: pixels of the transparent
    /// index and pixels the image does not cover are fully transparent. Fails with the
    /// decoder's message ("Invalid GIF signature" for a file that is no GIF), or the size
    /// message for a picture over the chart limits.
    static QImage decode(const QByteArray &bytes);

    /// How a 32-bit chart's colours are put into the GIF's palette.
    enum class Colours {
        /// Reduced without dithering to the 216 colours whose channels are multiples of 51,
        /// index 36 r + 6 g + b with the level of a channel value v being (v + 3) / 51.
        Reduced,
        /// Exactly the chart's own colours when it has at most 256 of them; reduced as
        /// above when it has more.
        ExactWhenFew,
    };

    /// One LZW-compressed image without extension blocks. A palette chart (paletteBits 1, 4
    /// or 8) keeps its palette and pixels; a 32-bit chart takes its colours as asked.
    static QByteArray encode(const QImage &image, int paletteBits, Colours colours);

    /// The 216-colour palette index of a colour.
    static int webIndex(QRgb rgb);
};

} // namespace brimlark
