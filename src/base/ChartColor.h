// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QRgb>
#include <cstdint>

namespace brimlark
{

/// A chart colour as the preferences store it: 0x00BBGGRR, red in the low byte.
using ChartColor = std::uint32_t;

/// The colour as Qt's 0xAARRGGBB, fully opaque.
constexpr QRgb toQRgb(ChartColor c)
{
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

/// Qt's 0xAARRGGBB as a chart colour; alpha is dropped.
constexpr ChartColor fromQRgb(QRgb rgb)
{
    return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

/// Builds a chart colour from its channels.
constexpr ChartColor chartRgb(int r, int g, int b)
{
    return ChartColor(r & 0xFF) | (ChartColor(g & 0xFF) << 8) | (ChartColor(b & 0xFF) << 16);
}

} // namespace brimlark
