// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QImage>

namespace brimlark
{

/// Memory for large charts: whole huge pages, which the system is advised to back as such,
/// and the last block freed kept for the next chart of its length. A fresh block costs a
/// page fault for every page the chart touches, each page cleared by the system first; a
/// Generate, which replaces the chart while the history still holds the old one, would pay
/// that every time.
class ChartMemory
{
public:
    /// Below this many bytes a picture is an ordinary one: it takes less than a huge page.
    static constexpr size_t HugePage = 2 * 1024 * 1024;

    /// An image of the size and format in such memory, its pixels undefined; the memory
    /// goes back to the pool when the last copy of the image does.
    static QImage image(int width, int height, qsizetype bytesPerLine, QImage::Format format);
    /// Frees the block kept for the next chart, as memory is handed back between edits.
    static void releaseKept();
};

} // namespace brimlark
