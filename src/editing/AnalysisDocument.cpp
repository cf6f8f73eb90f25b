// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "editing/AnalysisDocument.h"

#include "base/ChartError.h"
#include "mapgen/Projection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace brimlark
{

namespace
{

using Kind = DrawnFeature::Kind;

// Chart pixels lie within this of the chart; anything farther is not a chart of ours.
constexpr double FarthestPixel = 1e7;

QString kindOf(const DrawnFeature &f)
{
    switch (f.kind) {
    case Kind::Low:
        return QStringLiteral("low");
    case Kind::High:
        return QStringLiteral("high");
    case Kind::Text:
        return QStringLiteral("text");
    case Kind::Line:
        break;
    }
    if (f.contour)
        return QLatin1StringView(QuantityNames::of(f.contour->quantity).kind);
    return QLatin1StringView(LineToolNames::of(f.tool).kind);
}

[[noreturn]] void refuse(const QString &why)
{
    throw ChartError(QStringLiteral("The analysis file is damaged: %1").arg(why));
}

QJsonValue geometryOf(const DrawnFeature &f, const ViewValues &view)
{
    QJsonArray coordinates;
    for (const GeoPoint &p : AnalysisDocument::positionsOf(f, view))
        coordinates.append(QJsonArray{GeoPoint::foldedLongitude(p.longitude), p.latitude});
    if (coordinates.isEmpty() || (f.isLine() && coordinates.size() < 2))
        return QJsonValue::Null;
    if (!f.isLine())
        return QJsonObject{{QStringLiteral("type"), QStringLiteral("Point")},
                           {QStringLiteral("coordinates"), coordinates.first()}};
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("LineString")},
                       {QStringLiteral("coordinates"), coordinates}};
}

QJsonObject propertiesOf(const DrawnFeature &f)
{
    QJsonArray points;
    for (const QPointF &p : f.points)
        points.append(QJsonArray{p.x(), p.y()});
    QJsonObject properties{{QStringLiteral("kind"), kindOf(f)}, {QStringLiteral("points"), points}};
    if (!f.pieceStarts.empty()) {
        QJsonArray pieces;
        for (const size_t start : f.pieceStarts)
            pieces.append(qint64(start));
        properties.insert(QStringLiteral("pieces"), pieces);
    }
    if (f.pressure)
        properties.insert(QStringLiteral("pressure"), *f.pressure);
    if (f.contour) {
        properties.insert(QStringLiteral("value"), f.contour->value);
        properties.insert(QStringLiteral("units"), f.contour->unit);
    }
    const std::pair<const char *, QString> texts[] = {{"strength", f.strength},
                                                      {"text", f.text},
                                                      {"lineColor", f.panel.lineColor},
                                                      {"lineWidth", f.panel.lineWidth}};
    for (const auto &[name, text] : texts)
        if (!text.isEmpty())
            properties.insert(QLatin1StringView(name), text);
    if (!f.positions.empty())
        properties.insert(QStringLiteral("imported"), true);
    return properties;
}

QJsonObject viewObject(const ViewValues &v)
{
    return {{QStringLiteral("latitude"), v.centerLat},
            {QStringLiteral("longitude"), v.centerLon},
            {QStringLiteral("zoom"), v.zoom},
            {QStringLiteral("width"), v.chartWidth},
            {QStringLiteral("height"), v.chartHeight}};
}

double numberIn(const QJsonValue &value, const QString &what)
{
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        refuse(QStringLiteral("%1 is not a number").arg(what));
    return value.toDouble();
}

ViewValues viewOf(const QJsonValue &value)
{
    const QJsonObject o = value.toObject();
    if (!value.isObject())
        refuse(QStringLiteral("it has no view"));
    const auto number = [&](const char *name) {
        return numberIn(o.value(QLatin1StringView(name)),
                        QStringLiteral("the view's %1").arg(QLatin1StringView(name)));
    };
    return ViewValues{number("latitude"), number("longitude"), number("zoom"),
                      qint32(number("width")), qint32(number("height"))};
}

QPointF pointOf(const QJsonValue &value, const QString &what)
{
    const QJsonArray xy = value.toArray();
    if (!value.isArray() || xy.size() != 2)
        refuse(QStringLiteral("a point of %1 is not [x, y]").arg(what));
    const QPointF p(numberIn(xy[0], what), numberIn(xy[1], what));
    if (std::abs(p.x()) > FarthestPixel || std::abs(p.y()) > FarthestPixel)
        refuse(QStringLiteral("a point of %1 lies far off the chart").arg(what));
    return p;
}

std::vector<GeoPoint> positionsIn(const QJsonValue &geometry, const QString &what)
{
    const QJsonValue coordinates = geometry.toObject().value(QStringLiteral("coordinates"));
    const QJsonArray list =
        geometry.toObject().value(QStringLiteral("type")).toString() == QStringLiteral("Point")
            ? QJsonArray{coordinates}
            : coordinates.toArray();
    std::vector<GeoPoint> positions;
    for (const QJsonValue &c : list) {
        const QJsonArray lonLat = c.toArray();
        if (lonLat.size() < 2)
            refuse(QStringLiteral("a position of %1 is not [longitude, latitude]").arg(what));
        positions.push_back({numberIn(lonLat[1], what), numberIn(lonLat[0], what)});
    }
    return positions;
}

