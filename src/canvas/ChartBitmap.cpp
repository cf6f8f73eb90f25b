// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "canvas/ChartBitmap.h"

#include "base/ChartSize.h"

#include "base/ChartError.h"
#include "canvas/ChartMemory.h"
#include "canvas/PixelTarget.h"

#include <algorithm>
#include <cstring>

namespace brimlark
{

// Large charts live in memory the system may back with huge pages: a 1600 x 1200 chart is
// then a few page faults instead of nearly two thousand, which is most of the cost of
// making it.
QImage ChartBitmap::allocate(int width, int height, QImage::Format format)
{
    const qsizetype bytesPerLine =
        ((qsizetype(width) * (format == QImage::Format_RGB32 ? 4 : 1)) + 3) & ~qsizetype(3);
    if (size_t(bytesPerLine) * size_t(height) < ChartMemory::HugePage)
        return QImage(width, height, format);
    return ChartMemory::image(width, height, bytesPerLine, format);
}

// The pixels are copied here rather than by QImage, which would take fresh memory for every
// copy: drawing on a chart shared with the snapshot (every first press of a segment, every
// import) then costs a page fault for each page of the copy.
QImage &ChartBitmap::pixels()
{
    if (!m_image.isNull() && !m_image.isDetached())
        m_image = copyOf(m_image);
    return m_image;
}

QImage ChartBitmap::copyOf(const QImage &image)
{
    QImage copy = allocate(image.width(), image.height(), image.format());
    if (copy.bytesPerLine() == image.bytesPerLine())
        std::memcpy(copy.bits(), image.constBits(), size_t(image.sizeInBytes()));
    else
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(copy.scanLine(y), image.constScanLine(y),
                        size_t(std::min(copy.bytesPerLine(), image.bytesPerLine())));
    copy.setColorTable(image.colorTable());
    copy.setDotsPerMeterX(image.dotsPerMeterX());
    copy.setDotsPerMeterY(image.dotsPerMeterY());
    copy.setOffset(image.offset());
    for (const QString &key : image.textKeys())
        copy.setText(key, image.text(key));
    return copy;
}

void ChartBitmap::setSize(int width, int height)
{
    ChartSize::check(width, height);
    if (width == this->width() && height == this->height())
        return;
    if (width <= 0 || height <= 0) {
        m_image = QImage();
        m_paletteBits = 0; // an empty chart has no palette to make the next size from
        m_dirty = QRect();
        return;
    }
    QImage resized =
        allocate(width, height, m_paletteBits ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (m_paletteBits) {
        resized.setColorTable(m_image.colorTable());
        // A palette chart pads with its entry nearest to white.
        resized.fill(PixelTarget::nearestIndex(m_image.colorTable(), 0xFFFFFFFFu));
    } else {
        resized.fill(0xFFFFFFFFu);
    }
    if (!m_image.isNull()) {
        const int rows = qMin(height, m_image.height());
        const int bytes = qMin(width, m_image.width()) * (m_paletteBits ? 1 : 4);
        for (int y = 0; y < rows; ++y)
            memcpy(resized.scanLine(y), m_image.constScanLine(y), size_t(bytes));
    }
    m_image = std::move(resized);
    markAllDirty();
}

void ChartBitmap::forgetPixels()
{
    if (m_image.isNull() || m_image.isDetached())
        return;
    QImage fresh = allocate(width(), height(), m_image.format());
    fresh.setColorTable(m_image.colorTable());
    m_image = std::move(fresh);
    markAllDirty();
}

void ChartBitmap::assign(QImage image, int paletteBits)
{
    m_image = std::move(image);
    // An empty chart is a 32-bit one: a palette depth kept without its colour table would
    // make the next size an 8-bit chart with no colours.
    m_paletteBits = m_image.isNull() ? 0 : paletteBits;
    markAllDirty();
}

} // namespace brimlark
