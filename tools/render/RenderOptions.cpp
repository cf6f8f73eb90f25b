// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "RenderOptions.h"

#include "analysis/Segment.h"
#include "base/ChartError.h"
#include "base/ChartSize.h"
#include "base/NumberConversion.h"
#include "bulletin/AnalysisFiles.h"
#include "workspace/ChartFiles.h"

#include <QLocale>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace brimlark
{

namespace
{

using N = NumberConversion;

// The picture formats a chart can be read from and written in, by extension.
const char *const ChartExtensions[] = {".gif", ".jpg", ".jpeg", ".bmp", ".png"};
// The names of the drawing panel's LineColor box.
const char *const LineColors[] = {"Black", "Green", "Red", "Yellow", "Blue"};

template <size_t Count> bool isOneOf(const QString &text, const char *const (&names)[Count])
{
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char *name) { return text == QLatin1String(name); });
}

template <size_t Count> QString listOf(const char *const (&names)[Count])
{
    QStringList list;
    for (const char *name : names)
        list.push_back(QLatin1String(name));
    return list.join(QStringLiteral(", "));
}

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
    if (const LineToolNames *named = LineToolNames::byOption(name))
        return named->tool;
    QStringList known;
    for (const LineToolNames &tool : LineToolNames::all())
        known << QLatin1StringView(tool.option);
    usageError(
        QStringLiteral("unknown tool '%1' (%2)").arg(name, known.join(QStringLiteral(", "))));
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
    if (!latOk || !lonOk || !(std::abs(latitude) <= 90) || !(std::abs(longitude) <= 180))
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

// A decimal number in the C locale, blanks allowed around it; infinities and NaN are not
// numbers here.
double numberOf(const QString &text, const QString &option, const char *what)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        usageError(QStringLiteral("%1 wants %2, not '%3'").arg(option, QLatin1String(what), text));
    return value;
}

void setView(RenderOptions &o, const QString &option, const QString &value)
{
    o.hasView = true;
    if (option == u"--center") {
        o.viewGiven.center = true;
        const QStringList parts = value.split(u',');
        if (parts.size() != 2)
            usageError(QStringLiteral("--center wants LAT,LON, not '%1'").arg(value));
        const double latitude = numberOf(parts[0], option, "a latitude in degrees");
        const double longitude = numberOf(parts[1], option, "a longitude in degrees");
        if (latitude < -90 || latitude > 90)
            usageError(QStringLiteral("--center: the latitude must be within -90 and 90, not %1")
                           .arg(parts[0].trimmed()));
        if (longitude < -180 || longitude > 180)
            usageError(QStringLiteral("--center: the longitude must be within -180 and 180, not %1")
                           .arg(parts[1].trimmed()));
        o.view.centerLat = latitude;
        o.view.centerLon = longitude;
    } else if (option == u"--zoom") {
        o.viewGiven.zoom = true;
        const double zoom = numberOf(value, option, "a zoom factor");
        if (zoom <= 0)
            usageError(QStringLiteral("--zoom must be above 0, not %1").arg(value.trimmed()));
        o.view.zoom = zoom;
    } else {
        o.viewGiven.size = true;
        const QStringList parts = value.toLower().split(u'x');
        const auto width = parts.size() == 2 ? N::strictInteger(parts[0]) : std::nullopt;
        const auto height = parts.size() == 2 ? N::strictInteger(parts[1]) : std::nullopt;
        if (!width || !height)
            usageError(QStringLiteral("--size wants WxH in whole pixels, not '%1'").arg(value));
        if (*width < 1 || *height < 1)
            usageError(QStringLiteral("--size: the width and height must be at least 1 pixel, "
                                      "not %1x%2")
                           .arg(*width)
                           .arg(*height));
        if (!ChartSize::allowed(*width, *height))
            usageError(QStringLiteral("--size: %1x%2 is too large: the limit is %3 pixels a "
                                      "side and %4 pixels in all")
                           .arg(*width)
                           .arg(*height)
                           .arg(ChartSize::MaxSide)
                           .arg(ChartSize::MaxPixels));
        o.view.chartWidth = *width;
        o.view.chartHeight = *height;
    }
}

