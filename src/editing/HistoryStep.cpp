// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "editing/HistoryStep.h"

#include "base/ChartError.h"
#include "editing/RunLength.h"

#include <cstring>

namespace brimlark
{

namespace
{

int bytesPerPixel(const QImage &image) { return image.depth() / 8; }

bool sameView(const ViewValues &a, const ViewValues &b)
{
    return a.centerLat == b.centerLat && a.centerLon == b.centerLon && a.zoom == b.zoom
           && a.chartWidth == b.chartWidth && a.chartHeight == b.chartHeight;
}

} // namespace

std::optional<HistoryStep> HistoryStep::between(const ChartState &from, const ChartState &to)
{
    HistoryStep step;
    step.m_view = from.view;
    step.m_viewKnown = from.viewKnown;
    step.m_features = from.features;
    step.m_underlay = from.underlay;
    step.m_underlayBits = from.underlayBits;
    // Base maps are replaced, never drawn on, so a picture shared by both states is unchanged.
    if (!from.baseMap.isNull() && from.baseMap.cacheKey() != to.baseMap.cacheKey())
        step.m_baseMap = Picture::of(from.baseMap, from.baseMapBits);
    if (!sameShape(from.image, to.image) || from.paletteBits != to.paletteBits) {
        step.m_whole = Picture::of(from.image, from.paletteBits);
        return step;
    }
    step.m_area = changedArea(from.image, to.image);
    if (step.m_area.isEmpty() && sameView(from.view, to.view) && from.viewKnown == to.viewKnown
        && from.features == to.features && !step.m_baseMap
        && from.underlay.cacheKey() == to.underlay.cacheKey())
        return std::nullopt;
    step.m_code = encodeArea(from.image, step.m_area);
    return step;
}

void HistoryStep::swap(ChartState &state)
{
    swapBaseMap(state);
    std::swap(m_view, state.view);
    std::swap(m_viewKnown, state.viewKnown);
    std::swap(m_features, state.features);
    std::swap(m_underlay, state.underlay);
    std::swap(m_underlayBits, state.underlayBits);
    if (m_whole) {
        const Picture kept = Picture::of(state.image, state.paletteBits);
        state.image = m_whole->image();
        state.paletteBits = m_whole->paletteBits;
        m_whole = kept;
        return;
    }
    QByteArray code = encodeArea(state.image, m_area);
    decodeArea(m_code, state.image, m_area);
    m_code = std::move(code);
}

// A state whose base map the session did not hold leaves the step without one: its redo
// then keeps the base map it finds.
void HistoryStep::swapBaseMap(ChartState &state)
{
    if (!m_baseMap)
        return;
    std::optional<Picture> kept;
    if (!state.baseMap.isNull())
        kept = Picture::of(state.baseMap, state.baseMapBits);
    state.baseMap = m_baseMap->image();
    state.baseMapBits = m_baseMap->paletteBits;
    m_baseMap = std::move(kept);
}

qsizetype HistoryStep::bytes() const
{
    return m_code.size() + (m_whole ? m_whole->code.size() : 0)
           + (m_baseMap ? m_baseMap->code.size() : 0);
}

HistoryStep::Picture HistoryStep::Picture::of(const QImage &image, int paletteBits)
{
    return {image.size(), image.format(), image.colorTable(), paletteBits,
            image.isNull() ? QByteArray() : encodeArea(image, image.rect())};
}

QImage HistoryStep::Picture::image() const
{
    QImage image(size, format);
    if (!image.isNull()) {
        image.setColorTable(colours);
        decodeArea(code, image, image.rect());
    }
    return image;
}

bool HistoryStep::sameShape(const QImage &a, const QImage &b)
{
    return a.size() == b.size() && a.format() == b.format() && a.colorTable() == b.colorTable();
}

// The smallest rectangle outside which the two pictures (of one shape) are equal: rows are
// compared whole first, then the differing rows pixel by pixel for the sides.
QRect HistoryStep::changedArea(const QImage &a, const QImage &b)
{
    const int bpp = bytesPerPixel(a);
    const size_t rowBytes = size_t(a.width()) * size_t(bpp);
    const auto rowsDiffer = [&](int y) {
        return std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) != 0;
    };
    int top = 0;
    while (top < a.height() && !rowsDiffer(top))
        ++top;
    if (top == a.height())
        return QRect();
    int bottom = a.height() - 1;
    while (!rowsDiffer(bottom))
        --bottom;
    int left = a.width(), right = -1;
    for (int y = top; y <= bottom; ++y) {
        const uchar *p = a.constScanLine(y), *q = b.constScanLine(y);
        for (int x = 0; x < left; ++x)
            if (std::memcmp(p + x * bpp, q + x * bpp, size_t(bpp)) != 0) {
                left = x;
                break;
            }
        for (int x = a.width() - 1; x > right; --x)
            if (std::memcmp(p + x * bpp, q + x * bpp, size_t(bpp)) != 0) {
                right = x;
                break;
            }
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QByteArray HistoryStep::encodeArea(const QImage &image, QRect area)
{
    if (area.isEmpty())
        return QByteArray();
    const int bpp = bytesPerPixel(image);
    const size_t rowBytes = size_t(area.width()) * size_t(bpp);
    QByteArray pixels(qsizetype(rowBytes) * area.height(), Qt::Uninitialized);
    for (int y = 0; y < area.height(); ++y)
        std::memcpy(pixels.data() + qsizetype(rowBytes) * y,
                    image.constScanLine(area.top() + y) + area.left() * bpp, rowBytes);
    return RunLength::encode(reinterpret_cast<const uchar *>(pixels.constData()),
                             size_t(area.width()) * size_t(area.height()), bpp);
}

void HistoryStep::decodeArea(const QByteArray &code, QImage &image, QRect area)
{
    if (area.isEmpty())
        return;
    const int bpp = bytesPerPixel(image);
    const size_t rowBytes = size_t(area.width()) * size_t(bpp);
    QByteArray pixels(qsizetype(rowBytes) * area.height(), Qt::Uninitialized);
    if (!RunLength::decode(code, reinterpret_cast<uchar *>(pixels.data()),
                           size_t(area.width()) * size_t(area.height()), bpp))
        throw ChartError(QStringLiteral("The undo history is damaged"));
    for (int y = 0; y < area.height(); ++y)
        std::memcpy(image.scanLine(area.top() + y) + area.left() * bpp,
                    pixels.constData() + qsizetype(rowBytes) * y, rowBytes);
}

} // namespace brimlark
