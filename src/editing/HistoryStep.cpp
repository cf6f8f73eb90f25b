// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "editing/HistoryStep.h"

#include "base/ChartError.h"

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
    const bool baseMapReplaced =
        !from.baseMap.isNull() && from.baseMap.cacheKey() != to.baseMap.cacheKey();
    const bool whole = !sameShape(from.image, to.image) || from.paletteBits != to.paletteBits;
    if (!whole) {
        step.m_area = changedArea(from.image, to.image);
        if (step.m_area.isEmpty() && sameView(from.view, to.view) && from.viewKnown == to.viewKnown
            && from.features == to.features && !baseMapReplaced
            && from.underlay.cacheKey() == to.underlay.cacheKey())
            return std::nullopt;
    }
    step.m_uncoded = Pictures{from.image, from.paletteBits, whole,
                              baseMapReplaced ? from.baseMap : QImage(), from.baseMapBits};
    return step;
}

void HistoryStep::code()
{
    if (!m_uncoded)
        return;
    codePictures(*m_uncoded);
    m_uncoded.reset();
}

// The state's chart and base map are coded before either is replaced, and the step's own
// pictures decoded the chart first, so that a step that does not fit leaves the state as it
// was. A state whose base map the session did not hold leaves the step without one: its redo
// then keeps the base map it finds.
void HistoryStep::swap(ChartState &state)
{
    code();
    HistoryStep kept;
    kept.m_area = m_area;
    kept.codePictures({state.image, state.paletteBits, m_whole.has_value(),
                       m_baseMap ? state.baseMap : QImage(), state.baseMapBits});

    if (m_whole) {
        state.image = m_whole->image();
        state.paletteBits = m_whole->paletteBits;
    } else {
        decodeArea(m_code, state.image, m_area);
    }
    if (m_baseMap) {
        state.baseMap = m_baseMapIsChart ? state.image : m_baseMap->image();
        state.baseMapBits = m_baseMap->paletteBits;
    }
    m_whole = std::move(kept.m_whole);
    m_code = std::move(kept.m_code);
    m_baseMap = std::move(kept.m_baseMap);
    m_baseMapIsChart = kept.m_baseMapIsChart;
    std::swap(m_view, state.view);
    std::swap(m_viewKnown, state.viewKnown);
    std::swap(m_features, state.features);
    std::swap(m_underlay, state.underlay);
    std::swap(m_underlayBits, state.underlayBits);
}

void HistoryStep::codePictures(const Pictures &pictures)
{
    if (pictures.whole)
        m_whole = Picture::of(pictures.image, pictures.paletteBits);
    else
        m_code = encodeArea(pictures.image, m_area);
    if (!pictures.baseMap.isNull())
        keepBaseMap(pictures);
}

// After Generate or Load the base map is the chart itself until the first segment: its code
// is then the code of the chart's whole picture, kept once, and it decodes to the chart's
// picture again rather than to a copy.
void HistoryStep::keepBaseMap(const Pictures &pictures)
{
    const QImage &image = pictures.image;
    m_baseMapIsChart =
        pictures.baseMap.cacheKey() == image.cacheKey() && (m_whole || m_area == image.rect());
    if (!m_baseMapIsChart)
        m_baseMap = Picture::of(pictures.baseMap, pictures.baseMapBits);
    else if (m_whole)
        m_baseMap = Picture{*m_whole};
    else
        m_baseMap = Picture{image.size(), image.format(), image.colorTable(), 0, m_code};
    m_baseMap->paletteBits = pictures.baseMapBits;
}

qsizetype HistoryStep::bytes() const
{
    return m_code.size() + (m_whole ? m_whole->code.size() : 0)
           + (m_baseMap && !m_baseMapIsChart ? m_baseMap->code.size() : 0);
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
    return RunLength::encode(image.constScanLine(area.top()) + area.left() * bytesPerPixel(image),
                             rowsOf(image, area));
}

void HistoryStep::decodeArea(const QByteArray &code, QImage &image, QRect area)
{
    if (area.isEmpty())
        return;
    if (!RunLength::decode(code, image.scanLine(area.top()) + area.left() * bytesPerPixel(image),
                           rowsOf(image, area)))
        throw ChartError(QStringLiteral("The undo history is damaged"));
}

RunLength::Rows HistoryStep::rowsOf(const QImage &image, QRect area)
{
    return {.width = size_t(area.width()),
            .count = size_t(area.height()),
            .bytesPerLine = size_t(image.bytesPerLine()),
            .bytesPerPixel = bytesPerPixel(image)};
}

} // namespace brimlark
