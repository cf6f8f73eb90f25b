// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "bulletin/BulletinWriter.h"

#include "base/ChartError.h"
#include "bulletin/BulletinParser.h"

#include <cmath>

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

QString degrees(double latitude, double longitude)
{
    return QStringLiteral("%1, %2").arg(latitude).arg(longitude);
}

// LLLNNNN: latitude and west longitude in tenths of a degree.
QByteArray positionGroup(const GeoPoint &p)
{
    const auto outside = [&] {
        return ChartError(QStringLiteral("Cannot write the position %1 in a bulletin: it "
                                         "holds only 0 to 90 N and 0 to 180 W")
                              .arg(degrees(p.latitude, p.longitude)));
    };
    if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude))
        throw outside();
    double longitude = std::remainder(p.longitude, 360.0); // -180 .. 180
    if (longitude == 180)
        longitude = -180;
    const long latitudeTenths = std::lround(p.latitude * 10);
    const long westTenths = std::lround(-longitude * 10);
    if (latitudeTenths < 0 || latitudeTenths > 900 || westTenths < 0 || westTenths > 1800)
        throw outside();
    return QByteArray::number(qlonglong(latitudeTenths)).rightJustified(3, '0')
           + QByteArray::number(qlonglong(westTenths)).rightJustified(4, '0');
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
        QByteArray group = positionGroup(c.position);
        if (c.pressure) {
            if (*c.pressure < BulletinParser::LowestPressure
                || *c.pressure > BulletinParser::HighestPressure)
                throw ChartError(QStringLiteral("Cannot write the pressure %1 hPa in a bulletin: "
                                                "it holds %2 to %3 hPa")
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
    const QByteArray keyword = BulletinWriter::keyword(line.tool);
    if (keyword.isEmpty())
        throw ChartError(QStringLiteral("Cannot write an isopleth in a bulletin"));
    if (line.points.size() < 2)
        throw ChartError(QStringLiteral("Cannot write a %1 line of fewer than two positions in "
                                        "a bulletin")
                             .arg(QString::fromLatin1(keyword)));
    EntryText entry(out);
    entry.add(keyword);
    if (!line.strength.isEmpty()) {
        const QByteArray strength = line.strength.trimmed().toUpper().toLatin1();
        if (strength != "WK" && strength != "MDT" && strength != "STG")
            throw ChartError(QStringLiteral("Cannot write the strength \"%1\" in a bulletin: "
                                            "it holds WK, MDT or STG")
                                 .arg(line.strength));
        entry.add(strength);
    }
    for (const GeoPoint &p : line.points)
        entry.add(positionGroup(p));
    entry.end();
}

} // namespace

QByteArray BulletinWriter::keyword(LineTool tool)
{
    switch (tool) {
    case LineTool::ColdFront:
        return "COLD";
    case LineTool::WarmFront:
        return "WARM";
    case LineTool::StationaryFront:
        return "STNRY";
    case LineTool::OccludedFront:
        return "OCFNT";
    case LineTool::Trough:
        return "TROF";
    case LineTool::Dryline:
        return "DRYLINE";
    case LineTool::Isopleth:
        break;
    }
    return {};
}

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