// The isopleth colours and widths of the drawing panel. A name is taken in any case and
// kept as the panel spells it.
QString lineColorOf(const QString &value)
{
    for (const char *name : LineColors)
        if (value.trimmed().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QLatin1String(name);
    usageError(QStringLiteral("unknown --line-color '%1' (%2)").arg(value, listOf(LineColors)));
}

// "N px" or plain N, N from 1 to 5.
QString lineWidthOf(const QString &value)
{
    QString number = value.trimmed();
    if (number.endsWith(QStringLiteral("px")))
        number = number.chopped(2).trimmed();
    const auto width = N::strictInteger(number);
    if (!width || *width < 1 || *width > 5)
        usageError(QStringLiteral("--line-width wants \"1 px\" to \"5 px\", not '%1'").arg(value));
    return QStringLiteral("%1 px").arg(*width);
}

// YYYY-MM-DDTHH:MM in UTC.
QDateTime observationTimeOf(const QString &text)
{
    QDateTime time = QDateTime::fromString(text, QStringLiteral("yyyy-MM-ddTHH:mm"));
    if (!time.isValid())
        usageError(QStringLiteral("--obs-time wants YYYY-MM-DDTHH:MM (UTC), not '%1'").arg(text));
    time.setTimeZone(QTimeZone::utc());
    return time;
}

FirstGuessChoice firstGuessOf(const QString &text)
{
    try {
        return FirstGuessChoice::parse(text);
    } catch (const ChartError &e) {
        usageError(QStringLiteral("--first-guess: %1").arg(e.message()));
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
    } else if (option == u"--bulletin" || option == u"--analysis")
        o.bulletins.push_back(value);
    else if (option == u"--export-analysis")
        o.exportAnalysis = value;
    else if (option == u"--observations")
        o.observations.push_back(value);
    else if (option == u"--obs-time")
        o.observationTime = observationTimeOf(value);
    else if (option == u"--first-guess")
        o.firstGuess = firstGuessOf(value);
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
        o.lineColor = lineColorOf(value);
    else if (option == u"--line-width")
        o.lineWidth = lineWidthOf(value);
    else if (option == u"-o")
        o.output = value;
}

// Every option with its value and what it does, in the order --help lists them.
struct OptionHelp {
    const char *name;
    const char *value; // nullptr for a switch
    const char *help;  // lines after the first go on under it
};
constexpr OptionHelp Options[] = {
    {"--center", "LAT,LON", "the centre of a new map: latitude -90 to 90, longitude -180\nto 180"},
    {"--zoom", "Z", "the zoom factor of a new map, above 0"},
    {"--size", "WxH",
     "the size of a new map in pixels: 1 to 32767 a side, at most\n134217728 in all"},
    {"--data", "DIR", "the folder of the map data files (default: the program's\nfolder)"},
    {"--prefs", "FILE.reg",
     "preferences from a registry export file (default: the\nbuilt-in defaults, never your own "
     "settings)"},
    {"--input", "CHART",
     "start from a GIF, JPEG, BMP or PNG chart instead of a new\nmap, in the view it carries "
     "(a PNG or JPEG saved by Brimlark);\n--center, --zoom and --size give the view of a chart "
     "that\ncarries none and must agree with one that does"},
    {"--draw", "TOOL:X,Y;X,Y;...",
     "a segment of up to 100 points with a line tool: isopleth,\ncold, warm, occluded, "
     "stationary, trough or dryline"},
    {"--marker", "L|H:X,Y", "a low or high pressure centre"},
    {"--text", "X,Y:TEXT", "a label: TEXT written at the point"},
    {"--draw-geo", "TOOL:LAT,LON;...", "a segment as --draw, through positions on the globe"},
    {"--marker-geo", "L|H:LAT,LON", "a centre as --marker, at a position on the globe"},
    {"--bulletin", "FILE", "a coded surface frontal positions bulletin, drawn first"},
    {"--analysis", "FILE",
     "a saved analysis (GeoJSON: .geojson, .json), drawn first at its\npositions on the globe"},
    {"--observations", "FILE",
     "surface observations plotted as station models on the map: METAR\nreports, or a table "
     "of decoded observations (.csv)"},
    {"--obs-time", "YYYY-MM-DDTHH:MM",
     "the time of the observations to plot (UTC; default: the hour most\nreports stand for)"},
    {"--first-guess", "FIELD[:INTERVAL]",
     "isolines analysed from the plotted observations, as features of the\nanalysis: "
     "pressure (every 4 hPa), temperature or dewpoint (every 5\ndegrees)"},
    {"--export-analysis", "FILE",
     "write the lines and centres as a bulletin (.txt, .bul) or as\nGeoJSON (.geojson, .json)"},
    {"--line-color", "NAME",
     "the colour of isopleths: Black (the default), Green, Red,\nYellow "
     "or Blue"},
    {"--line-width", "\"N px\"", "the width of isopleths: \"1 px\" (the default) to \"5 px\""},
    {"-o", "OUTPUT",
     "the chart file to write; .gif, .jpg, .jpeg, .bmp or .png\nchooses the format"},
    {"--world-file", nullptr,
     "write beside OUTPUT a world file (.pgw, .gfw, .jgw, .bpw) and\na .prj that place the "
     "chart in GIS programs"},
    {"--quiet", nullptr, "no progress display while a map is made"},
    {"-h, --help", nullptr, "print this help and exit"},
    {"--version", nullptr, "print the version and exit"},
};

bool takesValue(const QString &option)
{
    return std::any_of(std::begin(Options), std::end(Options), [&](const OptionHelp &o) {
        return o.value && option == QLatin1String(o.name);
    });
}

bool isSwitch(const QString &option)
{
    return option == u"--quiet" || option == u"--world-file" || option == u"--help"
           || option == u"-h" || option == u"--version";
}

} // namespace

