// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "bulletin/GeoJsonReader.h"

#include "base/ChartError.h"
#include "bulletin/BulletinParser.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QStringList>

#include <cmath>
#include <vector>

namespace brimlark
{

namespace
{

using Path = std::vector<GeoPoint>;

// How far apart the two ends of a cut at the antimeridian may lie in latitude, for writers that
// compute each end on its own.
constexpr double Coincident = 1e-9;

// Members given as null say no more than members left out.
bool present(const QJsonValue &value) { return !value.isUndefined() && !value.isNull(); }

// A JSON value as written, shortened to what a message can hold.
QString shown(const QJsonValue &value)
{
    const QString array =
        QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact));
    const QString text = array.sliced(1, array.size() - 2);
    return text.size() > 40 ? text.first(37) + QStringLiteral("...") : text;
}

QString number(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

GeoPoint positionOf(const QJsonValue &value, qsizetype index)
{
    const QJsonArray p = value.toArray();
    if (!value.isArray() || p.size() < 2 || !p[0].isDouble() || !p[1].isDouble())
        throw ChartError(QStringLiteral("position %1 is %2, not [longitude, latitude]")
                             .arg(QString::number(index + 1), shown(value)));
    const GeoPoint point{p[1].toDouble(), p[0].toDouble()};
    // The comparisons are false for NaN, which the checks refuse with the rest.
    if (!(std::abs(point.longitude) <= 180 && std::abs(point.latitude) <= 90))
        throw ChartError(
            QStringLiteral("position %1 [%2, %3] is outside longitude -180 to 180 "
                           "and latitude -90 to 90")
                .arg(QString::number(index + 1), number(point.longitude), number(point.latitude)));
    return point;
}

Path pathOf(const QJsonValue &value)
{
    const QJsonArray positions = value.toArray();
    if (!value.isArray())
        throw ChartError(
            QStringLiteral("its coordinates %1 are not a list of positions").arg(shown(value)));
    if (positions.size() < 2)
        throw ChartError(
            QStringLiteral("a line needs at least two positions, not %1").arg(positions.size()));
    Path path;
    path.reserve(size_t(positions.size()));
    for (qsizetype i = 0; i < positions.size(); ++i)
        path.push_back(positionOf(positions[i], i));
    return path;
}

bool onAntimeridian(const GeoPoint &p) { return std::abs(p.longitude) == 180; }

// Whether the end of one part and the start of the next are the two sides of one cut.
bool meetAtAntimeridian(const GeoPoint &end, const GeoPoint &start)
{
    return onAntimeridian(end) && onAntimeridian(start)
           && std::abs(end.latitude - start.latitude) <= Coincident;
}

// Whether the two sides of a cut are where the step from `before` to `after` crosses, as the
// writer places them, rather than a position of the line on the antimeridian. A position there
// that lies on that step is taken for the crossing too; the line keeps its course without it.
bool isCrossing(const GeoPoint &before, const GeoPoint &end, const GeoPoint &start,
                const GeoPoint &after)
{
    const auto crossing = GeoPoint::antimeridianCrossing(before, after);
    return crossing && crossing->fraction > 0 && end.longitude == crossing->edge
           && start.longitude == -crossing->edge
           && std::abs(end.latitude - crossing->latitude) <= Coincident;
}

// The parts of a MultiLineString as lines: a part that goes on where the one before meets the
// antimeridian joins it, in their order, a crossing dropped and a position on the meridian kept
// once (as -180, the writer's name for it, when one side is); any other part is a line alone.
std::vector<Path> linesOf(std::vector<Path> parts)
{
    std::vector<Path> lines;
    for (Path &part : parts) {
        if (lines.empty() || !meetAtAntimeridian(lines.back().back(), part.front())) {
            lines.push_back(std::move(part));
            continue;
        }
        Path &line = lines.back();
        const GeoPoint end = line.back();
        const GeoPoint start = part.front();
        const bool crossing = isCrossing(line[line.size() - 2], end, start, part[1]);
        line.pop_back();
        if (!crossing)
            line.push_back(end.longitude == -180 ? end : start);
        line.insert(line.end(), part.begin() + 1, part.end());
    }
    return lines;
}

std::optional<int> pressureOf(const QJsonValue &value)
{
    if (!present(value))
        return std::nullopt;
    const double hPa = value.toDouble();
    if (!value.isDouble() || !(hPa >= BulletinParser::LowestPressure)
        || hPa > BulletinParser::HighestPressure || hPa != std::floor(hPa))
        throw ChartError(QStringLiteral("its pressure %1 is not a whole number of hPa within "
                                        "%2 to %3")
                             .arg(shown(value), QString::number(BulletinParser::LowestPressure),
                                  QString::number(BulletinParser::HighestPressure)));
    return int(hPa);
}

QString strengthOf(const QJsonValue &value)
{
    if (!present(value))
        return {};
    if (!value.isString() || !isStrengthWord(value.toString().toLatin1())) {
        QStringList words;
        for (const char *word : StrengthWords)
            words.append(QLatin1StringView(word));
        throw ChartError(QStringLiteral("its strength %1 is none of %2")
                             .arg(shown(value), words.join(QStringLiteral(", "))));
    }
    return value.toString();
}

// An isobar, isotherm or isodrosotherm: its value, and its unit, which the quantity fixes
// or narrows (hPa; C or F), taken as hPa or C when it is not given.
ContourValue contourOf(const QuantityNames &names, const QJsonObject &properties)
{
    const QJsonValue value = properties.value(u"value");
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        throw ChartError(QStringLiteral("its value %1 is not a number").arg(shown(value)));
    ContourValue contour{names.quantity, value.toDouble()};
    const bool pressure = names.quantity == ContourValue::Quantity::Pressure;
    const QJsonValue unit = properties.value(u"units");
    contour.unit =
        present(unit) ? unit.toString() : (pressure ? QStringLiteral("hPa") : QStringLiteral("C"));
    const QStringList units = pressure ? QStringList{QStringLiteral("hPa")}
                                       : QStringList{QStringLiteral("C"), QStringLiteral("F")};
    if (!units.contains(contour.unit) || (present(unit) && !unit.isString()))
        throw ChartError(QStringLiteral("its units %1 are none of %2")
                             .arg(shown(unit), units.join(QStringLiteral(", "))));
    return contour;
}

ChartError unknownLineKind(const QJsonValue &kind)
{
    QStringList kinds;
    for (const LineToolNames &names : LineToolNames::all())
        kinds.append(QLatin1StringView(names.kind));
    for (const QuantityNames &names : QuantityNames::all())
        kinds.append(QLatin1StringView(names.kind));
    return ChartError(QStringLiteral("the line's kind %1 is none of %2, \"high\" or \"low\"")
                          .arg(shown(kind), kinds.join(QStringLiteral(", "))));
}

std::vector<Path> pathsOf(const QJsonObject &geometry)
{
    const QJsonValue coordinates = geometry.value(u"coordinates");
    if (geometry.value(u"type") == QStringLiteral("LineString"))
        return {pathOf(coordinates)};
    const QJsonArray parts = coordinates.toArray();
    if (!coordinates.isArray() || parts.isEmpty())
        throw ChartError(
            QStringLiteral("its coordinates %1 are not a list of lines").arg(shown(coordinates)));
    std::vector<Path> paths;
    paths.reserve(size_t(parts.size()));
    for (const QJsonValue &part : parts)
        paths.push_back(pathOf(part));
    return linesOf(std::move(paths));
}

struct FeatureMembers {
    QJsonObject geometry;   ///< empty for a null geometry
    QJsonObject properties; ///< empty for null or none
};

// The geometry and the properties of a feature, refused when it is not one.
FeatureMembers membersOf(const QJsonValue &value)
{
    const QJsonObject feature = value.toObject();
    if (!value.isObject() || feature.value(u"type") != QStringLiteral("Feature"))
        throw ChartError(QStringLiteral("%1 is not a Feature").arg(shown(value)));
    const QJsonValue geometry = feature.value(u"geometry");
    const QJsonValue properties = feature.value(u"properties");
    if (geometry.isUndefined())
        throw ChartError(QStringLiteral("the feature has no geometry member"));
    if (!geometry.isObject() && !geometry.isNull())
        throw ChartError(
            QStringLiteral("its geometry %1 is not an object or null").arg(shown(geometry)));
    if (!properties.isObject() && present(properties))
        throw ChartError(
            QStringLiteral("its properties %1 are not an object or null").arg(shown(properties)));
    return {geometry.toObject(), properties.toObject()};
}

ChartError wrongGeometry(const QString &expected, const QJsonValue &type)
{
    return ChartError(
        QStringLiteral("its geometry must be %1, not of type %2").arg(expected, shown(type)));
}

// Reads one feature into the analysis; false for one that is no part of an analysis.
bool readFeature(const QJsonValue &value, Bulletin &analysis)
{
    const auto [geometry, properties] = membersOf(value);
    const QJsonValue type = geometry.value(u"type");
    const QJsonValue kind = properties.value(u"kind");
    if (kind == QStringLiteral("high") || kind == QStringLiteral("low")) {
        if (type != QStringLiteral("Point"))
            throw wrongGeometry(QStringLiteral("a Point"), type);
        analysis.centres.push_back({kind == QStringLiteral("high"),
                                    pressureOf(properties.value(u"pressure")),
                                    positionOf(geometry.value(u"coordinates"), 0)});
        return true;
    }
    const QuantityNames *quantity = QuantityNames::byKind(kind.toString());
    const LineToolNames *tool =
        quantity ? &LineToolNames::of(LineTool::Isopleth) : LineToolNames::byKind(kind.toString());
    const bool line =
        type == QStringLiteral("LineString") || type == QStringLiteral("MultiLineString");
    if (!tool && line && present(kind))
        throw unknownLineKind(kind);
    if (!tool)
        return false;
    if (!line)
        throw wrongGeometry(QStringLiteral("a LineString or MultiLineString"), type);
    const QString strength = strengthOf(properties.value(u"strength"));
    std::optional<ContourValue> contour;
    if (quantity)
        contour = contourOf(*quantity, properties);
    for (Path &path : pathsOf(geometry))
        analysis.lines.push_back({tool->tool, strength, std::move(path), contour});
    return true;
}

// The valid time "MMDDHHZ" and its year, from an ISO 8601 time on the hour.
void readValidTime(const QJsonValue &value, Bulletin &analysis)
{
    if (!present(value))
        return;
    const QString text = value.toString();
    QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    time = time.timeSpec() == Qt::LocalTime ? QDateTime(time.date(), time.time(), Qt::UTC)
                                            : time.toUTC();
    // A date alone names no hour; an offset may take the time out of the years ISO 8601 writes.
    if (!value.isString() || !time.isValid() || !text.contains(u':') || time.date().year() < 1
        || time.date().year() > 9999)
        throw ChartError(QStringLiteral("The GeoJSON \"valid\" time %1 is not an ISO 8601 time "
                                        "such as \"2021-06-28T18:00:00Z\"")
                             .arg(shown(value)));
    if (time.time().minute() != 0 || time.time().second() != 0 || time.time().msec() != 0)
        throw ChartError(QStringLiteral("The GeoJSON \"valid\" time %1 is not on the hour, as an "
                                        "analysis time is")
                             .arg(shown(value)));
    analysis.valid = time.toString(QStringLiteral("MMddHH'Z'"));
    analysis.year = time.date().year();
}

QJsonArray featuresOf(const QJsonDocument &document)
{
    const QJsonObject collection = document.object();
    const QJsonValue type = collection.value(u"type");
    if (!document.isObject() || type != QStringLiteral("FeatureCollection"))
        throw ChartError(QStringLiteral("Not a GeoJSON FeatureCollection: %1")
                             .arg(document.isObject()
                                      ? QStringLiteral("its type is %1").arg(shown(type))
                                      : QStringLiteral("the document is an array")));
    const QJsonValue features = collection.value(u"features");
    if (!features.isArray())
        throw ChartError(QStringLiteral("The GeoJSON FeatureCollection's features %1 are not a "
                                        "list")
                             .arg(shown(features)));
    return features.toArray();
}

} // namespace

GeoJsonReader::Result GeoJsonReader::read(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw ChartError(QStringLiteral("Not a GeoJSON file: %1 at byte %2")
                             .arg(error.errorString(), QString::number(error.offset)));
    const QJsonArray features = featuresOf(document);
    Result result;
    readValidTime(document.object().value(u"valid"), result.analysis);
    for (qsizetype i = 0; i < features.size(); ++i) {
        try {
            result.skipped += !readFeature(features[i], result.analysis);
        } catch (const ChartError &e) {
            const QJsonValue kind = features[i][u"properties"][u"kind"];
            throw ChartError(
                QStringLiteral("GeoJSON feature %1%2: %3")
                    .arg(QString::number(i + 1),
                         present(kind) ? QStringLiteral(" (kind %1)").arg(shown(kind)) : QString(),
                         e.message()));
        }
    }
    return result;
}

} // namespace brimlark
