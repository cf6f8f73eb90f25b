// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "bulletin/GeoJsonWriter.h"

#include "base/ChartError.h"
#include "bulletin/BulletinParser.h"

#include <QDateTime>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <optional>
#include <vector>

namespace brimlark
{

namespace
{

// The position with its longitude taken into -180 .. 180 (180 itself becomes -180).
GeoPoint normalised(const GeoPoint &p)
{
    if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude))
        throw ChartError(QStringLiteral("Cannot write the position %1, %2 in GeoJSON")
                             .arg(p.latitude)
                             .arg(p.longitude));
    return {p.latitude, GeoPoint::foldedLongitude(p.longitude)};
}

QString kindOf(LineTool tool) { return QLatin1StringView(LineToolNames::of(tool).kind); }

// An isoline with a value is an isobar, isotherm or isodrosotherm, with its value and unit.
void addContour(QJsonObject &properties, const ContourValue &contour)
{
    properties.insert(QStringLiteral("kind"),
                      QLatin1StringView(QuantityNames::of(contour.quantity).kind));
    properties.insert(QStringLiteral("value"), contour.value);
    properties.insert(QStringLiteral("units"), contour.unit);
}

QJsonArray coordinates(const GeoPoint &p) { return {p.longitude, p.latitude}; }

QJsonObject feature(const QJsonObject &geometry, const QJsonObject &properties)
{
    return {{QStringLiteral("type"), QStringLiteral("Feature")},
            {QStringLiteral("geometry"), geometry},
            {QStringLiteral("properties"), properties}};
}

// The line in parts that each stay on one side of the antimeridian. Every step is taken the
// short way round; one that crosses gets a point on the antimeridian at both ends of the cut,
// its latitude interpolated linearly in longitude.
std::vector<QJsonArray> partsOf(const std::vector<GeoPoint> &points)
{
    std::vector<QJsonArray> parts(1);
    std::optional<GeoPoint> previous;
    for (const GeoPoint &point : points) {
        const GeoPoint p = normalised(point);
        const auto crossing =
            previous ? GeoPoint::antimeridianCrossing(*previous, p) : std::nullopt;
        if (crossing) {
            if (crossing->fraction > 0)
                parts.back().append(coordinates({crossing->latitude, crossing->edge}));
            parts.emplace_back();
            if (p.longitude != -crossing->edge) // unless the step ends on the antimeridian itself
                parts.back().append(coordinates({crossing->latitude, -crossing->edge}));
        }
        parts.back().append(coordinates(p));
        previous = p;
    }
    std::erase_if(parts, [](const QJsonArray &part) { return part.size() < 2; });
    return parts;
}

QJsonObject lineGeometry(const Bulletin::Line &line)
{
    if (line.points.size() < 2)
        throw ChartError(QStringLiteral("Cannot write a %1 line of fewer than two positions in "
                                        "GeoJSON")
                             .arg(kindOf(line.tool)));
    const std::vector<QJsonArray> parts = partsOf(line.points);
    if (parts.size() == 1)
        return {{QStringLiteral("type"), QStringLiteral("LineString")},
                {QStringLiteral("coordinates"), parts.front()}};
    QJsonArray multi;
    for (const QJsonArray &part : parts)
        multi.append(part);
    return {{QStringLiteral("type"), QStringLiteral("MultiLineString")},
            {QStringLiteral("coordinates"), multi}};
}

// The valid time in ISO 8601 with its year: the bulletin's, or for one that does not give it
// the year that puts the time nearest to now (29 February in the leap year before, if need be).
QString validTime(const Bulletin &bulletin)
{
    const QByteArray time = bulletin.valid.trimmed().toUpper().toLatin1();
    if (!BulletinParser::isValidTime(time))
        throw ChartError(QStringLiteral("Cannot write an analysis valid at \"%1\" in GeoJSON: "
                                        "the time must read MMDDHHZ")
                             .arg(bulletin.valid));
    const int month = time.first(2).toInt();
    const int day = time.sliced(2, 2).toInt();
    int year = bulletin.year.value_or(
        BulletinParser::yearNear(time, QDateTime::currentDateTimeUtc().date()));
    while (!bulletin.year && !QDate::isValid(year, month, day))
        --year;
    const QString fault = BulletinParser::timeFault(time, year);
    if (!fault.isEmpty())
        throw ChartError(QStringLiteral("Cannot write an analysis valid at \"%1\" in GeoJSON: %2")
                             .arg(bulletin.valid, fault));
    return QDateTime(QDate(year, month, day), QTime(time.sliced(4, 2).toInt(), 0), Qt::UTC)
        .toString(Qt::ISODate);
}

} // namespace

QByteArray GeoJsonWriter::write(const Bulletin &bulletin)
{
    QJsonArray features;
    for (const Bulletin::Centre &c : bulletin.centres) {
        QJsonObject properties{
            {QStringLiteral("kind"), c.high ? QStringLiteral("high") : QStringLiteral("low")}};
        if (c.pressure)
            properties.insert(QStringLiteral("pressure"), *c.pressure);
        const QJsonObject point{
            {QStringLiteral("type"), QStringLiteral("Point")},
            {QStringLiteral("coordinates"), coordinates(normalised(c.position))}};
        features.append(feature(point, properties));
    }
    for (const Bulletin::Line &line : bulletin.lines) {
        QJsonObject properties{{QStringLiteral("kind"), kindOf(line.tool)}};
        if (!line.strength.isEmpty())
            properties.insert(QStringLiteral("strength"), line.strength);
        if (line.contour)
            addContour(properties, *line.contour);
        features.append(feature(lineGeometry(line), properties));
    }
    QJsonObject collection{{QStringLiteral("type"), QStringLiteral("FeatureCollection")},
                           {QStringLiteral("features"), features}};
    if (!bulletin.valid.trimmed().isEmpty())
        collection.insert(QStringLiteral("valid"), validTime(bulletin));
    return QJsonDocument(collection).toJson(QJsonDocument::Compact);
}

} // namespace brimlark
