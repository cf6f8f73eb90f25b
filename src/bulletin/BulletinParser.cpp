// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "bulletin/BulletinParser.h"

#include "base/ChartError.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace brimlark
{

namespace
{

struct Token {
    QByteArray text;
    int line = 0;
};

ChartError errorAt(int line, const QString &what)
{
    return ChartError(QStringLiteral("Bulletin line %1: %2").arg(line).arg(what));
}

QString quoted(const QByteArray &text) { return u'"' + QString::fromUtf8(text) + u'"'; }

// Length of the well-formed UTF-8 sequence at the start of the bytes, or 0 (overlong forms,
// surrogates and code points past U+10FFFF are not well formed).
int utf8SequenceLength(const uchar *p, qsizetype available)
{
    const uchar c = p[0];
    if (c < 0x80)
        return 1;
    int length;
    char32_t code;
    char32_t lowest;
    if ((c & 0xE0) == 0xC0) {
        length = 2, code = c & 0x1F, lowest = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, code = c & 0x0F, lowest = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4, code = c & 0x07, lowest = 0x10000;
    } else {
        return 0;
    }
    if (available < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

// Separators within a line. SOH (0x01) and ETX (0x03) frame a bulletin as it comes off the
// wire, so a file saved straight from a feed reads like one saved from a web page.
bool isSeparator(uchar c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == 0x01 || c == 0x03;
}

// Refuses anything but UTF-8 text without control characters other than the separators.
void requireText(const QByteArray &text)
{
    const auto *bytes = reinterpret_cast<const uchar *>(text.constData());
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < text.size();) {
        const uchar c = bytes[i];
        const int length = utf8SequenceLength(bytes + i, text.size() - i);
        if (length == 0 || (c < 0x20 && c != '\n' && !isSeparator(c)) || c == 0x7F) {
            throw ChartError(QStringLiteral("Bulletin line %1 is not text: byte 0x%2 at column %3")
                                 .arg(line)
                                 .arg(int(c), 2, 16, QLatin1Char('0'))
                                 .arg(i - lineStart + 1));
        }
        if (c == '\n') {
            ++line;
            lineStart = i + 1;
        }
        i += length;
    }
}

// The text with every line ending in LF: CR LF (and the CR CR LF of bulletins off the wire)
// becomes LF, and so does a CR alone, as in files from systems that end lines with CR only.
QByteArray withLineFeeds(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        qsizetype next = i + 1;
        while (next < text.size() && text[next] == '\r')
            ++next;
        if (next == text.size() || text[next] != '\n')
            out += '\n';
    }
    return out;
}

std::vector<Token> tokensOf(QByteArrayView line, int number)
{
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSeparator(uchar(line[i])))
            ++i;
        const qsizetype start = i;
        while (i < line.size() && !isSeparator(uchar(line[i])))
            ++i;
        if (i > start)
            tokens.push_back({line.sliced(start, i - start).toByteArray(), number});
    }
    return tokens;
}

