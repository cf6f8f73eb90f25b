// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QString>
#include <QtGlobal>

#include <cmath>
#include <limits>
#include <optional>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace brimlark
{

/// The two ways the system turns texts into numbers.
class NumberConversion
{
public:
    /// Lenient decimal conversion of the map-maker fields: leading blanks skipped, then an
    /// optional sign, digits with an optional "." fraction and an optional exponent, "."
    /// whatever the locale. Anything else, also trailing blanks, makes the text malformed,
    /// which gives 0, as does an empty or blank text. Never fails.
    static double lenientDouble(const QString &text);
    /// The lenient conversion of a text that is wholly a number, blanks around it allowed;
    /// empty for any other text.
    static std::optional<double> strictDouble(const QString &text);
    /// Both coordinates rounded half to even.
    static QPoint roundedPoint(QPointF p)
    {
        return QPoint(roundHalfEven(p.x()), roundHalfEven(p.y()));
    }
    /// The lenient conversion held as a whole number: rounded half to even, then clamped to
    /// the 32-bit range (NaN gives 0).
    static qint32 lenientRounded(const QString &text);
    /// Nearest 32-bit integer, a half going to the even neighbour; clamped, NaN gives 0.
    static qint32 roundHalfEven(double value)
    {
        if (std::isnan(value))
            return 0;
        if (value >= double(std::numeric_limits<qint32>::max()))
            return std::numeric_limits<qint32>::max();
        if (value <= double(std::numeric_limits<qint32>::min()))
            return std::numeric_limits<qint32>::min();
        // Both round half to even in the default rounding mode; the SSE2 conversion is
        // lrint's own instruction without the call, which every projected map point makes.
#ifdef __SSE2__
        return qint32(_mm_cvtsd_si32(_mm_set_sd(value)));
#else
        return qint32(std::lrint(value));
#endif
    }

    /// Strict integer: the text trimmed of blanks and control characters at both ends, an
    /// optional sign and decimal digits, within the 32-bit range. Empty when it is not one.
    static std::optional<qint32> strictInteger(const QString &text);
    /// The strict conversion, or "'%s' is not a valid integer value" with the trimmed text.
    static qint32 requireInteger(const QString &text);
    /// The text without blanks and control characters at either end.
    static QString trimmed(const QString &text);
};

} // namespace brimlark
