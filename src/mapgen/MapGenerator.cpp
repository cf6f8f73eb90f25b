// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "mapgen/MapGenerator.h"

#include "base/ChartError.h"
#include "base/NumberConversion.h"
#include "mapgen/Graticule.h"
#include "mapgen/KeptLines.h"
#include "mapgen/OverlayFile.h"
#include "mapgen/VectorMapFile.h"

#include <numbers>

namespace brimlark
{

namespace
{

using S = ChartSettings;

struct Layer {
    const char *file;
    S::Id on, width, color;
};

// The vector layers in drawing order; the sixth, the coast lines, only with Coast on.
constexpr Layer Layers[] = {
    {"map.gin", S::International, S::InternationalWidth, S::InternationalColor},
    {"map.gis", S::State, S::StateWidth, S::StateColor},
    {"map.gil", S::Lake, S::LakeWidth, S::LakeColor},
    {"map.gii", S::Island, S::IslandWidth, S::IslandColor},
    {"map.gir", S::River, S::RiverWidth, S::RiverColor},
    {"map.gic", S::Coast, S::CoastWidth, S::CoastColor}};
constexpr int LandLayer = 1;
constexpr int OverlayLayer = 2;
constexpr int LakeLayer = 3;
constexpr int IslandLayer = 4;
constexpr int CoastLayer = 6;

// The busy cursor for as long as a generation runs, also when it fails.
class BusyCursor
{
public:
    explicit BusyCursor(GenerationProgress &progress) : m_progress(progress)
    {
        m_progress.setBusy(true);
    }
    ~BusyCursor() { m_progress.setBusy(false); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    GenerationProgress &m_progress;
};

} // namespace

MapGenerator::MapGenerator(ChartBitmap &chart, ChartCanvas &canvas, const ChartSettings &settings,
                           const Workspace &workspace, GenerationProgress &progress)
    : m_chart(chart), m_canvas(canvas), m_settings(settings), m_workspace(workspace),
      m_progress(progress)
{
}

// The graticule's step in whole degrees. A step below 1 would never end the loops, so it
// is refused before anything is drawn. Blanks typed around the number in the preferences
// field are not part of it: the lenient conversion alone reads trailing blanks as malformed.
int MapGenerator::graticuleInterval() const
{
    const QString text = m_settings.text(S::GridInterval);
    const int interval = NumberConversion::lenientRounded(NumberConversion::trimmed(text));
    if (m_settings.isOn(S::GridSelect) && interval < 1)
        throw ChartError(QStringLiteral("The graticule interval '%1' is not a whole number of "
                                        "degrees of 1 or more")
                             .arg(text));
    return interval;
}

void MapGenerator::generateMap(const ViewValues &view)
{
    m_progress.stageReached(GenerationProgress::PreparingStage);
    m_progress.status(QStringLiteral("Preparing..."));
    {
        BusyCursor busy(m_progress);
        const int interval = graticuleInterval();
        eraseToOcean(view);
        m_progress.status(QStringLiteral("Preparing vector map..."));
        drawLayers(view, interval);
        m_progress.status(QStringLiteral("Finishing map..."));
        drawBorder(view);
    }
    m_progress.stageReached(GenerationProgress::StageCount);
    m_progress.status(QStringLiteral("Map completed"));
}

// The globe's disc and the corners around it take the ocean colour in one fill: the chart
// has no colour of its own for space, so this fill is the Earth circle.
void MapGenerator::eraseToOcean(const ViewValues &view)
{
    m_progress.status(QStringLiteral("Erasing workchart..."));
    m_chart.setSize(view.chartWidth, view.chartHeight);
    m_chart.forgetPixels(); // the fill below covers them all
    m_progress.status(QStringLiteral("Drawing Earth circle..."));
    m_canvas.setBrushColor(m_settings.color(S::OceanColor));
    m_canvas.setBrushStyle(BrushStyle::Solid);
    m_canvas.setPenStyle(PenStyle::Solid);
    const QRect all = m_canvas.clipRect();
    m_canvas.fillRect(all.left(), all.top(), all.right() + 1, all.bottom() + 1);
}

void MapGenerator::drawLayers(const ViewValues &view, int interval)
{
    // The switches hold for the whole run, whatever changes meanwhile.
    bool on[std::size(Layers)];
    for (size_t i = 0; i < std::size(Layers); ++i)
        on[i] = m_settings.isOn(Layers[i].on);
    const bool behindLand = m_settings.isOn(S::BehindLand);
    // Lakes are holes in the land, so they are filled only where the land and the lake
    // shores are drawn; the islands in them only where the island shores are drawn too.
    const bool lakeFill = m_settings.isOn(S::LakeFill) && on[LandLayer - 1] && on[LakeLayer - 1];
    const bool islandFill = lakeFill && on[IslandLayer - 1];
    const bool counties = m_settings.isOn(S::County)
                          && (!m_settings.isOn(S::CountyScaleAware) || countiesLegible(view));
    Graticule graticule(m_canvas, m_settings, view, m_progress);
    if (behindLand)
        graticule.drawGraticule(interval);
    int widths[std::size(Layers)] = {};
    for (size_t i = 0; i < std::size(Layers); ++i)
        if (i + 1 < CoastLayer || on[i])
            widths[i] = NumberConversion::requireInteger(m_settings.text(Layers[i].width));

    VectorMapFile maps(m_canvas, view, m_progress);
    OverlayFile overlays(m_canvas, view, m_progress);
    // Lines projected once for two passes: the coast lines are the land outlines (map.gic
    // holds map.gin's rings, each closed), and the lake and island shores are the outlines
    // of their fills.
    KeptLines kept[std::size(Layers)];
    bool drawnFromKept[std::size(Layers)] = {};
    for (int n = 1; n <= CoastLayer; ++n) {
        const int index = n - 1; // layers are numbered from 1
        const Layer &layer = Layers[index];
        if (n == CoastLayer && !on[index])
            break;
        m_progress.stageReached(GenerationProgress::FirstLayerStage + index);
        m_progress.status(QStringLiteral("Preparing to draw (%1)...").arg(n));
        m_canvas.setBrushStyle(BrushStyle::Clear);
        if (n == OverlayLayer) {
            if (!behindLand)
                graticule.drawGraticule(interval);
            drawOverlays(overlays, counties);
        }
        // Every layer draws with a solid pen of its own, whatever the graticule left.
        m_canvas.setPenStyle(PenStyle::Solid);
        m_canvas.setPenWidth(widths[index]);
        m_canvas.setPenColor(m_settings.color(layer.color));
        if (n == LandLayer) {
            m_canvas.setBrushStyle(BrushStyle::Solid);
            m_canvas.setBrushColor(m_settings.color(S::LandmassColor));
        }
        if (!on[index])
            continue; // a layer switched off never opens its file
        m_progress.status(QStringLiteral("Drawing vector map (%1)...").arg(n));
        if (drawnFromKept[index]) {
            maps.drawKeptLines(kept[index]);
            continue;
        }
        if (n == LandLayer && on[CoastLayer - 1]) {
            maps.keepLines(kept[CoastLayer - 1], widths[CoastLayer - 1], true);
            drawnFromKept[CoastLayer - 1] = true;
        }
        maps.drawMapFile(m_workspace.mapDataPath(QLatin1String(layer.file)), n == LandLayer);
        if (n == LandLayer && lakeFill) {
            fillLakes(maps, islandFill, kept, widths);
            drawnFromKept[LakeLayer - 1] = true;
            drawnFromKept[IslandLayer - 1] = islandFill;
        }
    }
}

// The lakes in the ocean colour, then the islands in them in the land colour, with the
// land's rasteriser rules and horizon clipping. This comes straight after the land and
// before everything else drawn over it, so the water of a lake is treated as the sea's:
// the graticule (BehindLand off), the county and highway overlays and the state and
// national borders of layer 2 that run through lakes (the US-Canada border across the Great
// Lakes) stay on top of it, and the lake and island shores of layers 3 and 4 are stroked
// over the fills' edges with their own pens. Filled any later, the fill would wipe those
// borders out of every lake.
// The shores are kept from the fills, to be stroked by their own layers.
void MapGenerator::fillLakes(VectorMapFile &maps, bool withIslands, KeptLines *kept,
                             const int *widths)
{
    m_progress.status(QStringLiteral("Filling lakes..."));
    m_canvas.setBrushStyle(BrushStyle::Solid);
    m_canvas.setBrushColor(m_settings.color(S::OceanColor));
    for (const int n : {LakeLayer, IslandLayer}) {
        if (n == IslandLayer) {
            if (!withIslands)
                return;
            m_canvas.setBrushColor(m_settings.color(S::LandmassColor));
        }
        maps.keepLines(kept[n - 1], widths[n - 1], false);
        maps.fillMapFile(m_workspace.mapDataPath(QLatin1String(Layers[n - 1].file)));
    }
}

// The county step is announced whether or not the counties are drawn, as every layer's
// preparation is.
void MapGenerator::drawOverlays(OverlayFile &overlays, bool counties)
{
    m_progress.status(QStringLiteral("Drawing counties..."));
    if (counties)
        overlays.drawOverlay(m_workspace.mapDataPath(QStringLiteral("map.cgf")),
                             m_settings.color(S::CountyColor), m_settings.text(S::CountyWidth));
    if (m_settings.isOn(S::Highway))
        overlays.drawOverlay(m_workspace.mapDataPath(QStringLiteral("map.hwy")),
                             m_settings.color(S::HighwayColor), m_settings.text(S::HighwayWidth));
}

// The orthographic scale at the centre of the disc is its radius, Zoom x ChartWidth pixels
// per radian, whatever the view centre; a degree of latitude there is pi / 180 of it.
double MapGenerator::pixelsPerDegree(const ViewValues &view)
{
    return view.zoom * view.chartWidth * std::numbers::pi / 180.0;
}

bool MapGenerator::countiesLegible(const ViewValues &view)
{
    return pixelsPerDegree(view) >= LegibleCountyScale;
}

void MapGenerator::drawBorder(const ViewValues &view)
{
    if (!m_settings.isOn(S::Border))
        return;
    m_canvas.setPenStyle(PenStyle::Solid);
    m_canvas.setPenColor(m_settings.color(S::BorderColor));
    m_canvas.setPenWidth(NumberConversion::requireInteger(m_settings.text(S::BorderWidth)));
    m_canvas.setBrushStyle(BrushStyle::Clear);
    m_canvas.rectangle(0, 0, view.chartWidth, view.chartHeight);
}

} // namespace brimlark
