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
    /// lines as a sixth; finally the border. A failure stops it where it happened.
    void GenerateMap(const ViewValues &view);

private:
    int graticuleInterval() const;
    void eraseToOcean(const ViewValues &view);
    void drawLayers(const ViewValues &view, int interval);
    void drawBorder(const ViewValues &view);

    ChartBitmap &m_chart;
    ChartCanvas &m_canvas;
    const ChartSettings &m_settings;
    const Workspace &m_workspace;
    GenerationProgress &m_progress;
};

} // namespace brimlark
