// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/ChartSize.h"

#include "base/ChartError.h"

namespace brimlark
{

bool ChartSize::allowed(qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0)
        return true;
    return width <= MaxSide && height <= MaxSide && width * height <= MaxPixels;
}

void ChartSize::check(qint64 width, qint64 height)
{
    if (!allowed(width, height))
        throw ChartError(QStringLiteral("A chart of %1 x %2 pixels is too large: the limit is "
                                        "%3 pixels a side and %4 pixels in all")
                             .arg(width)
                             .arg(height)
                             .arg(MaxSide)
                             .arg(MaxPixels));
}

} // namespace brimlark