bool isDigits(const QByteArray &text)
{
    return !text.isEmpty()
           && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The date of a header line that ends as the issue line does: "342 PM EDT MON JUN 28 2021".
std::optional<QDate> issueDateOf(const std::vector<Token> &tokens)
{
    static const char *const Months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    if (tokens.size() < 3)
        return std::nullopt;
    const QByteArray month = tokens[tokens.size() - 3].text.toUpper();
    const QByteArray &day = tokens[tokens.size() - 2].text;
    const QByteArray &year = tokens.back().text;
    const auto named = std::find_if(std::begin(Months), std::end(Months),
                                    [&](const char *name) { return month == name; });
    if (named == std::end(Months) || !isDigits(day) || day.size() > 2 || !isDigits(year)
        || year.size() != 4)
        return std::nullopt;
    const QDate date(year.toInt(), int(named - std::begin(Months)) + 1, day.toInt());
    return date.isValid() ? std::optional(date) : std::nullopt;
}

// The entry being read: HIGHS, LOWS or a line, with its number tokens so far.
struct Entry {
    enum Kind { Highs, Lows, Line } kind = Line;
    Token keyword;
    LineTool tool = LineTool::ColdFront;
    QString strength;
    std::vector<Token> numbers;
};

class Reader
{
public:
    explicit Reader(bool highResolution) : m_highResolution(highResolution) {}

    void take(const Token &token);
    void finish();
    Bulletin result() { return std::move(m_bulletin); }
    Bulletin &bulletin() { return m_bulletin; }

private:
    bool isPositionGroup(const Token &t) const;
    GeoPoint position(const Token &t) const;
    void finishEntry();
    void readCentres(const Entry &entry);

    bool m_highResolution;
    std::optional<Entry> m_entry;
    Bulletin m_bulletin;
};

void Reader::take(const Token &token)
{
    const QByteArray upper = token.text.toUpper();
    if (upper == "HIGHS" || upper == "LOWS") {
        finishEntry();
        m_entry.emplace();
        m_entry->kind = upper == "HIGHS" ? Entry::Highs : Entry::Lows;
        m_entry->keyword = token;
    } else if (const LineToolNames *named = LineToolNames::byKeyword(upper)) {
        finishEntry();
        m_entry.emplace();
        m_entry->keyword = token;
        m_entry->tool = named->tool;
    } else if (isStrengthWord(upper)) {
        if (!m_entry || m_entry->kind != Entry::Line || !m_entry->strength.isEmpty()
            || !m_entry->numbers.empty())
            throw errorAt(
                token.line,
                QStringLiteral("strength %1 must follow a front keyword").arg(quoted(token.text)));
        m_entry->strength = QString::fromLatin1(upper);
    } else if (upper == "VALID") {
        throw errorAt(token.line, QStringLiteral("a second VALID line"));
    } else if (isDigits(token.text)) {
        if (!m_entry)
            throw errorAt(token.line,
                          QStringLiteral("%1 comes before any keyword").arg(quoted(token.text)));
        m_entry->numbers.push_back(token);
    } else if (QString::fromUtf8(token.text).front().isLetter()) {
        throw errorAt(token.line, QStringLiteral("unknown keyword %1").arg(quoted(token.text)));
    } else {
        throw errorAt(
            token.line,
            QStringLiteral("%1 is not a position group of digits").arg(quoted(token.text)));
    }
}

void Reader::finish() { finishEntry(); }

bool Reader::isPositionGroup(const Token &t) const
{
    const qsizetype n = t.text.size();
    return m_highResolution ? n == 7 : (n == 4 || n == 5);
}

// LLLNNNN in tenths of a degree, or LLNN / LLNNN in degrees; north and west positive. East
// longitudes are given as degrees west beyond 180, up to 359.9: 185.0 W is 175 E.
GeoPoint Reader::position(const Token &t) const
{
    const qsizetype digits = t.text.size();
    if (digits != 4 && digits != 5 && digits != 7)
        throw errorAt(t.line, QStringLiteral("position group %1 has %2 digits; it must have 4, 5 "
                                             "or 7")
                                  .arg(quoted(t.text))
                                  .arg(digits));
    if (!isPositionGroup(t))
        throw errorAt(t.line, QStringLiteral("position group %1 does not match the bulletin's "
                                             "other positions, which have %2")
                                  .arg(quoted(t.text))
                                  .arg(m_highResolution ? QStringLiteral("7 digits (LLLNNNN)")
                                                        : QStringLiteral("4 or 5 digits (LLNN "
                                                                         "or LLNNN)")));
    const int latitudeDigits = m_highResolution ? 3 : 2;
    const double scale = m_highResolution ? 10.0 : 1.0;
    const double latitude = t.text.first(latitudeDigits).toInt() / scale;
    const int westUnits = t.text.sliced(latitudeDigits).toInt();
    const double west = westUnits / scale;
    // From whole units, so that 359.9 W is 0.1 E exactly as 0.1 W is 0.1 W.
    const double east = (360 * scale - westUnits) / scale;
    if (latitude > 90)
        throw errorAt(t.line, QStringLiteral("position %1 has latitude %2, over 90")
                                  .arg(quoted(t.text))
                                  .arg(latitude));
    if (west >= 360)
        throw errorAt(t.line, QStringLiteral("position %1 has longitude %2 W, 360 or over")
                                  .arg(quoted(t.text))
                                  .arg(west));
    return GeoPoint{latitude, west == 0 ? 0.0 : west > 180 ? east : -west};
}

void Reader::finishEntry()
{
    if (!m_entry)
        return;
    const Entry entry = std::move(*m_entry);
    m_entry.reset();
    if (entry.kind != Entry::Line) {
        readCentres(entry);
        return;
    }
    Bulletin::Line line{entry.tool, entry.strength, {}};
    for (const Token &t : entry.numbers)
        line.points.push_back(position(t));
    if (line.points.size() < 2)
        throw errorAt(entry.keyword.line,
                      QStringLiteral("%1 has %2 position(s); a line needs at least two")
                          .arg(QString::fromLatin1(entry.keyword.text))
                          .arg(line.points.size()));
    m_bulletin.lines.push_back(std::move(line));
}

// A pressure is always followed by a position, and a position follows a pressure or a
// position. So in "1015 5482 61108 1018 66105" 61108 is a centre without a pressure, and in
// low resolution "1017 1018 66105" reads 1017 as the pressure of a centre at 10 N 18 W. Taking
// a pressure whenever one fits never fails where another reading would succeed: every other
// group has to be a position in any reading. A group that could be a pressure ends the entry
// only when its position went missing: "HIGHS 1022 4593 1020" is refused rather than read as a
// high at 10 N 20 W.
void Reader::readCentres(const Entry &entry)
{
    const auto &n = entry.numbers;
    for (size_t i = 0; i < n.size(); ++i) {
        Bulletin::Centre centre;
        centre.high = entry.kind == Entry::Highs;
        const qsizetype digits = n[i].text.size();
        if (digits == 3 || digits == 4) {
            const int value = n[i].text.toInt();
            const bool pressureLike =
                value >= BulletinParser::LowestPressure && value <= BulletinParser::HighestPressure;
            const bool followed = i + 1 < n.size() && isPositionGroup(n[i + 1]);
            const bool last = i + 1 == n.size();
            if (pressureLike && followed) {
                centre.pressure = value;
                ++i;
            } else if (!isPositionGroup(n[i]) || (pressureLike && last)) {
                throw errorAt(n[i].line,
                              pressureLike
                                  ? QStringLiteral("pressure %1 is not followed by a position")
                                        .arg(quoted(n[i].text))
                                  : QStringLiteral("%1 is neither a pressure (%2 to %3 hPa) nor "
                                                   "a position group")
                                        .arg(quoted(n[i].text))
                                        .arg(BulletinParser::LowestPressure)
                                        .arg(BulletinParser::HighestPressure));
            }
        }
        centre.position = position(n[i]);
        m_bulletin.centres.push_back(centre);
    }
}

// The VALID time and the tokens of the body, which runs from that time to $$. Everything
// before the VALID line is header, where an issue line may give the year.
struct BulletinBody {
    Token valid;
    std::optional<int> year;
    std::vector<Token> tokens;
};

// The time of a VALID line, checked, with the year from the issue date when there is one.
Token validTime(const std::vector<Token> &tokens, int number, std::optional<QDate> issued,
                std::optional<int> &year)
{
    if (tokens.size() < 2)
        throw errorAt(number, QStringLiteral("VALID needs a time as MMDDHHZ, found nothing"));
    if (issued)
        year = BulletinParser::yearNear(tokens[1].text, *issued);
    const QString fault = BulletinParser::timeFault(tokens[1].text, year);
    if (!fault.isEmpty())
        throw errorAt(number, QStringLiteral("VALID needs a time as MMDDHHZ, found %1: %2")
                                  .arg(quoted(tokens[1].text), fault));
    return tokens[1];
}

// The first line of the text, which is taken off it.
QByteArrayView takeLine(QByteArrayView &rest)
{
    const qsizetype end = rest.indexOf('\n');
    const QByteArrayView line = end < 0 ? rest : rest.first(end);
    rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
    return line;
}

BulletinBody bodyOf(const QByteArray &text)
{
    QByteArrayView rest(text);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    BulletinBody body;
    bool valid = false;
    std::optional<QDate> issued;
    bool ended = false;
    int lastLine = 0;
    for (int number = 1; !rest.isEmpty() && !ended; ++number) {
        std::vector<Token> tokens = tokensOf(takeLine(rest), number);
        if (tokens.empty())
            continue;
        lastLine = number;
        auto from = tokens.begin();
        if (!valid) {
            if (from->text == "$$")
                throw errorAt(number, QStringLiteral("the bulletin ends at $$ before its VALID "
                                                     "line"));
            if (from->text.toUpper() != "VALID") {
                if (const auto date = issueDateOf(tokens))
                    issued = date;
                continue;
            }
            body.valid = validTime(tokens, number, issued, body.year);
            valid = true;
            from += 2;
        }
        for (; from != tokens.end() && !ended; ++from) {
            ended = from->text == "$$";
            if (!ended)
                body.tokens.push_back(std::move(*from));
        }
    }
    if (!valid)
        throw ChartError(QStringLiteral("The bulletin has no VALID line (VALID MMDDHHZ)"));
    if (!ended)
        throw errorAt(lastLine,
                      QStringLiteral("the bulletin ends without $$; it may be cut short"));
    return body;
}

// One bulletin is of one resolution, so that a 4-digit pressure whose position went missing
// in a high-resolution bulletin is not taken for a low-resolution position. The groups that
// can only be positions vote; the few of the other kind are the faults.
bool isHighResolution(const std::vector<Token> &body)
{
    qsizetype high = 0;
    qsizetype low = 0;
    for (const Token &t : body) {
        if (!isDigits(t.text))
            continue;
        const qsizetype digits = t.text.size();
        const int value = t.text.toInt();
        if (digits == 7)
            ++high;
        else if (digits == 5
                 || (digits == 4
                     && (value < BulletinParser::LowestPressure
                         || value > BulletinParser::HighestPressure)))
            ++low;
    }
    return high > low;
}

} // namespace