RenderOptions RenderOptions::parse(const QStringList &arguments)
{
    RenderOptions o;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString option = arguments[i];
        // --name=value is --name value.
        const qsizetype equals = option.startsWith(u"--") ? option.indexOf(u'=') : -1;
        if (equals > 0) {
            const QString value = option.mid(equals + 1);
            option.truncate(equals);
            if (isSwitch(option))
                usageError(QStringLiteral("%1 takes no value").arg(option));
            if (!takesValue(option))
                usageError(QStringLiteral("unknown option '%1'").arg(option));
            take(o, option, value);
            continue;
        }
        if (option == u"--help" || option == u"-h") {
            o.action = Action::Help;
            return o;
        }
        if (option == u"--version") {
            o.action = Action::Version;
            return o;
        }
        if (option == u"--quiet" || option == u"--world-file") {
            (option == u"--quiet" ? o.quiet : o.worldFile) = true;
            continue;
        }
        if (!takesValue(option))
            usageError(option.startsWith(u'-')
                           ? QStringLiteral("unknown option '%1'").arg(option)
                           : QStringLiteral("unexpected argument '%1'").arg(option));
        if (i + 1 >= arguments.size())
            usageError(QStringLiteral("%1 wants a value").arg(option));
        take(o, option, arguments[++i]);
    }
    if (o.output.isEmpty())
        usageError(QStringLiteral("no output file (-o OUTPUT)"));
    if (o.firstGuess && o.observations.isEmpty())
        usageError(QStringLiteral("--first-guess analyses observations: give --observations"));
    const QString extension = ChartFiles::extensionOf(o.output);
    if (!isOneOf(extension, ChartExtensions))
        usageError(QStringLiteral("the output file must end in %1: '%2'")
                       .arg(listOf(ChartExtensions), o.output));
    // A chart of another kind would be skipped without a word and the map left blank.
    if (!o.input.isEmpty() && !isOneOf(ChartFiles::extensionOf(o.input), ChartExtensions))
        usageError(QStringLiteral("the --input chart must end in %1: '%2'")
                       .arg(listOf(ChartExtensions), o.input));
    // Written in a format the name does not say, the file would be taken for something else.
    if (!o.exportAnalysis.isEmpty() && !AnalysisFiles::formatOf(o.exportAnalysis))
        usageError(QStringLiteral("the --export-analysis file must end in %1: '%2'")
                       .arg(AnalysisFiles::extensions(), o.exportAnalysis));
    if (o.input.isEmpty() && !o.hasView)
        usageError(QStringLiteral("give a view (--center, --zoom, --size) or an --input chart"));
    return o;
}

