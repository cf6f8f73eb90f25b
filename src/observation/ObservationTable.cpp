// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "observation/ObservationTable.h"

#include "base/ChartError.h"
#include "base/DataFile.h"
#include "base/NumberConversion.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringTokenizer>

#include <algorithm>
#include <cmath>
#include <optional>

namespace brimlark
{

namespace
{

constexpr double HectopascalsPerInchOfMercury = 33.8639;

// Splits a line of comma-separated values into fields, a field in double quotes taken with
// its commas and its doubled quotes made single. False for a quote left open or text after
// a closing quote, which leaves the row's columns uncertain.
bool splitFields(QStringView line, std::vector<QString> &fields)
{
    fields.clear();
    qsizetype i = 0;
    for (;;) {
        QString value;
        if (i < line.size() && line[i] == u'"') {
            for (++i;; ++i) {
                if (i >= line.size())
                    return false;
                if (line[i] == u'"') {
                    if (i + 1 < line.size() && line[i + 1] == u'"')
                        ++i;
                    else
                        break;
                }
                value += line[i];
            }
            ++i; // past the closing quote
            if (i < line.size() && line[i] != u',')
                return false;
        } else {
            const qsizetype comma = line.indexOf(u',', i);
            const qsizetype end = comma < 0 ? line.size() : comma;
            value = line.mid(i, end - i).toString();
            i = end;
        }
        fields.push_back(std::move(value));
        if (i >= line.size())
            return true;
        ++i; // past the comma
    }
}

// The columns read, the needed ones first; their names as the header gives them.
namespace column
{
enum Id {
    Station,
    Valid,
    Lon,
    Lat,
    NeededColumns, // a row cannot do without those: who reported, when, and where
    Tmpf = NeededColumns,
    Dwpf,
    Drct,
    Sknt,
    Gust,
    Mslp,
    Alti,
    Vsby,
    Skyc1,
    Skyc2,
    Skyc3,
    Skyc4,
    Wxcodes,
    ColumnCount
};
} // namespace column
constexpr const char16_t *ColumnNames[column::ColumnCount] = {
    u"station", u"valid", u"lon",  u"lat",   u"tmpf",  u"dwpf",  u"drct",  u"sknt",    u"gust",
    u"mslp",    u"alti",  u"vsby", u"skyc1", u"skyc2", u"skyc3", u"skyc4", u"wxcodes",
};

// Where each column is, by its name in the header, in any letter case (the first of a
// repeated name). A header without the needed columns is refused.
class Header
{
public:
    explicit Header(const std::vector<QString> &names) : m_count(qsizetype(names.size()))
    {
        std::fill(std::begin(m_index), std::end(m_index), -1);
        for (qsizetype i = m_count - 1; i >= 0; --i) // backwards, so the first one wins
            for (int c = 0; c < column::ColumnCount; ++c)
                if (QStringView(names[size_t(i)])
                        .trimmed()
                        .compare(QStringView(ColumnNames[c]), Qt::CaseInsensitive)
                    == 0)
                    m_index[c] = i;
        QStringList missing;
        for (int c = 0; c < column::NeededColumns; ++c)
            if (m_index[c] < 0)
                missing.append(QString::fromUtf16(ColumnNames[c]));
        if (!missing.isEmpty())
            throw ChartError(QStringLiteral("the header line has no column %1")
                                 .arg(missing.join(QStringLiteral(", "))));
    }
    qsizetype count() const { return m_count; }
    // The row's value in the column, trimmed; empty when the header has no such column.
    QStringView value(const std::vector<QString> &row, column::Id id) const
    {
        const qsizetype i = m_index[id];
        return i < 0 ? QStringView() : QStringView(row[size_t(i)]).trimmed();
    }

private:
    qsizetype m_count;
    qsizetype m_index[column::ColumnCount];
};

std::optional<double> numberIn(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    const std::optional<double> value = NumberConversion::strictDouble(text.toString());
    return value && std::isfinite(*value) ? value : std::nullopt;
}

// A value that cannot be below zero (a speed, a distance, a pressure).
std::optional<double> nonNegativeIn(QStringView text)
{
    const std::optional<double> value = numberIn(text);
    return value && *value >= 0 ? value : std::nullopt;
}

std::optional<double> celsiusIn(QStringView fahrenheit)
{
    const std::optional<double> value = numberIn(fahrenheit);
    return value ? std::optional<double>((*value - 32) * 5 / 9) : std::nullopt;
}

std::optional<int> directionIn(QStringView text)
{
    const std::optional<double> value = numberIn(text);
    if (!value || *value < 0 || *value > 360)
        return std::nullopt;
    return int(std::lround(*value));
}

// The digits at [from, from + count) as a number; -1 when any is not a digit.
int digitsAt(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return -1;
        value = value * 10 + (text[i].unicode() - u'0');
    }
    return value;
}

// "YYYY-MM-DD HH:MM", optionally ":SS" after it, or "T" between date and time; UTC.
std::optional<QDateTime> timeIn(QStringView text)
{
    if ((text.size() != 16 && text.size() != 19) || text[4] != u'-' || text[7] != u'-'
        || (text[10] != u' ' && text[10] != u'T') || text[13] != u':'
        || (text.size() == 19 && text[16] != u':'))
        return std::nullopt;
    const QDate date(digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2));
    const QTime time(digitsAt(text, 11, 2), digitsAt(text, 14, 2),
                     text.size() == 19 ? digitsAt(text, 17, 2) : 0);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

Observation::Sky skyOf(QStringView cover)
{
    using Sky = Observation::Sky;
    static const std::pair<const char16_t *, Sky> Covers[] = {
        {u"CLR", Sky::Clear},     {u"SKC", Sky::Clear},  {u"FEW", Sky::Few},
        {u"SCT", Sky::Scattered}, {u"BKN", Sky::Broken}, {u"OVC", Sky::Overcast},
        {u"VV", Sky::Obscured},
    };
    for (const auto &[code, sky] : Covers)
        if (cover == QStringView(code))
            return sky;
    return Sky::Unknown;
}

// The observation in a row; none when its station, time or position is missing or cannot
// be read.
std::optional<Observation> observationIn(const Header &header, const std::vector<QString> &row)
{
    const auto value = [&](column::Id id) { return header.value(row, id); };
    Observation observation;
    observation.station = value(column::Station).toString();
    const std::optional<QDateTime> time = timeIn(value(column::Valid));
    const std::optional<double> longitude = numberIn(value(column::Lon));
    const std::optional<double> latitude = numberIn(value(column::Lat));
    if (observation.station.isEmpty() || !time || !latitude || std::abs(*latitude) > 90
        || !longitude || std::abs(*longitude) > 180)
        return std::nullopt;
    observation.time = *time;
    observation.position = GeoPoint{*latitude, *longitude};
    observation.temperature = celsiusIn(value(column::Tmpf));
    observation.dewPoint = celsiusIn(value(column::Dwpf));
    observation.windDirection = directionIn(value(column::Drct));
    observation.windSpeed = nonNegativeIn(value(column::Sknt));
    observation.gust = nonNegativeIn(value(column::Gust));
    observation.seaLevelPressure = nonNegativeIn(value(column::Mslp));
    if (const std::optional<double> inches = nonNegativeIn(value(column::Alti)))
        observation.altimeter = *inches * HectopascalsPerInchOfMercury;
    observation.visibility = nonNegativeIn(value(column::Vsby));
    // The station circle shows the most covering layer; the sky codes rank in that order.
    for (const column::Id layer : {column::Skyc1, column::Skyc2, column::Skyc3, column::Skyc4})
        observation.sky = std::max(observation.sky, skyOf(value(layer)));
    observation.weather = value(column::Wxcodes).toString().split(u' ', Qt::SkipEmptyParts);
    return observation;
}

} // namespace