bool BulletinParser::isValidTime(QByteArrayView time) { return timeFault(time, {}).isEmpty(); }

QString BulletinParser::timeFault(QByteArrayView time, std::optional<int> year)
{
    if (time.size() != 7 || (time[6] != 'Z' && time[6] != 'z')
        || !isDigits(time.first(6).toByteArray()))
        return QStringLiteral("it must read MMDDHHZ");
    const int month = time.first(2).toInt();
    const int day = time.sliced(2, 2).toInt();
    const int hour = time.sliced(4, 2).toInt();
    if (month < 1 || month > 12)
        return QStringLiteral("there is no month %1").arg(month);
    // Without the year, 29 February may be in a leap year.
    const int days = QDate(year.value_or(2000), month, 1).daysInMonth();
    if (day < 1 || day > days) {
        const QString monthName = QLocale::c().standaloneMonthName(month);
        return year ? QStringLiteral("%1 %2 has no day %3").arg(monthName).arg(*year).arg(day)
                    : QStringLiteral("%1 has no day %2").arg(monthName).arg(day);
    }
    if (hour > 23)
        return QStringLiteral("there is no hour %1").arg(hour);
    return {};
}

int BulletinParser::yearNear(QByteArrayView time, QDate date)
{
    const int month = time.first(2).toInt();
    const auto monthsAway = [&](int year) {
        return std::abs((year - date.year()) * 12 + month - date.month());
    };
    int nearest = date.year();
    for (const int year : {date.year() - 1, date.year() + 1})
        if (monthsAway(year) < monthsAway(nearest))
            nearest = year;
    return nearest;
}

Bulletin BulletinParser::parse(const QByteArray &original)
{
    const QByteArray text = withLineFeeds(original);
    requireText(text);
    const BulletinBody body = bodyOf(text);
    Reader reader(isHighResolution(body.tokens));
    reader.bulletin().valid = QString::fromLatin1(body.valid.text.toUpper());
    reader.bulletin().year = body.year;
    for (const Token &token : body.tokens)
        reader.take(token);
    reader.finish();
    return reader.result();
}

} // namespace brimlark
