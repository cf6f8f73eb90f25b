// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The shapes of groups that both the splitting of a file and the decoding of a report know.
#pragma once

#include <QStringView>

#include <algorithm>

namespace brimlark
{

namespace MetarGroups
{

inline bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
inline bool isLetter(QChar c) { return c >= u'A' && c <= u'Z'; }

inline bool isDigits(QStringView s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), isDigit);
}

inline bool isLetters(QStringView s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), isLetter);
}

/// A station id: a letter, then three letters or digits (KDEN, K0CO).
inline bool isStation(QStringView g)
{
    return g.size() == 4 && isLetter(g[0])
           && std::all_of(g.begin(), g.end(), [](QChar c) { return isLetter(c) || isDigit(c); });
}

/// DDHHMMZ, whatever its values.
inline bool isTimeShape(QStringView g)
{
    return g.size() == 7 && g[6] == u'Z' && isDigits(g.first(6));
}

/// METAR or SPECI, the kind of report.
inline bool isKind(QStringView g) { return g == u"METAR" || g == u"SPECI"; }

/// COR, or CCA to CCZ for the first to the 26th correction.
inline bool isCorrection(QStringView g)
{
    return g == u"COR" || (g.size() == 3 && g.startsWith(u"CC") && isLetter(g[2]));
}

} // namespace MetarGroups

} // namespace brimlark
