// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/Segment.h"
#include "analysis/SegmentRenderer.h"
#include "base/ViewValues.h"
#include "bulletin/Bulletin.h"
#include "canvas/ChartBitmap.h"
#include "canvas/RasterCanvas.h"
#include "editing/AnalysisDocument.h"
#include "editing/ObservationPlot.h"
#include "editing/PressPrompt.h"
#include "editing/UndoHistory.h"
#include "mapgen/GenerationProgress.h"
#include "objective/FirstGuess.h"
#include "prefs/ChartSettings.h"
#include "workspace/BitmapWriter.h"
#include "workspace/ChartFiles.h"
#include "workspace/SavedData.h"
#include "workspace/Workspace.h"

#include <QImage>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace brimlark
{

/// What a press on the chart does: add a point to the segment drawn with the line tool, or
/// place an L or H centre or a text label.
enum class PressMode { Line, LowCentre, HighCentre, Text };

/// The editing of one chart: the chart bitmap and its canvas, the current segment, the line
/// tool and press mode, the view, and the workspace files that keep the snapshots and carry
/// the chart from one run to the next. Every operation that fails throws a ChartError and
/// stops at the failing step; what it did before stays done.
///
/// The workspace bitmaps: "temp0.bmp" the base map as last generated or loaded (written by
/// generate and load, read by erase); "temp1.bmp" the chart before the current segment, and
/// between runs the chart itself (written by generate, load, a tool choice, commit, erase and
/// exit; read by every press, undo and start-up); "temp2.bmp" the chart after the latest
/// press (written by generate, load and every press). A scratch workspace keeps none of them
/// in files: the session holds the base map and the snapshot in memory.
class ChartSession
{
public:
    /// The outcome of reading the workspace at start-up.
    struct StartUp {
        std::optional<SavedFields> fields; ///< the map-maker texts, when they could be read
        QStringList errors;                ///< one message per failed step, each naming its file
        bool newWorkspace = false;         ///< neither workspace file exists: a first start
        QString status;                    ///< what the status line should say, if anything
    };

    ChartSession(const ChartSettings &settings, const Workspace &workspace);

    /// The map-maker texts a first start offers, before any "saveddat.txt" exists.
    static SavedFields firstStartFields();

    /// Reads the workspace of the last run: removes stale temporary files, then reads the
    /// map-maker texts (and the view) and the chart, each independently of the other. A chart
    /// file that cannot be read is moved aside to "temp1.bmp.bad" before anything can write
    /// over it. Where neither file exists, a new workspace, nothing is read and nothing is
    /// an error. The segment starts empty with the cold front chosen.
    StartUp startUp();

    /// A press at a chart pixel: adds the point and draws the whole segment with the line
    /// tool (isopleths in the panel's colour and width), or places the marker, on the
    /// snapshot. False, and nothing changed, when the segment is full.
    bool press(int x, int y, const PanelLine &isopleth, PressPrompt &prompt);
    /// Chooses a line tool: commits the segment, then presses draw lines with the tool.
    void chooseLineTool(LineTool tool);
    /// Chooses L, H or text for the next presses: commits the segment.
    void chooseMarker(PressMode mode);
    /// New segment: the chart as it stands becomes the snapshot; the segment starts empty.
    /// Does nothing when nothing was drawn since the snapshot.
    void commit();
    /// Undo: throws away what is drawn but not kept (back to the snapshot) when the chart
    /// differs from the snapshot; otherwise steps back one committed state (a segment,
    /// Erase, Generate, Load or an import), which becomes the snapshot.
    void undo();
    /// Throws the current segment away, back to the snapshot, as the first Undo does; does
    /// nothing while the segment is empty.
    void cancelSegment();
    /// Redo: steps forward again to the state the last Undo left; a new press forgets the
    /// steps forward.
    void redo();
    /// What an import drew: lines and centres on the chart, and those wholly off it (which
    /// join the analysis all the same).
    struct ImportSummary {
        int drawn = 0;
        int offChart = 0;
    };
    /// Draws an analysis given on the globe as committed work on the chart of the current
    /// view (one step of the history): every line with its tool through its positions
    /// projected onto the chart, left out behind the globe and split where it leaves the
    /// chart, in pieces of at most 100 points; every centre as its L or H with its pressure
    /// beside it.
    ImportSummary importAnalysis(const Bulletin &analysis);
    /// Redraw analysis here: the features of the analysis before the last Generate that
    /// replaced one, drawn at their positions on the globe onto the chart of the current view
    /// as an import draws them (one step of the history); those off the chart or behind the
    /// globe join the analysis all the same. ChartError when there is none.
    ImportSummary redrawAnalysisHere();
    bool canRedrawAnalysisHere() const;
    /// Plot observations: the station models of the reports for the time go onto the base
    /// map, under the features, so that Erase returns to the map with the observations and
    /// Generate starts a map without them; one step of the history. The station table is
    /// read from the map data folder the first time ("sfstns.tbl").
    ObservationPlot::Summary plotObservations(const std::vector<Observation> &reports,
                                              const QDateTime &time);
    /// The report of the plotted station nearest a chart point, within `reach` pixels of its
    /// circle, while the base map it was plotted on is the one under the chart.
    std::optional<Observation> stationAt(QPointF at, double reach = 8) const;
    /// First guess: the pressure, temperature or dew point of the stations plotted on the
    /// base map under the chart (those hidden to keep the chart legible included), analysed and
    /// drawn as isolines with their values (and for pressure the closed highs and lows as H and L),
    /// which join the analysis as one step of the history, "First guess". The isolines take the
    /// width of the panel's isopleths. A ChartError, and nothing drawn, when no stations are
    /// plotted or too few have the value.
    FirstGuess::Result firstGuess(const FirstGuessChoice &choice, const PanelLine &panel);
    /// Reads an analysis file (AnalysisFiles: a coded bulletin, or GeoJSON by its extension)
    /// and imports it; one that does not read draws nothing.
    ImportSummary importBulletin(const QString &path);
    /// The committed lines and centres: imported ones with the positions and strength they
    /// were read with, on the chart or not; drawn ones back on the globe through the inverse
    /// projection, positions off the globe left out. Valid at the time of the last import,
    /// or else now.
    Bulletin exportAnalysis() const;
    /// Writes exportAnalysis() to a file, in the format of its extension (AnalysisFiles).
    void saveAnalysis(const QString &path) const;
    /// Waits until the workspace bitmaps are written; a ChartError for one that could not
    /// be. Every operation returns as soon as the chart is drawn and leaves the files to be
    /// written behind it; Exit, and every read of a workspace bitmap, wait for them.
    void finishWrites();
    /// The message of a workspace bitmap that could not be written since the last look.
    std::optional<QString> takeWriteFailure();
    /// The work an edit leaves for the pause after it, for a caller to do now and then (the
    /// window: every few hundred milliseconds) while no segment is under way: the undo
    /// history's newest step is coded, and once the history has dropped enough old steps and
    /// rested since its last change, the memory they held is handed back to the system. Each
    /// takes a few milliseconds; nothing is lost by leaving them for later.
    void workInPause();
    /// The committed features, in chart pixels, in the order they are drawn.
    const std::vector<DrawnFeature> &features() const { return m_features; }

    /// A feature under a chart point: the nearest line, centre or label within `reach`
    /// pixels, and the point of it within `reach`, if any (a line's points, a centre's or
    /// label's one point).
    struct Hit {
        size_t feature = 0;
        std::optional<size_t> point;
    };
    std::optional<Hit> featureAt(QPointF at, double reach = 6) const;

    // Edits of committed features. Each keeps the segment first, redraws the chart from the
    // picture under the features and is one step of the history, named after it. A feature
    // or point that does not exist is refused with a ChartError and changes nothing.
    /// Moves one point ("move point").
    void movePoint(size_t feature, size_t point, QPointF to);
    /// Inserts a point into a line where it passes nearest ("insert point").
    void insertPoint(size_t feature, QPointF at);
    /// Removes one point; a line left with one point goes whole ("delete point").
    void deletePoint(size_t feature, size_t point);
    /// Removes a feature ("delete cold front").
    void deleteFeature(size_t feature);
    /// Reverses a line's points, so its symbols change side ("flip cold front").
    void flipFeature(size_t feature);
    /// Gives a line another tool ("change to warm front").
    void retypeFeature(size_t feature, LineTool tool);
    /// Moves a whole feature ("move cold front").
    void moveFeature(size_t feature, QPointF by);
    /// A label's text, or a centre's pressure (digits; empty for none) ("edit text").
    void setFeatureText(size_t feature, const QString &text);
    /// Draws the chart again: the picture under the features, then every feature in order.
    /// The chart of a kept analysis is the same picture as the presses drew.
    void redraw() { redrawChart(m_features); }
    /// Shows the chart with one feature drawn as given instead, for a drag under way; the
    /// analysis, the files and the history do not change.
    void showFeatureAs(size_t feature, const DrawnFeature &shown);
    /// What a feature is called in the names of steps ("cold front", "low centre", "text").
    static QString nameOf(const DrawnFeature &feature);

    /// The undo history of this run.
    const UndoHistory &history() const { return m_history; }
    /// Back to the bare base map, which also becomes the snapshot. Like Generate, Load and
    /// an import, it keeps a segment not yet kept first, as a step of the history.
    void erase();
    /// A new base map for a view (the map-maker texts' view); it becomes the chart, the
    /// snapshot and the base map. A size beyond the limits is refused before anything changes.
    void generate(const ViewValues &view, GenerationProgress &progress);
    /// Makes a GIF, JPEG, BMP or PNG picture the chart and the base map, by its extension;
    /// a file that cannot be loaded, or of any other extension, changes nothing. A chart that
    /// carries its view (ViewStamp) brings it: that view, returned, becomes the session's.
    /// One that carries none keeps the session's view, and nothing is returned.
    std::optional<ViewValues> load(const QString &path);
    /// Takes the chart as showing this view from now on, for a chart loaded without one:
    /// positions on the globe are placed and read with it. A view known from elsewhere (the
    /// user gave it) is written by a save as the chart's own; an assumed one is not. The chart
    /// is not redrawn.
    void setChartView(const ViewValues &view, bool known)
    {
        m_view = view;
        m_viewKnown = known;
    }
    /// Saves the chart as a picture of the file's type. A PNG or JPEG carries the view, unless
    /// the chart was loaded without one and placed with the view before: written, that
    /// guess would pass for the chart's own view.
    void save(const QString &path, ChartFiles::Sync sync = ChartFiles::Sync::ToDisk) const;
    /// The picture to put on the clipboard.
    QImage copyData() const { return m_chart.image(); }
    /// Keeps the chart, its features and the map-maker texts for the next run; writes
    /// nothing in a read-only workspace.
    void exit(const SavedFields &fields);

    ChartBitmap &chart() { return m_chart; }
    const ChartBitmap &chart() const { return m_chart; }
    const ViewValues &view() const { return m_view; }
    const Workspace &workspace() const { return m_workspace; }
    /// SegmentPoints and SegmentCount.
    const Segment &segment() const { return m_segment; }
    /// CurrentTool: the line tool chosen last.
    LineTool lineTool() const { return m_lineTool; }
    PressMode pressMode() const { return m_pressMode; }
    /// What presses draw now: the line tool's name, "Low centre", "High centre" or "Text".
    QString toolName() const;
    /// What Undo would take back ("cold front", "Generate"), or empty when nothing.
    QString undoName() const;
    /// What Redo would bring back, or empty when nothing.
    QString redoName() const { return m_history.redoName(); }

private:
    SavedFields readSavedFields();
    void readSnapshot(bool fieldsRead);
    void readAnalysis(StartUp &result);
    bool takeAnalysis(const AnalysisDocument &document);
    void writeAnalysis();
    void drawPress(int x, int y, const PanelLine &isopleth, PressPrompt &prompt);
    bool discardDrawing();
    void keepSegment();
    void writeWorkspaceBitmaps();
    void saveBaseMap(const QImage &image, int paletteBits);
    void readBaseMap();
    void holdBaseMap();
    ChartState stateWith(const QImage &image, int paletteBits) const;
    void loadSnapshot();
    void saveSnapshot();
    void saveLatest(ReplacingFile::Sync sync);
    std::optional<ChartState> snapshotState() const;
    ChartState chartState() const;
    void recordSince(const std::optional<ChartState> &before, const QString &name);
    QString drawingName() const;
    bool showsSnapshot() const;
    const StationTable &stationTable();
    void restore(const ChartState &state);
    std::optional<DrawnFeature> pendingFeature() const;
    ImportSummary placeFeatures(const std::vector<DrawnFeature> &features, const QString &name);
    void addFeatures(const std::vector<DrawnFeature> &features, const QString &name);
    bool hasPlottedStations() const;
    void placeLine(DrawnFeature &feature) const;
    void placeMark(DrawnFeature &feature) const;
    std::vector<DrawnFeature> featuresOnTheGlobe() const;
    DrawnFeature &featureFor(size_t feature);
    void editFeatures(const QString &name, const std::function<void()> &change);
    void redrawChart(const std::vector<DrawnFeature> &features);

    // The picture of "temp1.bmp" (or "temp0.bmp") as this session last wrote or read it.
    struct Snapshot {
        QImage image;
        int paletteBits;
    };
    const Snapshot &underlay();
    Snapshot withObservations(const Snapshot &picture, const std::vector<Observation> &reports,
                              const QDateTime &time, ObservationPlot::Summary &summary);

    const ChartSettings &m_settings;
    Workspace m_workspace;
    ChartBitmap m_chart;
    RasterCanvas m_canvas;
    ViewValues m_view;
    bool m_viewKnown = true; // whether m_view is the chart's own, not one assumed for it
    Segment m_segment;
    LineTool m_lineTool = LineTool::ColdFront;
    PressMode m_pressMode = PressMode::Line;
    std::optional<Snapshot> m_snapshot;
    std::optional<Snapshot> m_baseMap;
    std::optional<Snapshot> m_underlay; // what the features go on, when not the base map
    std::optional<StationTable> m_stationTable;
    // The stations plotted last, and the base map they are on.
    std::vector<PlottedStation> m_stations; ///< drawn on the base map or hidden among them
    QDateTime m_stationsTime;               ///< the time they were plotted for
    qint64 m_stationsMap = 0;
    PanelLine m_pendingPanel; // the isopleth style of the last press
    QString m_pendingText;    // the label of the last press with the Text tool
    UndoHistory m_history;
    quint64 m_changesSeen = 0;            // by the last call of workInPause
    qsizetype m_droppedBytes = 0;         // by the history since memory was last handed back
    std::vector<DrawnFeature> m_features; // the committed lines and centres
    std::vector<DrawnFeature> m_previousFeatures; // those before Generate, on the globe
    QString m_analysisValid;                      // the VALID time of the last imported analysis
    std::optional<int> m_analysisYear;            // and its year, when the analysis gave it
    // Writes the workspace bitmaps behind the editing; destroyed first, after its last write.
    std::unique_ptr<BitmapWriter> m_writer = std::make_unique<BitmapWriter>();
};

} // namespace brimlark