void readKind(DrawnFeature &f, const QString &kind, const QString &what)
{
    if (kind == QStringLiteral("low") || kind == QStringLiteral("high")
        || kind == QStringLiteral("text")) {
        f.kind = kind == QStringLiteral("low")    ? Kind::Low
                 : kind == QStringLiteral("high") ? Kind::High
                                                  : Kind::Text;
        return;
    }
    f.kind = Kind::Line;
    if (const QuantityNames *quantity = QuantityNames::byKind(kind)) {
        f.tool = LineTool::Isopleth;
        f.contour = ContourValue{quantity->quantity};
        return;
    }
    const LineToolNames *tool = LineToolNames::byKind(kind);
    if (!tool)
        refuse(QStringLiteral("%1 has the unknown kind \"%2\"").arg(what, kind.left(40)));
    f.tool = tool->tool;
}

void readPieces(DrawnFeature &f, const QJsonValue &value, const QString &what)
{
    size_t previous = 0;
    for (const QJsonValue &start : value.toArray()) {
        const double at = numberIn(start, what);
        if (at <= double(previous) || at >= double(f.points.size()) || at != std::floor(at))
            refuse(QStringLiteral("%1 has pieces that do not fit its points").arg(what));
        previous = size_t(at);
        f.pieceStarts.push_back(previous);
    }
}

DrawnFeature featureOf(const QJsonValue &value, qsizetype number)
{
    const QString what = QStringLiteral("feature %1").arg(number + 1);
    const QJsonObject properties = value.toObject().value(QStringLiteral("properties")).toObject();
    DrawnFeature f;
    readKind(f, properties.value(QStringLiteral("kind")).toString(), what);
    for (const QJsonValue &p : properties.value(QStringLiteral("points")).toArray())
        f.points.push_back(pointOf(p, what));
    if (f.points.empty() ? !properties.value(QStringLiteral("imported")).toBool()
                         : (!f.isLine() && f.points.size() != 1))
        refuse(QStringLiteral("%1 has the wrong number of points").arg(what));
    readPieces(f, properties.value(QStringLiteral("pieces")), what);
    if (const QJsonValue pressure = properties.value(QStringLiteral("pressure"));
        !pressure.isUndefined()) {
        const double hPa = numberIn(pressure, what);
        if (hPa != std::floor(hPa) || std::abs(hPa) > 1e5)
            refuse(QStringLiteral("%1 has a pressure that is not a whole number of hPa").arg(what));
        f.pressure = int(hPa);
    }
    if (f.contour) {
        f.contour->value = numberIn(properties.value(QStringLiteral("value")), what);
        f.contour->unit = properties.value(QStringLiteral("units")).toString();
    }
    f.strength = properties.value(QStringLiteral("strength")).toString();
    f.text = properties.value(QStringLiteral("text")).toString();
    f.panel = {properties.value(QStringLiteral("lineColor")).toString(),
               properties.value(QStringLiteral("lineWidth")).toString()};
    if (properties.value(QStringLiteral("imported")).toBool())
        f.positions = positionsIn(value.toObject().value(QStringLiteral("geometry")), what);
    return f;
}

} // namespace

std::vector<GeoPoint> AnalysisDocument::positionsOf(const DrawnFeature &f, const ViewValues &view)
{
    if (!f.positions.empty())
        return f.positions;
    std::vector<GeoPoint> positions;
    for (const QPointF &p : f.points)
        if (const auto position = Projection::positionAt(view, p.x(), p.y()))
            positions.push_back(*position);
    return positions;
}

QByteArray AnalysisDocument::write(const AnalysisDocument &document)
{
    QJsonArray features;
    for (const DrawnFeature &f : document.features)
        features.append(QJsonObject{{QStringLiteral("type"), QStringLiteral("Feature")},
                                    {QStringLiteral("geometry"), geometryOf(f, document.view)},
                                    {QStringLiteral("properties"), propertiesOf(f)}});
    QJsonObject root{{QStringLiteral("type"), QStringLiteral("FeatureCollection")},
                     {QStringLiteral("view"), viewObject(document.view)},
                     {QStringLiteral("features"), features}};
    if (!document.valid.isEmpty())
        root.insert(QStringLiteral("analysisValid"), document.valid);
    if (document.year)
        root.insert(QStringLiteral("analysisYear"), *document.year);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

AnalysisDocument AnalysisDocument::read(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument parsed = QJsonDocument::fromJson(json, &error);
    if (parsed.isNull())
        refuse(QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset));
    const QJsonObject root = parsed.object();
    if (root.value(QStringLiteral("type")).toString() != QStringLiteral("FeatureCollection"))
        refuse(QStringLiteral("it is not a FeatureCollection"));
    AnalysisDocument document;
    document.view = viewOf(root.value(QStringLiteral("view")));
    document.valid = root.value(QStringLiteral("analysisValid")).toString();
    if (const QJsonValue year = root.value(QStringLiteral("analysisYear")); year.isDouble())
        document.year = year.toInt();
    const QJsonArray features = root.value(QStringLiteral("features")).toArray();
    for (qsizetype i = 0; i < features.size(); ++i)
        document.features.push_back(featureOf(features[i], i));
    return document;
}

} // namespace brimlark
