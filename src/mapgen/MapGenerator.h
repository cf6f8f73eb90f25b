// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ViewValues.h"
#include "canvas/ChartBitmap.h"
#include "canvas/ChartCanvas.h"
#include "mapgen/GenerationProgress.h"
#include "prefs/ChartSettings.h"
#include "workspace/Workspace.h"

namespace brimlark
{

class KeptLines;
class OverlayFile;
class VectorMapFile;

/// Draws a complete base map: the ocean, the graticule, the vector layers from the map data
/// files in the program's folder, the county and highway overlays and the border.
class MapGenerator
{
public:
    MapGenerator(ChartBitmap &chart, ChartCanvas &canvas, const ChartSettings &settings,
                 const Workspace &workspace, GenerationProgress &progress);

    /// Sizes the chart to the view and draws the base map on it, in this order: ocean fill;
    /// the graticule first when BehindLand is on; layer 1, the land polygons; then, at the
    /// start of layer 2, the graticule (BehindLand off) and the county and highway overlays;
    /// layers 2 to 5 (state borders, lakes, islands, rivers) and, with Coast on, the coast
    /// lines as a sixth; finally the border. With LakeFill on, the lakes and the islands in
    /// them are filled right after the land; with CountyScaleAware on, the county overlay
    /// is left out of charts too small in scale to read it. With the land drawn, the coast
    /// lines are its outlines (map.gic is not read); with LakeFill on, the lake and island
    /// shores are the outlines of their fills. A failure stops it where it happened.
    /// Traced name: GenerateMap.
    void generateMap(const ViewValues &view);

    /// Chart pixels per degree of latitude at the view centre.
    static double pixelsPerDegree(const ViewValues &view);
    /// The least scale, in chart pixels per degree of latitude, at which CountyScaleAware
    /// lets the county overlay be drawn.
    // Measured on the shipped map.cgf with a 1-pixel county pen: the share of the central
    // United States (33-43 N, 105-85 W) covered by county lines is 69 % at 6.3 px/degree
    // (the whole globe on an 800-pixel chart), 46 % at 10.5, 35 % at 14.7, 30 % at 16.8
    // (the United States at 800x600, Zoom 1.2) and 16 % at 33.5 (1600x1200). Above about a
    // third the lines merge into a brown wash and no county reads as an area; at 15 px a
    // typical eastern county of half a degree is 7 pixels across. A whole globe in view
    // (Zoom 0.5 or less) stays below 15 px/degree up to a chart width of 1718 pixels.
    static constexpr double LegibleCountyScale = 15.0;
    /// Whether the counties are large enough to read at the view's scale.
    static bool countiesLegible(const ViewValues &view);

private:
    int graticuleInterval() const;
    void eraseToOcean(const ViewValues &view);
    void drawLayers(const ViewValues &view, int interval);
    void fillLakes(VectorMapFile &maps, bool withIslands, KeptLines *kept, const int *widths);
    void drawOverlays(OverlayFile &overlays, bool counties);
    void drawBorder(const ViewValues &view);

    ChartBitmap &m_chart;
    ChartCanvas &m_canvas;
    const ChartSettings &m_settings;
    const Workspace &m_workspace;
    GenerationProgress &m_progress;
};

} // namespace brimlark
