// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "Readers.h"
#include "base/ChartSize.h"

#include "RenderOptions.h"
#include "analysis/ChartMarkers.h"
#include "analysis/SegmentRenderer.h"
#include "base/ChartError.h"
#include "bulletin/BulletinParser.h"
#include "bulletin/BulletinWriter.h"
#include "bulletin/GeoJsonReader.h"
#include "bulletin/GeoJsonWriter.h"
#include "canvas/ChartBitmap.h"
#include "canvas/ChartFonts.h"
#include "canvas/RasterCanvas.h"
#include "formats/BmpCodec.h"
#include "formats/GifCodec.h"
#include "formats/JpegCodec.h"
#include "formats/PngCodec.h"
#include "mapgen/HorizonClipper.h"
#include "mapgen/MapGenerator.h"
#include "mapgen/OverlayFile.h"
#include "mapgen/Projection.h"
#include "mapgen/VectorMapFile.h"
#include "observation/MetarCollection.h"
#include "observation/MetarDecoder.h"
#include "observation/ObservationTable.h"
#include "observation/StationTable.h"
#include "prefs/ChartSettings.h"
#include "prefs/FileRegistryKey.h"
#include "prefs/RegistryFile.h"
#include "prefs/SettingsStore.h"
#include "workspace/SavedData.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace brimlark
{

namespace FuzzReaders
{
namespace
{

// The largest chart a fuzzed view is drawn on; larger views are only projected, so that one
// input never takes seconds.
constexpr qint64 LargestDrawnChart = 96 * 96;

class NoProgress : public GenerationProgress
{
public:
    void status(const QString &) override {}
    void lineDone() override {}
    void setBusy(bool) override {}
};

// Bytes consumed from the front of an input; past its end every value is 0.
class Input
{
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    uint8_t byte()
    {
        if (m_pos >= m_size)
            return 0;
        return m_data[m_pos++];
    }
    QByteArray rest() const
    {
        return QByteArray(reinterpret_cast<const char *>(m_data + m_pos),
                          qsizetype(m_size - m_pos));
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

void int16(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// A vector map file of one line (or land outline) through the points, in degrees.
QByteArray vectorLine(std::initializer_list<std::pair<int, int>> points)
{
    QByteArray out;
    bool first = true;
    for (const auto &[lat, lon] : points) {
        int16(out, first ? 1000 : 0);
        int16(out, lat * 60);
        int16(out, lon * 60);
        first = false;
    }
    return out;
}

// An overlay line through the points, in degrees (longitude east), then a break record.
QByteArray overlayLine(std::initializer_list<std::pair<int, int>> points)
{
    QByteArray out;
    for (const auto &[lat, lon] : points) {
        int16(out, lat * 100);
        int16(out, -lon * 100);
    }
    int16(out, 9999);
    int16(out, 0);
    return out;
}

// The scratch folder: the file a file reader reads, and small map data for generation.
class Scratch
{
public:
    Scratch() : m_workspace(m_dir.path())
    {
        m_dir.setAutoRemove(false); // removed at exit, see initialize()
        const QByteArray land =
            vectorLine({{30, -120}, {50, -120}, {50, -70}, {30, -70}, {30, -120}});
        const QByteArray line = vectorLine({{25, -110}, {40, -95}, {48, -80}, {35, -75}});
        for (const char *name : {"map.gis", "map.gil", "map.gii", "map.gir", "map.gic"})
            write(name, line);
        write("map.gin", land + vectorLine({{-40, 110}, {-10, 110}, {-10, 150}, {-40, 110}}));
        write("map.cgf", overlayLine({{30, -100}, {45, -90}, {40, -80}}));
        write("map.hwy", overlayLine({{35, -115}, {42, -85}}));
    }
    QString write(const char *name, const QByteArray &bytes) const
    {
        const QString path = m_workspace.path(QLatin1String(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(bytes) != bytes.size())
            std::abort(); // the harness itself cannot work
        return path;
    }
    const Workspace &workspace() const { return m_workspace; }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    Workspace m_workspace;
};

// Both live until the process ends and are never destroyed: libFuzzer ends with exit(), and
// by the time static objects of ours would go, Qt's own may have gone already.
QGuiApplication *application = nullptr;
Scratch *scratch = nullptr;
std::string scratchFolder;

void removeScratch() { std::filesystem::remove_all(scratchFolder); }

// Views a map or overlay file is drawn in: over North America, the whole disc, a pole, a
// close view where most points fall off the chart, and one across the date line.
const ViewValues Views[] = {
    {39.0, -96.0, 1.2, 96, 72},  {0.0, 0.0, 0.45, 96, 72},    {90.0, 0.0, 0.45, 80, 80},
    {-30.0, 150.0, 4.0, 64, 48}, {45.0, 170.0, 0.8, 120, 60},
};

// Runs one step of a reader; a refusal with the system's message ends only that step.
void step(const std::function<void()> &work)
{
    try {
        work();
    } catch (const ChartError &) {
    }
}

// A chart for each of the Views, and its vector map drawer, made once: the drawer's tables
// for a view take longer to make than most files take to draw.
struct MapChart {
    explicit MapChart(const ViewValues &view) : maps(canvas, view, progress)
    {
        chart.setSize(view.chartWidth, view.chartHeight);
    }
    ChartBitmap chart;
    RasterCanvas canvas{chart};
    NoProgress progress;
    VectorMapFile maps;
};

MapChart &mapChart(size_t view)
{
    static MapChart *charts[std::size(Views)] = {};
    if (!charts[view])
        charts[view] = new MapChart(Views[view]); // kept to the end, like the application
    return *charts[view];
}

// The first byte chooses the view, the pen width and whether the lines are land outlines.
void drawMapFile(Input in)
{
    const uint8_t choice = in.byte();
    MapChart &target = mapChart(choice % std::size(Views));
    const bool asPolygon = choice & 0x80;
    const int widths[] = {1, 2, 5, 12};
    target.canvas.setPenWidth(widths[(choice >> 4) & 3]);
    target.canvas.setBrushStyle(asPolygon ? BrushStyle::Solid : BrushStyle::Clear);
    target.maps.drawMapFile(scratch->write("fuzz.map", in.rest()), asPolygon);
}

// The first byte chooses the view and the width text (one of them not a number).
void drawOverlay(Input in)
{
    const uint8_t choice = in.byte();
    MapChart &target = mapChart(choice % std::size(Views));
    const char *widths[] = {"1", "2", " 7 ", "2 px"};
    const QString path = scratch->write("fuzz.ovl", in.rest());
    OverlayFile(target.canvas, Views[choice % std::size(Views)], target.progress)
        .drawOverlay(path, ChartColor(0x0000FF), QLatin1String(widths[(choice >> 4) & 3]));
}

// Everything a view reaches without drawing: the projection of a grid of positions, the rim
// of the disc and the horizon clipper of a land outline across it.
void projectWith(const ViewValues &view)
{
    for (int lat = -90; lat <= 90; lat += 30)
        for (int lon = -180; lon <= 180; lon += 45)
            Projection::projectToChart(view, lat, lon);
    for (int i = 0; i < 8; ++i)
        Projection::horizonPoint(view, i * 0.785398);
    // A land outline around the globe's middle is cut by the horizon of most views.
    const Projection::ViewAngles angles = Projection::anglesOf(view);
    std::vector<HorizonClipper::RingPoint> ring;
    bool hidden = false;
    for (const auto &[lat, lon] : {std::pair{10, -170}, {60, -60}, {-20, 20}, {-70, 120}}) {
        const double phi = Projection::converted(lat);
        const double delta = Projection::deltaOf(view, lon);
        const Projection::Terms terms = Projection::termsOf(angles, std::sin(phi), std::cos(phi),
                                                            std::sin(delta), std::cos(delta));
        const QPoint p = Projection::chartPointOf(view, terms);
        ring.push_back({terms, p, p.x() != Projection::OffChart});
        hidden = hidden || !(terms.v < 0);
    }
    if (hidden)
        HorizonClipper(view).clip(ring);
}

void generate(ChartBitmap &chart, ChartCanvas &canvas, const ChartSettings &settings,
              const ViewValues &view)
{
    NoProgress progress;
    MapGenerator(chart, canvas, settings, scratch->workspace(), progress).generateMap(view);
}

void generate(const ChartSettings &settings, const ViewValues &view)
{
    ChartBitmap chart;
    RasterCanvas canvas(chart);
    generate(chart, canvas, settings, view);
}

bool drawable(const ViewValues &view)
{
    return ChartSize::allowed(view.chartWidth, view.chartHeight)
           && qint64(view.chartWidth) * view.chartHeight <= LargestDrawnChart;
}

void savedDataIntoView(const QByteArray &bytes)
{
    const ViewValues view = SavedData::parse(bytes).view();
    projectWith(view);
    if (drawable(view))
        generate(ChartSettings(), view);
    else
        step([&] { ChartSize::check(view.chartWidth, view.chartHeight); });
}

// Every line tool through the same points, then the two centres.
void drawAnalysis(ChartCanvas &canvas, const ChartSettings &settings, const PanelLine &panel)
{
    const QPointF points[] = {{5, 40}, {30, 10}, {60, 50}, {90, 20}};
    SegmentRenderer renderer(canvas, settings);
    for (int tool = 0; tool <= int(LineTool::Dryline); ++tool)
        step([&] { renderer.drawSegment(LineTool(tool), points, panel); });
    step([&] { ChartMarkers::placeLetter(canvas, settings, u'L', 20, 20); });
    step([&] { ChartMarkers::placeLetter(canvas, settings, u'H', 70, 40); });
}

// The registry file as the program reads it at start-up, then every kind of setting at
// work: switches, colours and widths in a base map and in the analysis tools, the JPEG
// quality and the graticule interval.
void settingsFromRegistry(const QByteArray &bytes)
{
    const QString path = scratch->write("registry.reg", bytes);
    ChartSettings settings;
    step([&] {
        FileRegistryKey key(path, SettingsStore::keyPath());
        SettingsStore::load(key, settings);
    });
    // Drawing with the defaults again and again would find nothing new, and it is most of
    // the time an input takes.
    const ChartSettings defaults;
    bool changed = false;
    for (int i = 0; i < ChartSettings::Count; ++i)
        changed = changed
                  || settings.storedText(ChartSettings::Id(i))
                         != defaults.storedText(ChartSettings::Id(i));
    if (!changed)
        return;
    step([&] { JpegCodec::qualityOf(settings.text(ChartSettings::JPEGComp)); });
    step([&] { generate(settings, Views[0]); });
    ChartBitmap chart;
    chart.setSize(96, 64);
    RasterCanvas canvas(chart);
    drawAnalysis(canvas, settings, {QStringLiteral("Red"), QStringLiteral("3 px")});
}

// The arguments as brimlark-render reads them, and the drawing they ask for on a chart of
// the view's size (a small one when the view is too large to draw). No file named in them
// is opened.
void renderArguments(const QByteArray &bytes)
{
    QStringList arguments;
    for (const QByteArray &argument : bytes.split('\0'))
        arguments.append(QString::fromLocal8Bit(argument));
    RenderOptions options;
    try {
        options = RenderOptions::parse(arguments);
    } catch (const RenderOptions::UsageError &) {
        return;
    }
    const ChartSettings settings;
    ChartBitmap chart;
    RasterCanvas canvas(chart);
    if (options.hasView) {
        projectWith(options.view);
        if (drawable(options.view))
            step([&] { generate(chart, canvas, settings, options.view); });
    }
    if (chart.isEmpty())
        chart.setSize(96, 64);
    SegmentRenderer segments(canvas, settings);
    for (const RenderOptions::Segment &segment : options.segments)
        step([&] {
            segments.drawSegment(segment.tool, segment.points,
                                 {options.lineColor, options.lineWidth});
        });
    for (const RenderOptions::Marker &marker : options.markers)
        step([&] {
            ChartMarkers::placeLetter(canvas, settings, marker.letter, marker.at.x(),
                                      marker.at.y());
        });
    for (const RenderOptions::Label &label : options.labels)
        step([&] { ChartMarkers::placeText(canvas, label.text, label.at.x(), label.at.y()); });
}

// The highs or the lows of a bulletin, in their order: a bulletin lists all highs under
// HIGHS and all lows under LOWS, so the order between the two kinds is not kept.
std::vector<Bulletin::Centre> centresOf(const Bulletin &bulletin, bool high)
{
    std::vector<Bulletin::Centre> centres;
    std::copy_if(bulletin.centres.begin(), bulletin.centres.end(), std::back_inserter(centres),
                 [high](const Bulletin::Centre &c) { return c.high == high; });
    return centres;
}

// Whether two readings of a bulletin hold the same analysis; positions within a twentieth
// of a degree, as a bulletin writes tenths.
bool sameAnalysis(const Bulletin &a, const Bulletin &b)
{
    const auto near = [](const GeoPoint &p, const GeoPoint &q) {
        return std::abs(p.latitude - q.latitude) < 0.05
               && std::abs(p.longitude - q.longitude) < 0.05;
    };
    const auto sameCentre = [&](const Bulletin::Centre &p, const Bulletin::Centre &q) {
        return p.pressure == q.pressure && near(p.position, q.position);
    };
    const auto sameLine = [&](const Bulletin::Line &p, const Bulletin::Line &q) {
        return p.tool == q.tool && p.strength == q.strength
               && std::equal(p.points.begin(), p.points.end(), q.points.begin(), q.points.end(),
                             near);
    };
    const auto sameCentres = [&](bool high) {
        const auto p = centresOf(a, high);
        const auto q = centresOf(b, high);
        return std::equal(p.begin(), p.end(), q.begin(), q.end(), sameCentre);
    };
    return a.valid == b.valid && sameCentres(true) && sameCentres(false)
           && std::equal(a.lines.begin(), a.lines.end(), b.lines.begin(), b.lines.end(), sameLine);
}

// A bulletin as Import reads it, then both exports of it. What the bulletin writer writes
// must read back as the same analysis: anything else is a finding.
void bulletinRoundTrip(const QByteArray &bytes)
{
    const Bulletin bulletin = BulletinParser::parse(bytes);
    step([&] { GeoJsonWriter::write(bulletin); });
    QByteArray written;
    try {
        written = BulletinWriter::write(bulletin);
    } catch (const ChartError &) {
        return; // what the format cannot hold is refused with the writer's message
    }
    bool same = false;
    try {
        same = sameAnalysis(bulletin, BulletinParser::parse(written));
    } catch (const ChartError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
    }
    if (!same) {
        std::fprintf(stderr, "the written bulletin does not read back as it was:\n%s\n",
                     written.constData());
        std::abort();
    }
}

// Whether a line read again holds the positions of the line it was written from, in their
// order, meridian 180 named either way. The writer marks a crossing of the antimeridian with
// positions on it, so one that was there already and lies on the crossing step reads back as
// the crossing: positions on the antimeridian may go missing, no others.
bool sameCourse(const std::vector<GeoPoint> &written, const std::vector<GeoPoint> &read)
{
    const auto folded = [](const GeoPoint &p) {
        return GeoPoint{p.latitude, GeoPoint::foldedLongitude(p.longitude)};
    };
    size_t k = 0;
    for (const GeoPoint &p : written) {
        if (k < read.size() && folded(read[k]) == folded(p))
            ++k;
        else if (std::abs(p.longitude) != 180)
            return false;
    }
    return k == read.size() && read.size() >= 2;
}

// A GeoJSON analysis as Import reads it, then written and read again: what the reader takes,
// the writer must write, and it must read back as the same analysis.
void geoJsonRoundTrip(const QByteArray &bytes)
{
    const Bulletin first = GeoJsonReader::read(bytes).analysis;
    Bulletin again;
    try {
        again = GeoJsonReader::read(GeoJsonWriter::write(first)).analysis;
    } catch (const ChartError &e) {
        std::fprintf(stderr, "what was read cannot be written and read again: %s\n",
                     qPrintable(e.message()));
        std::abort();
    }
    const auto sameCentre = [](const Bulletin::Centre &p, const Bulletin::Centre &q) {
        return p.high == q.high && p.pressure == q.pressure
               && p.position.latitude == q.position.latitude
               && GeoPoint::foldedLongitude(p.position.longitude)
                      == GeoPoint::foldedLongitude(q.position.longitude);
    };
    const auto sameLine = [](const Bulletin::Line &p, const Bulletin::Line &q) {
        return p.tool == q.tool && p.strength == q.strength && p.contour == q.contour
               && sameCourse(p.points, q.points);
    };
    if (first.valid != again.valid || first.year != again.year
        || !std::equal(first.centres.begin(), first.centres.end(), again.centres.begin(),
                       again.centres.end(), sameCentre)
        || !std::equal(first.lines.begin(), first.lines.end(), again.lines.begin(),
                       again.lines.end(), sameLine)) {
        std::fprintf(stderr, "the written GeoJSON does not read back as it was:\n%s\n",
                     GeoJsonWriter::write(first).constData());
        std::abort();
    }
}

// A feed of reports: every observation it gives must decode again, alone, from the text it
// keeps, with the same station and time.
void metarFeed(const QByteArray &bytes)
{
    const QDate month(2019, 7, 1);
    const MetarCollection collection = MetarCollection::parse(bytes, month);
    for (const Observation &o : collection.observations) {
        const std::optional<Observation> again = MetarDecoder::decode(o.report, month);
        if (!again || again->station != o.station || again->time != o.time) {
            std::fprintf(stderr, "the report kept does not decode again: %s\n",
                         qPrintable(o.report));
            std::abort();
        }
    }
}

// The station table, then every station looked up as a report would name it: each must find
// itself, and its position must be on the globe.
void stationLookups(const QByteArray &bytes)
{
    const StationTable table = StationTable::parse(bytes);
    for (const Station &station : table.stations()) {
        if (table.find(station.id) != &station || std::abs(station.position.latitude) > 90
            || std::abs(station.position.longitude) > 180) {
            std::fprintf(stderr, "station '%s' is not found as itself or lies off the globe\n",
                         qPrintable(station.id));
            std::abort();
        }
        table.find(QLatin1Char('K') + station.id);
    }
}

// A table of observations; every one read must have its station, time and position. The
// table is kept whole while its rows are looked at: a range-for over observations() of the
// temporary parse() returns would walk a vector already destroyed.
void observationRows(const QByteArray &bytes)
{
    const ObservationTable table = ObservationTable::parse(bytes);
    for (const Observation &o : table.observations()) {
        if (o.station.isEmpty() || !o.time.isValid() || !o.position
            || std::abs(o.position->latitude) > 90 || std::abs(o.position->longitude) > 180) {
            std::fprintf(stderr, "an observation of '%s' lacks its time or position\n",
                         qPrintable(o.station));
            std::abort();
        }
    }
}

} // namespace

Reader readerNamed(const char *name)
{
    const char *names[] = {"bmp",       "gif",     "jpeg",    "registry",   "settings",
                           "saveddata", "mapfile", "overlay", "renderargs", "png",
                           "bulletin",  "geojson", "metar",   "stations",   "obscsv"};
    for (size_t i = 0; i < std::size(names); ++i)
        if (std::strcmp(name, names[i]) == 0)
            return Reader(i);
    return Reader::Count;
}

void initialize()
{
    // Text needs a GUI application for its fonts; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    application = new QGuiApplication(argc, argv);
    ChartFonts::registerSubstitutions();
    scratch = new Scratch;
    scratchFolder = scratch->folder().toStdString();
    std::atexit(removeScratch);
}

void read(Reader reader, const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    step([&] {
        switch (reader) {
        case Reader::Bmp:
            BmpCodec::decode(bytes);
            break;
        case Reader::Gif:
            GifCodec::decode(bytes);
            break;
        case Reader::Jpeg:
            JpegCodec::decode(bytes);
            break;
        case Reader::Registry:
            RegistryFile::parse(bytes).serialize();
            break;
        case Reader::Settings:
            settingsFromRegistry(bytes);
            break;
        case Reader::SavedData:
            savedDataIntoView(bytes);
            break;
        case Reader::MapFile:
            drawMapFile(Input(data, size));
            break;
        case Reader::Overlay:
            drawOverlay(Input(data, size));
            break;
        case Reader::RenderArgs:
            renderArguments(bytes);
            break;
        case Reader::Png:
            PngCodec::decode(bytes);
            break;
        case Reader::Bulletin:
            bulletinRoundTrip(bytes);
            break;
        case Reader::GeoJson:
            geoJsonRoundTrip(bytes);
            break;
        case Reader::Metar:
            metarFeed(bytes);
            break;
        case Reader::Stations:
            stationLookups(bytes);
            break;
        case Reader::ObsCsv:
            observationRows(bytes);
            break;
        case Reader::Count:
            break;
        }
    });
}

} // namespace FuzzReaders

} // namespace brimlark
