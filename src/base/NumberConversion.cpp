// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/NumberConversion.h"

#include "base/ChartError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace brimlark
{

namespace
{

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number at the start of s by the grammar
// [+-]? digits* ("." digits*)? ([eE] [+-]? digits+)? with at least one mantissa digit;
// 0 when there is none.
size_t numberLength(const std::string &s)
{
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
        ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && isDigit(s[i]); ++i)
            ++digits;
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        const size_t expStart = j;
        while (j < s.size() && isDigit(s[j]))
            ++j;
        if (j == expStart)
            return 0; // an exponent mark without digits
        i = j;
    }
    return i;
}

// A number that from_chars found out of range: infinite when its decimal order of
// magnitude is large, zero when it is small.
double outOfRange(const std::string &s)
{
    const bool negative = s[0] == '-';
    const size_t exponentAt = std::min(s.find_first_of("eE"), s.size());
    long long order = 0; // decimal order of the first significant digit
    bool seenPoint = false;
    bool seenSignificant = false;
    for (size_t i = 0; i < exponentAt; ++i) {
        if (s[i] == '.')
            seenPoint = true;
        else if (isDigit(s[i]) && !seenSignificant && s[i] != '0')
            seenSignificant = true;
        else if (isDigit(s[i]) && seenSignificant && !seenPoint)
            ++order;
        if (isDigit(s[i]) && !seenSignificant && seenPoint)
            --order;
    }
    long long exponent = 0;
    for (size_t i = exponentAt + 1; i < s.size(); ++i)
        if (isDigit(s[i]) && exponent < 100000000)
            exponent = exponent * 10 + (s[i] - '0');
    if (s.find('-', exponentAt) != std::string::npos)
        exponent = -exponent;
    const double magnitude = order + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

} // namespace

double NumberConversion::lenientDouble(const QString &text)
{
    const QByteArray latin = text.toLatin1();
    size_t start = 0;
    while (start < size_t(latin.size()) && latin[qsizetype(start)] == ' ')
        ++start;
    const std::string s(latin.constData() + start, size_t(latin.size()) - start);
    if (s.empty() || numberLength(s) != s.size())
        return 0.0;
    // from_chars takes no leading '+'.
    const size_t skip = s[0] == '+' ? 1 : 0;
    double value = 0.0;
    const auto result =
        std::from_chars(s.data() + skip, s.data() + s.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        return outOfRange(s);
    return result.ec == std::errc() ? value : 0.0;
}

std::optional<double> NumberConversion::strictDouble(const QString &text)
{
    const QString number = text.trimmed();
    const QByteArray latin = number.toLatin1();
    if (latin.isEmpty() || numberLength(latin.toStdString()) != size_t(latin.size())
        || QString::fromLatin1(latin) != number)
        return std::nullopt;
    return lenientDouble(number);
}

qint32 NumberConversion::lenientRounded(const QString &text)
{
    return roundHalfEven(lenientDouble(text));
}

QString NumberConversion::trimmed(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= ' ')
        ++first;
    while (last > first && text[last - 1].unicode() <= ' ')
        --last;
    return text.mid(first, last - first);
}

std::optional<qint32> NumberConversion::strictInteger(const QString &text)
{
    const QString t = trimmed(text);
    qsizetype i = (t.startsWith(u'+') || t.startsWith(u'-')) ? 1 : 0;
    if (i == t.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    if (t.startsWith(u'-'))
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

qint32 NumberConversion::requireInteger(const QString &text)
{
    if (const auto value = strictInteger(text))
        return *value;
    throw ChartError(QStringLiteral("'%1' is not a valid integer value").arg(trimmed(text)));
}

} // namespace brimlark
