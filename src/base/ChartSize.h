// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QtGlobal>

namespace brimlark
{

/// The one limit on a chart's size, wherever a chart is sized: by Generate, or by a picture
/// that is loaded. A size of zero or below is an empty chart and always allowed.
class ChartSize
{
public:
    static constexpr int MaxSide = 32767;
    static constexpr qint64 MaxPixels = qint64(1) << 27; // 512 MiB at 32 bits

    /// Whether a chart of this size may be made.
    static bool allowed(qint64 width, qint64 height);
    /// Fails with the message that names the size and the limits when it may not.
    static void check(qint64 width, qint64 height);
};

} // namespace brimlark
