// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "canvas/ChartFonts.h"

#include <cmath>

namespace brimlark
{

void ChartFonts::registerSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

int ChartFonts::pixelSize(int points) { return int(std::lround(points * 96.0 / 72.0)); }

QFont ChartFonts::chartFont(const QString &face, int points, bool bold)
{
    QFont font(face);
    font.setPixelSize(qMax(1, pixelSize(points)));
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

} // namespace brimlark
