// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "bulletin/BulletinWriter.h"

#include "base/ChartError.h"
#include "bulletin/BulletinParser.h"

#include <cmath>
#include <optional>
#include <utility>

namespace brimlark
{

namespace
{

// The width of a teletype line, which bulletins keep to.
constexpr qsizetype LineWidth = 69;

// Lays out an entry's groups, starting a continuation line where the next would not fit.
class EntryText
{
public:
    explicit EntryText(QByteArray &out) : m_out(out) {}
    void add(const QByteArray &group)
    {
        if (m_lineLength > 0 && m_lineLength + 1 + group.size() > LineWidth) {
            m_out += '\n';
            m_lineLength = 0;
        }
        if (m_lineLength > 0) {
            m_out += ' ';
            ++m_lineLength;
        }
        m_out += group;
        m_lineLength += group.size();
    }
    void end()
    {
        if (m_lineLength > 0)
            m_out += '\n';
        m_lineLength = 0;
    }

private:
    QByteArray &m_out;
    qsizetype m_lineLength = 0;
};

QString degrees(const GeoPoint &p)
{
    return QStringLiteral("%1, %2").arg(p.latitude).arg(p.longitude);
}

// Latitude and longitude in tenths of a degree as LLLNNNN writes them: north, and west from
// 0 to 359.9, east longitudes being given as degrees west beyond 180 (175 E is 185.0 W). The
// longitude is taken into -180 .. 180 first.
std::optional<std::pair<long, long>> tenthsOf(const GeoPoint &p)
{
    if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude))
        return std::nullopt;
    const long latitude = std::lround(p.latitude * 10);
    long west = std::lround(-GeoPoint::foldedLongitude(p.longitude) * 10); // -1800 .. 1800
    if (west < 0)
        west += 3600;
    return std::pair(latitude, west);
}

// Why a bulletin cannot hold the position, or empty when it can.
QString positionFault(const GeoPoint &p)
{
    const auto tenths = tenthsOf(p);
    if (!tenths)
        return QStringLiteral("its position %1 is not a number").arg(degrees(p));
    if (tenths->first < 0)
        return QStringLiteral("its position %1 is south of the equator, and a bulletin holds "
                              "only 0 to 90 N")
            .arg(degrees(p));
    if (tenths->first > 900)
        return QStringLiteral("its position %1 is beyond the pole").arg(degrees(p));
    return {};
}

QByteArray positionGroup(const GeoPoint &p)
{
    const auto [latitude, west] = *tenthsOf(p);
    return QByteArray::number(qlonglong(latitude)).rightJustified(3, '0')
           + QByteArray::number(qlonglong(west)).rightJustified(4, '0');
}

// The error for a feature the bulletin cannot hold, naming the feature and the reason.
ChartError refused(const QString &feature, const QString &reason)
{
    return ChartError(QStringLiteral("Cannot write %1 in a bulletin: %2").arg(feature, reason));
}

QString nameOf(const Bulletin::Centre &c)
{
    return QStringLiteral("the %1 at %2")
        .arg(c.high ? QStringLiteral("high") : QStringLiteral("low"), degrees(c.position));
}

QString nameOf(const Bulletin::Line &line)
{
    const QByteArray keyword = QByteArray(LineToolNames::of(line.tool).keyword);
    const QString name = keyword.isEmpty() ? QStringLiteral("the isopleth")
                                           : QStringLiteral("the %1 line").arg(keyword);
    return line.points.empty() ? name
                               : QStringLiteral("%1 from %2").arg(name, degrees(line.points[0]));
}

void writeCentres(QByteArray &out, const Bulletin &bulletin, bool high)
{
    bool any = false;
    EntryText entry(out);
    for (const Bulletin::Centre &c : bulletin.centres) {
        if (c.high != high)
            continue;
        if (!any)
            entry.add(high ? "HIGHS" : "LOWS");
        any = true;
        if (const QString fault = positionFault(c.position); !fault.isEmpty())
            throw refused(nameOf(c), fault);
        QByteArray group = positionGroup(c.position);
        if (c.pressure) {
            if (*c.pressure < BulletinParser::LowestPressure
                || *c.pressure > BulletinParser::HighestPressure)
                throw refused(nameOf(c), QStringLiteral("its pressure %1 hPa is outside %2 to "
                                                        "%3 hPa")
                                             .arg(*c.pressure)
                                             .arg(BulletinParser::LowestPressure)
                                             .arg(BulletinParser::HighestPressure));
            group = QByteArray::number(*c.pressure) + ' ' + group;
        }
        entry.add(group);
    }
    entry.end();
}

void writeLine(QByteArray &out, const Bulletin::Line &line)
{
    const QByteArray keyword = QByteArray(LineToolNames::of(line.tool).keyword);
    if (keyword.isEmpty())
        throw refused(nameOf(line), QStringLiteral("a bulletin holds fronts, troughs and "
                                                   "drylines, not isopleths"));
    if (line.points.size() < 2)
        throw refused(nameOf(line), QStringLiteral("a line needs at least two positions"));
    EntryText entry(out);
    entry.add(keyword);
    if (!line.strength.isEmpty()) {
        const QByteArray strength = line.strength.trimmed().toUpper().toLatin1();
        if (!isStrengthWord(strength))
            throw refused(nameOf(line), QStringLiteral("its strength \"%1\" is not WK, MDT or "
                                                       "STG")
                                            .arg(line.strength));
        entry.add(strength);
    }
    for (const GeoPoint &p : line.points) {
        if (const QString fault = positionFault(p); !fault.isEmpty())
            throw refused(nameOf(line), fault);
        entry.add(positionGroup(p));
    }
    entry.end();
}

} // namespace

QByteArray BulletinWriter::write(const Bulletin &bulletin)
{
    const QByteArray valid = bulletin.valid.trimmed().toUpper().toLatin1();
    if (!BulletinParser::isValidTime(valid))
        throw ChartError(QStringLiteral("Cannot write a bulletin valid at \"%1\": the time "
                                        "must read MMDDHHZ")
                             .arg(bulletin.valid));
    QByteArray out = "CODED SURFACE FRONTAL POSITIONS\nVALID " + valid + '\n';
    writeCentres(out, bulletin, true);
    writeCentres(out, bulletin, false);
    for (const Bulletin::Line &line : bulletin.lines)
        writeLine(out, line);
    out += "$$\n";
    return out;
}

} // namespace brimlark