// A view stored in the chart is the view it was drawn in: an option that says otherwise
// would draw positions where they are not, so the two must agree (longitudes -180 and 180
// are one meridian).
ViewValues RenderOptions::inputView(const std::optional<ViewValues> &stored,
                                    const ViewValues &current, QSize chartSize) const
{
    if (!stored) {
        ViewValues chosen = current;
        if (viewGiven.center) {
            chosen.centerLat = view.centerLat;
            chosen.centerLon = view.centerLon;
        }
        if (viewGiven.zoom)
            chosen.zoom = view.zoom;
        chosen.chartWidth = viewGiven.size ? view.chartWidth : chartSize.width();
        chosen.chartHeight = viewGiven.size ? view.chartHeight : chartSize.height();
        return chosen;
    }
    const auto number = [](double v) {
        return QString::number(v, 'g', QLocale::FloatingPointShortest);
    };
    const auto contradiction = [&](const char *option, const QString &given,
                                   const QString &storedValue) {
        usageError(QStringLiteral("%1 %2 contradicts the view stored in %3: %4")
                       .arg(QLatin1String(option), given, input, storedValue));
    };
    if (viewGiven.center
        && (view.centerLat != stored->centerLat
            || std::remainder(view.centerLon - stored->centerLon, 360.0) != 0))
        contradiction("--center", number(view.centerLat) + u',' + number(view.centerLon),
                      QStringLiteral("centre ") + number(stored->centerLat) + u','
                          + number(stored->centerLon));
    if (viewGiven.zoom && view.zoom != stored->zoom)
        contradiction("--zoom", number(view.zoom), QStringLiteral("zoom ") + number(stored->zoom));
    if (viewGiven.size
        && (view.chartWidth != stored->chartWidth || view.chartHeight != stored->chartHeight))
        contradiction(
            "--size", QStringLiteral("%1x%2").arg(view.chartWidth).arg(view.chartHeight),
            QStringLiteral("size %1x%2").arg(stored->chartWidth).arg(stored->chartHeight));
    return *stored;
}

QString RenderOptions::usage()
{
    constexpr int Column = 30; // where the descriptions start
    QString text = QStringLiteral(
        "usage: brimlark-render --center LAT,LON --zoom Z --size WxH [OPTION]... -o OUTPUT\n"
        "       brimlark-render --input CHART [OPTION]... -o OUTPUT\n"
        "       brimlark-render --help | --version\n"
        "Makes a weather chart without a window: a new base map, or a chart read from a file,\n"
        "with segments, centres and labels drawn on it as the window draws them.\n"
        "Points on the chart are X,Y in whole pixels from the top left corner; positions on the\n"
        "globe are LAT,LON in degrees, north and east positive. --draw, --marker, --text,\n"
        "--draw-geo, --marker-geo, --bulletin, --analysis and --observations may be given more\n"
        "than once.\n"
        "\n"
        "Options (--name=value is the same as --name value):\n");
    for (const OptionHelp &option : Options) {
        QString head = QStringLiteral("  ") + QLatin1String(option.name);
        if (option.value)
            head += u' ' + QLatin1String(option.value);
        if (head.size() >= Column - 1)
            head += u'\n' + QString(Column, u' ');
        else
            head = head.leftJustified(Column);
        QString help = QLatin1String(option.help);
        help.replace(u'\n', u'\n' + QString(Column, u' '));
        text += head + help + u'\n';
    }
    return text + QStringLiteral("\nExit status: 0 done, 1 failed, 2 usage error.\n");
}

QString RenderOptions::version()
{
#ifdef BRIMLARK_VERSION
    return QStringLiteral("brimlark-render " BRIMLARK_VERSION);
#else
    return QStringLiteral("brimlark-render 2.0a");
#endif
}

} // namespace brimlark
