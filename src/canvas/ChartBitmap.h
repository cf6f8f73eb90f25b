// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QImage>
#include <QRect>

namespace brimlark
{

/// The one raster image of the chart: 32-bit RGB, or the palette and depth of a loaded
/// 1-, 4- or 8-bit bitmap file. An empty chart has width and height 0.
class ChartBitmap
{
public:
    /// Largest side and largest pixel count that any chart may have.

    ChartBitmap() = default;

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    bool isEmpty() const { return m_image.isNull(); }
    /// 0 for a 32-bit chart, else the bits per pixel of its palette (1, 4 or 8).
    int paletteBits() const { return m_paletteBits; }
    const QImage &image() const { return m_image; }
    /// Writable pixels, no longer shared with any copy; callers that draw report what they
    /// touched with markDirty.
    QImage &pixels();

    /// Resizes the chart, keeping the pixels that still fit; new pixels are white. The size
    /// is checked before anything changes; a side of 0 or below empties the chart, which
    /// then is a 32-bit one.
    void setSize(int width, int height);
    void setWidth(int width) { setSize(width, height()); }
    void setHeight(int height) { setSize(width(), height); }
    /// The whole chart is about to be painted over: pixels shared with a kept copy (the undo
    /// history's, a write still waiting) are left to that copy instead of being copied for
    /// nothing first. The size and palette stay; the pixels are undefined until painted.
    void forgetPixels();
    /// Replaces the chart with an image (Format_RGB32, or Format_Indexed8 with paletteBits);
    /// an empty image gives an empty 32-bit chart.
    void assign(QImage image, int paletteBits);

    /// The region changed since the view last showed the chart.
    QRect dirtyRect() const { return m_dirty; }
    void markDirty(const QRect &rect) { m_dirty |= rect; }
    void markAllDirty() { m_dirty = QRect(0, 0, width(), height()); }
    void clearDirty() { m_dirty = QRect(); }

private:
    static QImage allocate(int width, int height, QImage::Format format);
    static QImage copyOf(const QImage &image);

    QImage m_image;
    int m_paletteBits = 0;
    QRect m_dirty;
};

} // namespace brimlark
