// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/ChartMarkers.h"

#include "base/NumberConversion.h"

namespace brimlark
{

void ChartMarkers::placeLetter(ChartCanvas &canvas, const ChartSettings &settings, QChar letter,
                               int x, int y)
{
    canvas.setBrushStyle(BrushStyle::Clear);
    canvas.setFontName(QStringLiteral("Arial"));
    canvas.setFontSize(36);
    canvas.setFontStyle(FontStyle::Bold);
    const QString extent = QStringLiteral("L");
    const int ox = NumberConversion::roundHalfEven(canvas.textWidth(extent) / 2.0);
    const int oy = NumberConversion::roundHalfEven(canvas.textHeight(extent) / 2.0);
    const bool low = letter == u'L';
    canvas.setFontColor(settings.color(low ? ChartSettings::WarmColor : ChartSettings::ColdColor));
    canvas.textOut(x - ox, y - oy, low ? QStringLiteral("L") : QStringLiteral("H"));
}

void ChartMarkers::placeText(ChartCanvas &canvas, const QString &text, int x, int y)
{
    if (text.isEmpty())
        return;
    canvas.setBrushStyle(BrushStyle::Clear);
    canvas.setFontName(QStringLiteral("Arial"));
    canvas.setFontSize(12);
    canvas.setFontColor(0);
    canvas.setFontStyle(FontStyle::Bold);
    canvas.textOut(x, y, text);
}

} // namespace brimlark
