// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "RenderOptions.h"

#include "analysis/Segment.h"
#include "analysis/SegmentRenderer.h"
#include "base/NumberConversion.h"
#include "workspace/ChartFiles.h"

#include <cmath>

namespace brimlark
{

namespace
{

using N = NumberConversion;

[[noreturn]] void usageError(const QString &message) { throw RenderOptions::UsageError{message}; }

// "X,Y" in whole chart pixels.
QPoint pixelOf(const QString &text, const QString &option)
{
    const QStringList parts = text.split(u',');
    const auto x = parts.size() == 2 ? N::strictInteger(parts[0]) : std::nullopt;
    const auto y = parts.size() == 2 ? N::strictInteger(parts[1]) : std::nullopt;
    if (!x || !y)
        usageError(
            QStringLiteral("%1 wants a point as X,Y in chart pixels, not '%2'").arg(option, text));
    return QPoint(*x, *y);
}

LineTool toolOf(const QString &name)
{
    const std::pair<const char *, LineTool> tools[] = {{"isopleth", LineTool::Isopleth},
                                                       {"cold", LineTool::ColdFront},
                                                       {"warm", LineTool::WarmFront},
                                                       {"occluded", LineTool::OccludedFront},
                                                       {"stationary", LineTool::StationaryFront},
                                                       {"trough", LineTool::Trough},
                                                       {"dryline", LineTool::Dryline}};
    for (const auto &[toolName, code] : tools)
        if (name == QLatin1String(toolName))
            return code;
    usageError(QStringLiteral("unknown tool '%1' (isopleth, cold, warm, occluded, stationary, "
                              "trough, dryline)")
                   .arg(name));
}

RenderOptions::Segment segmentOf(const QString &text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        usageError(QStringLiteral("--draw wants TOOL:X,Y;X,Y;..., not '%1'").arg(text));
    RenderOptions::Segment segment{toolOf(text.left(colon)), {}};
    for (const QString &point : text.mid(colon + 1).split(u';', Qt::SkipEmptyParts))
        segment.points.emplace_back(pixelOf(point, QStringLiteral("--draw")));
    if (segment.points.size() > size_t(Segment::Capacity))
        usageError(QStringLiteral("--draw takes at most %1 points").arg(Segment::Capacity));
    return segment;
}

GeoPoint positionOf(const QString &text, const QString &option)
{
    const QStringList parts = text.split(u',');
    bool latOk = false, lonOk = false;
    const double latitude = parts.size() == 2 ? parts[0].trimmed().toDouble(&latOk) : 0;
    const double longitude = parts.size() == 2 ? parts[1].trimmed().toDouble(&lonOk) : 0;
    if (!latOk || !lonOk || std::abs(latitude) > 90 || std::abs(longitude) > 180)
        usageError(QStringLiteral("%1 wants a position as LAT,LON in degrees (north and east "
                                  "positive, within 90 and 180), not '%2'")
                       .arg(option, text));
    return GeoPoint{latitude, longitude};
}

// --draw-geo TOOL:LAT,LON;LAT,LON;...
Bulletin::Line geoLineOf(const QString &text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        usageError(QStringLiteral("--draw-geo wants TOOL:LAT,LON;LAT,LON;..., not '%1'").arg(text));
    Bulletin::Line line{toolOf(text.left(colon)), QString(), {}};
    for (const QString &point : text.mid(colon + 1).split(u';', Qt::SkipEmptyParts))
        line.points.push_back(positionOf(point, QStringLiteral("--draw-geo")));
    return line;
}

void setView(RenderOptions &o, const QString &option, const QString &value)
{
    o.hasView = true;
    if (option == u"--center") {
        const QStringList parts = value.split(u',');
        if (parts.size() != 2)
            usageError(QStringLiteral("--center wants LAT,LON, not '%1'").arg(value));
        o.view.CenterLat = N::lenientDouble(parts[0]);
        o.view.CenterLon = N::lenientDouble(parts[1]);
    } else if (option == u"--zoom") {
        o.view.Zoom = N::lenientDouble(value);
    } else {
        const QStringList parts = value.toLower().split(u'x');
        if (parts.size() != 2)
            usageError(QStringLiteral("--size wants WxH, not '%1'").arg(value));
        o.view.ChartWidth = N::lenientRounded(parts[0]);
        o.view.ChartHeight = N::lenientRounded(parts[1]);
    }
}

void take(RenderOptions &o, const QString &option, const QString &value)
{
    if (option == u"--center" || option == u"--zoom" || option == u"--size")
        setView(o, option, value);
    else if (option == u"--data")
        o.dataDir = value;
    else if (option == u"--prefs")
        o.prefsFile = value;
    else if (option == u"--input")
        o.input = value;
    else if (option == u"--draw")
        o.segments.push_back(segmentOf(value));
    else if (option == u"--draw-geo")
        o.geoAnalysis.lines.push_back(geoLineOf(value));
    else if (option == u"--marker-geo") {
        if (!(value.size() > 2 && (value[0] == u'L' || value[0] == u'H') && value[1] == u':'))
            usageError(
                QStringLiteral("--marker-geo wants L:LAT,LON or H:LAT,LON, not '%1'").arg(value));
        o.geoAnalysis.centres.push_back(
            {value[0] == u'H', std::nullopt, positionOf(value.mid(2), option)});
    } else if (option == u"--bulletin")
        o.bulletins.push_back(value);
    else if (option == u"--export-analysis")
        o.exportAnalysis = value;
    else if (option == u"--marker") {
        const bool letter =
            value.size() > 2 && (value[0] == u'L' || value[0] == u'H') && value[1] == u':';
        if (!letter)
            usageError(QStringLiteral("--marker wants L:X,Y or H:X,Y, not '%1'").arg(value));
        o.markers.push_back({value[0], pixelOf(value.mid(2), option)});
    } else if (option == u"--text") {
        const qsizetype colon = value.indexOf(u':');
        if (colon < 0)
            usageError(QStringLiteral("--text wants X,Y:TEXT, not '%1'").arg(value));
        o.labels.push_back({pixelOf(value.left(colon), option), value.mid(colon + 1)});
    } else if (option == u"--line-color")
        o.lineColor = value;
    else if (option == u"--line-width")
        o.lineWidth = value;
    else if (option == u"-o")
        o.output = value;
    else
        usageError(QStringLiteral("unknown option '%1'").arg(option));
}

} // namespace

RenderOptions RenderOptions::parse(const QStringList &arguments)
{
    RenderOptions o;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments[i];
        if (option == u"--quiet") {
            o.quiet = true;
            continue;
        }
        if (i + 1 >= arguments.size())
            usageError(QStringLiteral("%1 wants a value").arg(option));
        take(o, option, arguments[++i]);
    }
    if (o.output.isEmpty())
        usageError(QStringLiteral("no output file (-o OUTPUT)"));
    const QString extension = ChartFiles::extensionOf(o.output);
    if (extension != u".gif" && extension != u".jpg" && extension != u".jpeg"
        && extension != u".bmp")
        usageError(QStringLiteral("the output file must end in .gif, .jpg, .jpeg or .bmp: '%1'")
                       .arg(o.output));
    if (o.input.isEmpty() && !o.hasView)
        usageError(QStringLiteral("give a view (--center, --zoom, --size) or an --input chart"));
    return o;
}

QString RenderOptions::usage()
{
    return QStringLiteral(
        "usage: brimlark-render --center LAT,LON --zoom Z --size WxH [--data DIR] "
        "[--prefs FILE.reg]\n"
        "                       [--input CHART] [--draw TOOL:X,Y;X,Y;...]... "
        "[--marker L|H:X,Y]... [--text X,Y:TEXT]...\n"
        "                       [--draw-geo TOOL:LAT,LON;LAT,LON;...]... "
        "[--marker-geo L|H:LAT,LON]... [--bulletin FILE]...\n"
        "                       [--export-analysis FILE.txt|FILE.geojson]\n"
        "                       [--line-color NAME] [--line-width \"N px\"] -o OUTPUT "
        "[--quiet]\n");
}

} // namespace brimlark
