// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "observation/StationTable.h"

#include "base/ChartError.h"
#include "base/DataFile.h"

#include <QStringTokenizer>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace brimlark
{

namespace
{

// A field's columns, counted from 1 as the table's description counts them.
struct Columns {
    qsizetype first;
    qsizetype last;
};

constexpr Columns IdColumns{1, 8};
constexpr Columns WmoColumns{10, 15};
constexpr Columns NameColumns{17, 48};
constexpr Columns StateColumns{50, 51};
constexpr Columns CountryColumns{53, 54};
constexpr Columns LatitudeColumns{56, 60};
constexpr Columns LongitudeColumns{62, 67};
constexpr Columns ElevationColumns{69, 73};
constexpr Columns PriorityColumns{75, 76};
// The blank columns between the fields, and where the last field ends.
constexpr qsizetype Gaps[] = {9, 16, 49, 52, 55, 61, 68, 74};
constexpr qsizetype LineLength = 76;

// The WMO number the table gives for a station that has none.
constexpr int UnknownWmoNumber = 999999;

QStringView field(QStringView line, Columns columns)
{
    return line.mid(columns.first - 1, columns.last - columns.first + 1).trimmed();
}

std::optional<int> integerIn(QStringView text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The line without the blanks, tabs and carriage return some lines end with.
QStringView rightTrimmed(QStringView line)
{
    while (!line.isEmpty() && (line.back() == u' ' || line.back() == u'\t' || line.back() == u'\r'))
        line.chop(1);
    return line;
}

// Whether every field sits in its columns: the identifier starts the line, the columns
// between fields are blank and the priority ends it.
bool inColumns(QStringView line)
{
    return line.size() == LineLength && line.front() != u' '
           && std::all_of(std::begin(Gaps), std::end(Gaps),
                          [line](qsizetype column) { return line[column - 1] == u' '; });
}

// The WMO number field: blank or six digits (leading zeros kept in the table). Only the
// digits 0 to 9: other scripts' digits pass QChar::isDigit but not toInt, which would make
// them number 0.
bool wmoNumberIn(QStringView text, std::optional<int> &number)
{
    if (text.isEmpty())
        return true;
    if (!std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return false;
    const int value = text.toInt();
    if (value != UnknownWmoNumber)
        number = value;
    return true;
}

// The station on a line in the table's columns; none for any other line.
std::optional<Station> stationOn(QStringView line)
{
    if (!inColumns(line))
        return std::nullopt;
    Station station;
    const QStringView id = field(line, IdColumns);
    const auto latitude = integerIn(field(line, LatitudeColumns));
    const auto longitude = integerIn(field(line, LongitudeColumns));
    const auto elevation = integerIn(field(line, ElevationColumns));
    const auto priority = integerIn(field(line, PriorityColumns));
    if (id.contains(u' ') || !wmoNumberIn(field(line, WmoColumns), station.wmoNumber) || !latitude
        || std::abs(*latitude) > 9000 || !longitude || std::abs(*longitude) > 18000 || !elevation
        || !priority)
        return std::nullopt;
    station.id = id.toString();
    station.position = {*latitude / 100.0, *longitude / 100.0};
    station.priority = *priority;
    station.name = field(line, NameColumns).toString().replace(u'_', u' ');
    const QStringView state = field(line, StateColumns);
    if (state != u"--")
        station.state = state.toString();
    station.country = field(line, CountryColumns).toString();
    station.elevation = *elevation;
    return station;
}

} // namespace

StationTable StationTable::read(const QString &path)
{
    const DataFile::Contents contents = DataFile::readAll(path, FileLimit::StationTable);
    if (contents.error != 0)
        throw ChartError::cannotOpen(path, contents.reason);
    StationTable table = parse(contents.bytes);
    if (table.m_stations.empty())
        throw ChartError::cannotOpen(path, QStringLiteral("no station in it"));
    return table;
}

StationTable StationTable::parse(const QByteArray &bytes)
{
    StationTable table;
    const QString text = QString::fromUtf8(bytes);
    table.m_stations.reserve(size_t(text.size() / (LineLength + 1)));
    for (const QStringView rawLine : QStringTokenizer(text, u'\n')) {
        const QStringView line = rightTrimmed(rawLine);
        if (line.isEmpty() || line.front() == u'!')
            continue;
        if (std::optional<Station> station = stationOn(line))
            table.m_stations.push_back(std::move(*station));
        else
            ++table.m_skippedLines;
    }
    // A stable sort keeps a repeated identifier's lines in the table's order, and unique
    // keeps the first of each run.
    auto &stations = table.m_stations;
    std::stable_sort(stations.begin(), stations.end(),
                     [](const Station &a, const Station &b) { return a.id < b.id; });
    const auto end = std::unique(stations.begin(), stations.end(),
                                 [](const Station &a, const Station &b) { return a.id == b.id; });
    table.m_duplicates = int(stations.end() - end);
    stations.erase(end, stations.end());
    return table;
}

const Station *StationTable::find(QStringView reportId) const
{
    if (const Station *station = exactly(reportId))
        return station;
    if (reportId.size() == 4 && reportId.front() == u'K')
        return exactly(reportId.mid(1));
    return nullptr;
}

const Station *StationTable::exactly(QStringView id) const
{
    const auto it =
        std::lower_bound(m_stations.begin(), m_stations.end(), id,
                         [](const Station &station, QStringView key) { return station.id < key; });
    return it != m_stations.end() && it->id == id ? &*it : nullptr;
}

} // namespace brimlark