ObservationTable ObservationTable::read(const QString &path)
{
    const DataFile::Contents contents = DataFile::readAll(path, FileLimit::Observations);
    if (contents.error != 0)
        throw ChartError::cannotOpen(path, contents.reason);
    try {
        return parse(contents.bytes);
    } catch (const ChartError &e) {
        throw ChartError(
            QStringLiteral("Cannot read observations from %1: %2").arg(path, e.message()));
    }
}

ObservationTable ObservationTable::parse(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError() || bytes.contains('\0'))
        throw ChartError(QStringLiteral("not a text file"));

    ObservationTable table;
    std::optional<Header> header;
    std::vector<QString> fields;
    for (QStringView line : QStringTokenizer(text, u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const bool split = splitFields(line, fields);
        if (!header) {
            if (!split)
                throw ChartError(QStringLiteral("the header line cannot be read"));
            header.emplace(fields);
            continue;
        }
        std::optional<Observation> observation;
        if (split && qsizetype(fields.size()) == header->count())
            observation = observationIn(*header, fields);
        if (observation)
            table.m_observations.push_back(std::move(*observation));
        else
            ++table.m_skippedRows;
    }

    if (!header)
        throw ChartError(QStringLiteral("no header line naming the columns"));
    if (table.m_observations.empty())
        throw ChartError(
            table.m_skippedRows == 0
                ? QStringLiteral("no observation in it")
                : QStringLiteral("no row can be read (%1 skipped)").arg(table.m_skippedRows));
    return table;
}

} // namespace brimlark
