// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "editing/ChartSession.h"
#include "base/ChartSize.h"

#include "analysis/ChartMarkers.h"
#include "analysis/FeatureRenderer.h"
#include "base/ChartError.h"
#include "base/DataFile.h"
#include "base/FileLimit.h"
#include "base/ReplacingFile.h"
#include "bulletin/AnalysisFiles.h"
#include "editing/FreedMemory.h"
#include "mapgen/MapGenerator.h"
#include "mapgen/Projection.h"
#include "workspace/ChartFiles.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <limits>

namespace brimlark
{

namespace
{

// The view a first start offers: the continental United States at a size that fits most
// screens.
const SavedFields FirstStartFields{{QStringLiteral("38"), QStringLiteral("-96"),
                                    QStringLiteral("800"), QStringLiteral("600"),
                                    QStringLiteral("1.2")}};

// A message as a sentence, ready for more to follow.
QString sentence(const QString &message)
{
    return message.endsWith(u'.') ? message : message + u'.';
}

// A start-up message names the workspace file it is about.
QString naming(const QString &message, const QString &path)
{
    return message.contains(path) ? message : message + QStringLiteral(": ") + path;
}

double distance(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

// How far a point lies from the straight piece between two points, and where along it the
// nearest point is (0 at a, 1 at b).
std::pair<double, double> distanceToPiece(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t =
        length2 == 0 ? 0 : std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0);
    return {distance(p, a + t * ab), t};
}

// The box a centre's letter or a label's text covers around its point, as placed.
QRectF markBox(const DrawnFeature &feature)
{
    const QPointF p = feature.points.front();
    if (feature.isCentre())
        return QRectF(p.x() - 13, p.y() - 18, 26, 36);
    return QRectF(p.x(), p.y(), 8.0 * feature.text.size(), 16);
}

double distanceToBox(QPointF p, const QRectF &box)
{
    const double dx = std::max({box.left() - p.x(), 0.0, p.x() - box.right()});
    const double dy = std::max({box.top() - p.y(), 0.0, p.y() - box.bottom()});
    return std::hypot(dx, dy);
}

// How far a feature lies from a chart point: from the nearest piece of a line, or from the
// box of a centre or label.
double distanceTo(const DrawnFeature &feature, QPointF at)
{
    double nearest = std::numeric_limits<double>::infinity();
    if (!feature.isLine())
        return feature.points.empty() ? nearest : distanceToBox(at, markBox(feature));
    for (const std::span<const QPointF> piece : FeatureRenderer::piecesOf(feature))
        for (size_t i = 0; i + 1 < piece.size(); ++i)
            nearest = std::min(nearest, distanceToPiece(at, piece[i], piece[i + 1]).first);
    return nearest;
}

} // namespace

ChartSession::ChartSession(const ChartSettings &settings, const Workspace &workspace)
    : m_settings(settings), m_workspace(workspace), m_canvas(m_chart),
      m_view(FirstStartFields.view())
{
}

SavedFields ChartSession::firstStartFields() { return FirstStartFields; }

// The texts and the chart are read one independently of the other: a chart left unread
// because "saveddat.txt" was missing would be overwritten with an empty one at the next exit.
ChartSession::StartUp ChartSession::startUp()
{
    StartUp result;
    m_workspace.removeStaleTemporaries();
    m_segment.clear();
    m_lineTool = LineTool::ColdFront;
    m_pressMode = PressMode::Line;
    result.newWorkspace = !QFileInfo::exists(m_workspace.savedDataPath())
                          && !QFileInfo::exists(m_workspace.snapshotPath());
    if (result.newWorkspace)
        return result;
    try {
        result.fields = readSavedFields();
    } catch (const ChartError &e) {
        result.errors << naming(e.message(), m_workspace.savedDataPath());
    }
    try {
        readSnapshot(result.fields.has_value());
    } catch (const ChartError &e) {
        result.errors << naming(e.message(), m_workspace.snapshotPath());
    }
    readAnalysis(result);
    return result;
}

SavedFields ChartSession::readSavedFields()
{
    const SavedFields fields = SavedData::read(m_workspace.savedDataPath());
    m_view = fields.view();
    return fields;
}

// A chart file that exists but cannot be read is moved aside before anything can write over
// it, and the message says where it went. A missing chart goes unmentioned after the
// texts already failed: that failure says what is wrong with the workspace.
void ChartSession::readSnapshot(bool fieldsRead)
{
    const QString path = m_workspace.snapshotPath();
    if (!fieldsRead && !QFileInfo::exists(path))
        return;
    try {
        loadSnapshot();
    } catch (const ChartError &e) {
        const QString keptAs = m_workspace.keepUnreadable(path);
        if (keptAs.isEmpty())
            throw;
        throw ChartError(sentence(e.message())
                         + QStringLiteral(" The chart file was kept as %1.").arg(keptAs));
    }
}

bool ChartSession::press(int x, int y, const PanelLine &isopleth, PressPrompt &prompt)
{
    if (!m_segment.append(x, y))
        return false;
    m_history.forgetRedo();
    drawPress(x, y, isopleth, prompt);
    return true;
}

void ChartSession::drawPress(int x, int y, const PanelLine &isopleth, PressPrompt &prompt)
{
    loadSnapshot();
    switch (m_pressMode) {
    case PressMode::LowCentre:
    case PressMode::HighCentre:
        ChartMarkers::placeLetter(m_canvas, m_settings,
                                  m_pressMode == PressMode::LowCentre ? u'L' : u'H', x, y);
        break;
    case PressMode::Text:
        m_pendingText = prompt.labelText();
        ChartMarkers::placeText(m_canvas, m_pendingText, x, y);
        break;
    case PressMode::Line:
        m_pendingPanel = m_lineTool == LineTool::Isopleth ? isopleth : PanelLine{};
        SegmentRenderer(m_canvas, m_settings).drawSegment(m_lineTool, m_segment.points(), isopleth);
        break;
    }
    // The latest chart is written again at the next press; waiting for the disk after each
    // one would cost more than the drawing. It is still replaced whole, never torn.
    saveLatest(ReplacingFile::Sync::Later);
}

void ChartSession::chooseLineTool(LineTool tool)
{
    commit();
    m_lineTool = tool;
    m_pressMode = PressMode::Line;
}

void ChartSession::chooseMarker(PressMode mode)
{
    commit();
    m_pressMode = mode;
}

// With nothing drawn since the snapshot there is nothing to keep, and rewriting the chart
// file would only cost a write and a wait for the disk.
void ChartSession::commit()
{
    if (m_segment.count() == 0 && showsSnapshot())
        return;
    const auto before = snapshotState();
    if (const auto feature = pendingFeature())
        m_features.push_back(*feature);
    saveSnapshot();
    recordSince(before, drawingName());
    m_segment.clear();
}

// Undo first takes back what is drawn but not kept; when nothing is, it steps back in the
// history at once, so that Undo right after New segment removes that segment.
void ChartSession::undo()
{
    if (discardDrawing())
        return;
    auto state = snapshotState();
    if (state && m_history.undo(*state))
        restore(*state);
}

void ChartSession::cancelSegment()
{
    if (m_segment.count() > 0)
        discardDrawing();
}

// Back to the snapshot; true when the chart differed from it. What was thrown away is a step
// forward, for Redo to bring back.
bool ChartSession::discardDrawing()
{
    if (m_segment.count() == 0 && !m_snapshot)
        return false; // nothing drawn, and no snapshot yet to compare with
    const ChartState drawn = chartState();
    loadSnapshot();
    m_segment.clear();
    if (drawn.paletteBits == m_chart.paletteBits() && drawn.image == m_chart.image())
        return false;
    m_history.recordUndone(drawn, chartState(), drawingName());
    return true;
}

void ChartSession::redo()
{
    auto state = snapshotState();
    if (state && m_history.redo(*state))
        restore(*state);
}

// Generate, Load, Erase and an import replace the chart: a segment not yet kept is kept
// first, as choosing another tool does, so that the history holds it.
void ChartSession::keepSegment()
{
    if (m_segment.count() > 0)
        commit();
}

void ChartSession::erase()
{
    keepSegment();
    const auto before = snapshotState();
    if (!m_baseMap)
        readBaseMap();
    m_chart.assign(m_baseMap->image, m_baseMap->paletteBits);
    m_features.clear();
    m_underlay.reset();
    saveSnapshot();
    recordSince(before, QStringLiteral("Erase"));
    m_segment.clear();
}

void ChartSession::generate(const ViewValues &view, GenerationProgress &progress)
{
    ChartSize::check(view.chartWidth, view.chartHeight);
    keepSegment();
    holdBaseMap();
    const auto before = snapshotState();
    if (!m_features.empty())
        m_previousFeatures = featuresOnTheGlobe();
    m_view = view;
    m_viewKnown = true;
    MapGenerator(m_chart, m_canvas, m_settings, m_workspace, progress).generateMap(m_view);
    m_features.clear();
    m_underlay.reset();
    writeWorkspaceBitmaps();
    recordSince(before, QStringLiteral("Generate"));
    m_segment.clear();
}

// The picture is read onto a copy of the chart first: a file that cannot be loaded leaves
// the chart, the segment and the workspace files as they were.
std::optional<ViewValues> ChartSession::load(const QString &path)
{
    ChartBitmap picture;
    picture.assign(m_chart.image(), m_chart.paletteBits());
    RasterCanvas pictureCanvas(picture);
    const std::optional<ViewValues> view = ChartFiles::load(picture, pictureCanvas, path);
    keepSegment();
    holdBaseMap();
    const auto before = snapshotState();
    m_chart.assign(picture.image(), picture.paletteBits());
    if (view)
        m_view = *view;
    m_viewKnown = view.has_value();
    m_features.clear();
    m_underlay.reset();
    writeWorkspaceBitmaps();
    recordSince(before, QStringLiteral("Load"));
    m_segment.clear();
    return view;
}

void ChartSession::save(const QString &path, ChartFiles::Sync sync) const
{
    const auto gifColours = m_settings.isOn(ChartSettings::GifExactColours)
                                ? GifCodec::Colours::ExactWhenFew
                                : GifCodec::Colours::Reduced;
    ChartFiles::save(m_chart, path, m_settings.text(ChartSettings::JPEGComp), sync, gifColours,
                     m_viewKnown ? std::optional(m_view) : std::nullopt);
}

void ChartSession::exit(const SavedFields &fields)
{
    if (!m_workspace.writesFiles())
        return;
    saveSnapshot();
    finishWrites(); // what Exit leaves is on disk, or it says why not and writes no more
    writeAnalysis();
    SavedData::write(m_workspace.savedDataPath(), fields);
}

void ChartSession::finishWrites() { m_writer->finish(); }

std::optional<QString> ChartSession::takeWriteFailure() { return m_writer->takeFailure(); }

// The history's newest step is coded, so that an edit returns as soon as the chart is
// drawn. Without the hand-back the C library would keep what the history's dropped steps
// held for the process's next allocations, as much again as the history at its bound. But
// pages handed back cost the next edits a page fault each to take them again (a Generate,
// about as long as drawing the map), so memory goes back only once the history has dropped a
// tenth of its bound, and has rested a call since its last change.
void ChartSession::workInPause()
{
    if (m_segment.count() > 0)
        return;
    m_history.code();
    m_droppedBytes += m_history.takeDroppedBytes();
    const quint64 changes = m_history.changes();
    const bool resting = changes == m_changesSeen;
    m_changesSeen = changes;
    if (!resting || m_droppedBytes < UndoHistory::MostBytes / 10)
        return;
    m_droppedBytes = 0;
    FreedMemory::giveBack();
}

// The features are written beside the chart, with the view they are drawn for, so that the
// next run can edit them. Features drawn on a chart whose own features were not known are
// written too: the next run finds that they do not give that chart and keeps it as drawn.
void ChartSession::writeAnalysis()
{
    if (!m_workspace.keepsBitmapFiles())
        return;
    // The chart written holds the segment not yet kept, so the features hold it too.
    const AnalysisDocument document{m_view, m_analysisValid, m_analysisYear, chartState().features};
    ReplacingFile::write(m_workspace.analysisPath(), AnalysisDocument::write(document),
                         m_workspace.sync());
}

// The features of the last run, when its file gives the chart it kept. Otherwise the chart
// is kept as drawn, as the picture that new features go on, and the start says why.
void ChartSession::readAnalysis(StartUp &result)
{
    m_features.clear();
    m_underlay = m_snapshot;
    const QString path = m_workspace.analysisPath();
    if (!m_snapshot)
        return;
    if (!QFileInfo::exists(path)) {
        result.status = QStringLiteral("No analysis.geojson: the drawing stays as pixels");
        return;
    }
    try {
        const DataFile::Contents contents = DataFile::readAll(path, FileLimit::Analysis);
        if (contents.error != 0)
            throw ChartError(QStringLiteral("Cannot open file %1: %2").arg(path, contents.reason));
        if (!takeAnalysis(AnalysisDocument::read(contents.bytes)))
            throw ChartError(QStringLiteral("The analysis file does not give the chart kept "
                                            "with it; the chart stays as drawn"));
    } catch (const ChartError &e) {
        result.errors << naming(e.message(), path);
    }
}

// Takes the document's features when, drawn on the base map, they give the kept chart.
bool ChartSession::takeAnalysis(const AnalysisDocument &document)
{
    if (!QFileInfo::exists(m_workspace.baseMapPath()))
        return false;
    const Snapshot kept = *m_snapshot;
    m_underlay.reset();
    try {
        redrawChart(document.features);
    } catch (const ChartError &) {
        m_underlay = kept; // no base map to draw on: the chart stays as drawn
        throw;
    }
    const bool same = m_chart.paletteBits() == kept.paletteBits && m_chart.image() == kept.image;
    m_chart.assign(kept.image, kept.paletteBits);
    if (!same) {
        m_underlay = kept;
        return false;
    }
    m_features = document.features;
    m_view = document.view;
    m_analysisValid = document.valid;
    m_analysisYear = document.year;
    return true;
}

// A new chart is the base map, the snapshot and the latest chart at once.
void ChartSession::writeWorkspaceBitmaps()
{
    saveBaseMap(m_chart.image(), m_chart.paletteBits());
    saveSnapshot();
    saveLatest(m_workspace.sync());
}

// A scratch workspace keeps the base map only in memory.
void ChartSession::saveBaseMap(const QImage &image, int paletteBits)
{
    m_baseMap.reset(); // a failed write may have left either picture in the file
    if (m_workspace.keepsBitmapFiles())
        m_writer->write(m_workspace.baseMapPath(), image, paletteBits, m_workspace.sync());
    m_baseMap = Snapshot{image, paletteBits};
}

// "temp0.bmp" is read once; the session keeps the picture from then on.
void ChartSession::readBaseMap()
{
    finishWrites();
    ChartBitmap baseMap;
    ChartFiles::loadBitmap(baseMap, m_workspace.baseMapPath());
    m_baseMap = Snapshot{baseMap.image(), baseMap.paletteBits()};
}

// Before Generate or Load replaces the base map, the one they replace is read, so that
// undoing them brings it back for Erase. One that cannot be read is not brought back.
void ChartSession::holdBaseMap()
{
    if (m_baseMap || !QFileInfo::exists(m_workspace.baseMapPath()))
        return;
    try {
        readBaseMap();
    } catch (const ChartError &) {
    }
}

void ChartSession::saveLatest(ReplacingFile::Sync sync)
{
    if (m_workspace.keepsBitmapFiles())
        m_writer->write(m_workspace.latestPath(), m_chart.image(), m_chart.paletteBits(), sync);
}

// The snapshot is read back from "temp1.bmp" only when this session has not written or read
// it yet: the copy kept since then is the very picture the file holds, and reading several
// megabytes on every press would cost more than drawing the segment.
void ChartSession::loadSnapshot()
{
    if (m_snapshot) {
        m_chart.assign(m_snapshot->image, m_snapshot->paletteBits);
        return;
    }
    finishWrites();
    ChartFiles::loadBitmap(m_chart, m_workspace.snapshotPath());
    m_snapshot = Snapshot{m_chart.image(), m_chart.paletteBits()};
}

void ChartSession::saveSnapshot()
{
    m_snapshot.reset(); // a failed write may have left either picture in the file
    if (m_workspace.keepsBitmapFiles())
        m_writer->write(m_workspace.snapshotPath(), m_chart.image(), m_chart.paletteBits(),
                        m_workspace.sync());
    m_snapshot = Snapshot{m_chart.image(), m_chart.paletteBits()};
}

std::optional<ChartState> ChartSession::snapshotState() const
{
    if (!m_snapshot)
        return std::nullopt;
    return stateWith(m_snapshot->image, m_snapshot->paletteBits);
}

// The picture with this session's view, analysis and base map.
ChartState ChartSession::stateWith(const QImage &image, int paletteBits) const
{
    return ChartState{.image = image,
                      .paletteBits = paletteBits,
                      .view = m_view,
                      .viewKnown = m_viewKnown,
                      .features = m_features,
                      .baseMap = m_baseMap ? m_baseMap->image : QImage(),
                      .baseMapBits = m_baseMap ? m_baseMap->paletteBits : 0,
                      .underlay = m_underlay ? m_underlay->image : QImage(),
                      .underlayBits = m_underlay ? m_underlay->paletteBits : 0};
}

// The chart as it stands, the current segment counted as committed.
ChartState ChartSession::chartState() const
{
    ChartState state = stateWith(m_chart.image(), m_chart.paletteBits());
    if (const auto feature = pendingFeature())
        state.features.push_back(*feature);
    return state;
}

// What committing the current segment adds to the analysis: a line of two points or more,
// or a centre where the last press put it; text labels are not part of it.
std::optional<DrawnFeature> ChartSession::pendingFeature() const
{
    const auto points = m_segment.points();
    if (points.empty())
        return std::nullopt;
    switch (m_pressMode) {
    case PressMode::Line:
        if (points.size() < 2)
            return std::nullopt;
        return DrawnFeature{.kind = DrawnFeature::Kind::Line,
                            .tool = m_lineTool,
                            .points = {points.begin(), points.end()},
                            .panel = m_pendingPanel};
    case PressMode::LowCentre:
    case PressMode::HighCentre:
        return DrawnFeature{.kind = m_pressMode == PressMode::LowCentre ? DrawnFeature::Kind::Low
                                                                        : DrawnFeature::Kind::High,
                            .points = {points.back()}};
    case PressMode::Text:
        if (m_pendingText.isEmpty())
            break; // an empty label draws nothing
        return DrawnFeature{
            .kind = DrawnFeature::Kind::Text, .points = {points.back()}, .text = m_pendingText};
    }
    return std::nullopt;
}

// A new committed state: the change from the one before joins the history, and the next
// Undo again first throws away the current segment.
void ChartSession::recordSince(const std::optional<ChartState> &before, const QString &name)
{
    if (before)
        m_history.recordUncoded(*before, chartState(), name); // coded in the pause after it
}

QString ChartSession::toolName() const
{
    switch (m_pressMode) {
    case PressMode::LowCentre:
        return QStringLiteral("Low centre");
    case PressMode::HighCentre:
        return QStringLiteral("High centre");
    case PressMode::Text:
        return QStringLiteral("Text");
    case PressMode::Line:
        break;
    }
    return QLatin1StringView(LineToolNames::of(m_lineTool).statusName);
}

// The name of what the presses since the snapshot drew, as Undo and Redo call it.
QString ChartSession::drawingName() const { return toolName().toLower(); }

// The drawing not yet kept goes first when the presses drew something: exactly when keeping
// it would add a feature, which is known without comparing the chart with the snapshot on
// every press. The history's steps come after it.
QString ChartSession::undoName() const
{
    return pendingFeature() ? drawingName() : m_history.undoName();
}

// Whether the chart is the snapshot as last written or read (unknown counts as no).
bool ChartSession::showsSnapshot() const
{
    return m_snapshot && m_chart.paletteBits() == m_snapshot->paletteBits
           && m_chart.image() == m_snapshot->image;
}

// A state from the history becomes the chart and the snapshot, and its base map the one
// Erase returns to. The base map is written last: should the snapshot's write fail, the
// session holds no snapshot and takes no further step through the history, which has
// already moved; should the base map's, the chart and the history still agree.
void ChartSession::restore(const ChartState &state)
{
    m_chart.assign(state.image, state.paletteBits);
    m_view = state.view;
    m_viewKnown = state.viewKnown;
    m_features = state.features;
    if (state.underlay.isNull())
        m_underlay.reset();
    else
        m_underlay = Snapshot{state.underlay, state.underlayBits};
    saveSnapshot();
    m_segment.clear();
    if (!state.baseMap.isNull()
        && (!m_baseMap || m_baseMap->image.cacheKey() != state.baseMap.cacheKey()))
        saveBaseMap(state.baseMap, state.baseMapBits);
}

ChartSession::ImportSummary ChartSession::importBulletin(const QString &path)
{
    return importAnalysis(AnalysisFiles::read(path));
}

ChartSession::ImportSummary ChartSession::importAnalysis(const Bulletin &analysis)
{
    std::vector<DrawnFeature> features;
    for (const Bulletin::Line &line : analysis.lines)
        features.push_back({.kind = DrawnFeature::Kind::Line,
                            .tool = line.tool,
                            .positions = line.points,
                            .strength = line.strength,
                            .contour = line.contour});
    for (const Bulletin::Centre &centre : analysis.centres)
        features.push_back(
            {.kind = centre.high ? DrawnFeature::Kind::High : DrawnFeature::Kind::Low,
             .pressure = centre.pressure,
             .positions = {centre.position}});
    const ImportSummary summary = placeFeatures(features, QStringLiteral("import"));
    m_analysisValid = analysis.valid;
    m_analysisYear = analysis.year;
    return summary;
}

bool ChartSession::canRedrawAnalysisHere() const { return !m_previousFeatures.empty(); }

// The features of the analysis before the last Generate, at their positions on the globe.
ChartSession::ImportSummary ChartSession::redrawAnalysisHere()
{
    if (m_previousFeatures.empty())
        throw ChartError(QStringLiteral("There is no analysis of an earlier map to redraw"));
    return placeFeatures(m_previousFeatures, QStringLiteral("Redraw analysis here"));
}

// The features with positions on the globe go on the committed chart of the current view,
// as one step of the history.
ChartSession::ImportSummary ChartSession::placeFeatures(const std::vector<DrawnFeature> &features,
                                                        const QString &name)
{
    ImportSummary summary;
    std::vector<DrawnFeature> placed;
    for (DrawnFeature feature : features) {
        feature.points.clear();
        feature.pieceStarts.clear();
        if (feature.isLine())
            placeLine(feature);
        else
            placeMark(feature);
        ++(feature.points.empty() ? summary.offChart : summary.drawn);
        placed.push_back(std::move(feature));
    }
    addFeatures(placed, name);
    return summary;
}

// The features join the analysis, drawn on the committed chart, as one step of the history.
void ChartSession::addFeatures(const std::vector<DrawnFeature> &features, const QString &name)
{
    keepSegment();
    const auto before = snapshotState();
    loadSnapshot(); // the analysis goes on the committed chart
    FeatureRenderer renderer(m_canvas, m_settings);
    for (const DrawnFeature &feature : features) {
        renderer.draw(feature);
        m_features.push_back(feature);
    }
    saveSnapshot();
    recordSince(before, name);
}

// A line goes on the chart in its pieces that lie on the chart, each drawn as the segments
// a user could have drawn: at most 100 points, the next going on from the last point. It
// joins the analysis whole, with all its positions, even when no piece lies on the chart.
void ChartSession::placeLine(DrawnFeature &feature) const
{
    const QRect chart(0, 0, m_chart.width(), m_chart.height());
    std::vector<QPointF> piece;
    const auto endPiece = [&] {
        if (piece.size() >= 2) {
            if (!feature.points.empty())
                feature.pieceStarts.push_back(feature.points.size());
            feature.points.insert(feature.points.end(), piece.begin(), piece.end());
        }
        piece.clear();
    };
    for (const GeoPoint &position : feature.positions) {
        const QPoint p = Projection::projectToChart(m_view, position.latitude, position.longitude);
        if (chart.contains(p))
            piece.emplace_back(p);
        else
            endPiece();
    }
    endPiece();
}

// A centre or label at its position, when that lies on the chart.
void ChartSession::placeMark(DrawnFeature &feature) const
{
    const GeoPoint &position = feature.positions.front();
    const QPoint p = Projection::projectToChart(m_view, position.latitude, position.longitude);
    if (QRect(0, 0, m_chart.width(), m_chart.height()).contains(p))
        feature.points.emplace_back(p);
}

// The features as they stand, each with its positions on the globe: those it was read with,
// or its points taken back through the view.
std::vector<DrawnFeature> ChartSession::featuresOnTheGlobe() const
{
    std::vector<DrawnFeature> features;
    for (DrawnFeature feature : m_features) {
        if (feature.positions.empty())
            feature.positions = AnalysisDocument::positionsOf(feature, m_view);
        if (feature.positions.size() >= (feature.isLine() ? 2u : 1u))
            features.push_back(std::move(feature));
    }
    return features;
}

// Imported features go out with the positions and strength they came in with, those off the
// chart included; drawn ones back through the inverse projection, to the pixel.
Bulletin ChartSession::exportAnalysis() const
{
    Bulletin analysis;
    if (m_analysisValid.isEmpty()) {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        analysis.valid = now.toString(QStringLiteral("MMddhh'Z'"));
        analysis.year = now.date().year();
    } else {
        analysis.valid = m_analysisValid;
        analysis.year = m_analysisYear;
    }
    for (const DrawnFeature &feature : featuresOnTheGlobe()) {
        if (feature.isLine())
            analysis.lines.push_back(
                {feature.tool, feature.strength, feature.positions, feature.contour});
        else if (feature.isCentre())
            analysis.centres.push_back({feature.kind == DrawnFeature::Kind::High, feature.pressure,
                                        feature.positions.front()});
    }
    return analysis;
}

void ChartSession::saveAnalysis(const QString &path) const
{
    AnalysisFiles::write(path, exportAnalysis());
}

std::optional<ChartSession::Hit> ChartSession::featureAt(QPointF at, double reach) const
{
    std::optional<Hit> hit;
    double nearest = reach;
    for (size_t i = 0; i < m_features.size(); ++i) {
        const double d = distanceTo(m_features[i], at);
        if (d <= nearest) { // the later of two as near is the one drawn on top
            nearest = d;
            hit = Hit{i, std::nullopt};
        }
    }
    if (!hit)
        return hit;
    const std::vector<QPointF> &points = m_features[hit->feature].points;
    double nearestPoint = reach;
    for (size_t i = 0; i < points.size(); ++i) {
        if (const double d = distance(points[i], at); d <= nearestPoint) {
            nearestPoint = d;
            hit->point = i;
        }
    }
    return hit;
}

QString ChartSession::nameOf(const DrawnFeature &feature)
{
    switch (feature.kind) {
    case DrawnFeature::Kind::Low:
        return QStringLiteral("low centre");
    case DrawnFeature::Kind::High:
        return QStringLiteral("high centre");
    case DrawnFeature::Kind::Text:
        return QStringLiteral("text");
    case DrawnFeature::Kind::Line:
        break;
    }
    return QString::fromLatin1(LineToolNames::of(feature.tool).statusName).toLower();
}

// A segment not yet kept is kept first; it joins the analysis after every feature, so the
// numbers of those stay as they were.
DrawnFeature &ChartSession::featureFor(size_t feature)
{
    keepSegment();
    if (feature >= m_features.size())
        throw ChartError(QStringLiteral("There is no feature %1 to edit").arg(feature + 1));
    return m_features[feature];
}

// A feature edited in chart pixels is a drawn one from then on: an export takes its positions
// back through the view, as it does for anything drawn with the mouse.
void ChartSession::movePoint(size_t feature, size_t point, QPointF to)
{
    DrawnFeature &f = featureFor(feature);
    if (point >= f.points.size())
        throw ChartError(QStringLiteral("The %1 has no point %2").arg(nameOf(f)).arg(point + 1));
    editFeatures(QStringLiteral("move point"), [&] {
        f.points[point] = to;
        f.positions.clear();
    });
}

void ChartSession::insertPoint(size_t feature, QPointF at)
{
    DrawnFeature &f = featureFor(feature);
    // A line of more than 100 points is drawn in joined segments, as an imported one is.
    if (!f.isLine())
        throw ChartError(QStringLiteral("No point can be added to the %1").arg(nameOf(f)));
    size_t after = 0;
    double nearest = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i + 1 < f.points.size(); ++i) {
        if (std::find(f.pieceStarts.begin(), f.pieceStarts.end(), i + 1) != f.pieceStarts.end())
            continue; // no line runs between two pieces
        if (const double d = distanceToPiece(at, f.points[i], f.points[i + 1]).first; d < nearest) {
            nearest = d;
            after = i;
        }
    }
    editFeatures(QStringLiteral("insert point"), [&] {
        f.points.insert(f.points.begin() + qsizetype(after + 1), at);
        for (size_t &start : f.pieceStarts)
            start += start > after ? 1 : 0;
        f.positions.clear();
    });
}

void ChartSession::deletePoint(size_t feature, size_t point)
{
    DrawnFeature &f = featureFor(feature);
    if (point >= f.points.size())
        throw ChartError(QStringLiteral("The %1 has no point %2").arg(nameOf(f)).arg(point + 1));
    if (!f.isLine() || f.points.size() <= 2) {
        deleteFeature(feature);
        return;
    }
    editFeatures(QStringLiteral("delete point"), [&] {
        f.points.erase(f.points.begin() + qsizetype(point));
        for (size_t &start : f.pieceStarts)
            start -= start > point ? 1 : 0;
        std::erase_if(f.pieceStarts,
                      [&](size_t start) { return start == 0 || start >= f.points.size(); });
        f.positions.clear();
    });
}

void ChartSession::deleteFeature(size_t feature)
{
    const QString name = QStringLiteral("delete ") + nameOf(featureFor(feature));
    editFeatures(name, [&] { m_features.erase(m_features.begin() + qsizetype(feature)); });
}

// Reversed, each piece is drawn from its other end, so a front's symbols go to its other
// side. Positions off the chart reverse with it.
void ChartSession::flipFeature(size_t feature)
{
    DrawnFeature &f = featureFor(feature);
    if (!f.isLine())
        throw ChartError(QStringLiteral("Only a line can be flipped, not a %1").arg(nameOf(f)));
    editFeatures(QStringLiteral("flip ") + nameOf(f), [&] {
        std::reverse(f.points.begin(), f.points.end());
        for (size_t &start : f.pieceStarts)
            start = f.points.size() - start;
        std::reverse(f.pieceStarts.begin(), f.pieceStarts.end());
        std::reverse(f.positions.begin(), f.positions.end());
    });
}

void ChartSession::retypeFeature(size_t feature, LineTool tool)
{
    DrawnFeature &f = featureFor(feature);
    if (!f.isLine() || f.tool == tool)
        return;
    DrawnFeature retyped = f;
    retyped.tool = tool;
    editFeatures(QStringLiteral("change to ") + nameOf(retyped), [&] {
        f.tool = tool;
        if (tool != LineTool::Isopleth) {
            f.panel = {};      // fronts take their pens from the preferences
            f.contour.reset(); // and a front is no isobar
        }
    });
}

void ChartSession::moveFeature(size_t feature, QPointF by)
{
    DrawnFeature &f = featureFor(feature);
    editFeatures(QStringLiteral("move ") + nameOf(f), [&] {
        for (QPointF &p : f.points)
            p += by;
        f.positions.clear();
    });
}

void ChartSession::setFeatureText(size_t feature, const QString &text)
{
    DrawnFeature &f = featureFor(feature);
    if (f.isLine())
        throw ChartError(QStringLiteral("A %1 has no text").arg(nameOf(f)));
    if (!f.isCentre() && text.isEmpty()) {
        deleteFeature(feature); // an empty label is no label
        return;
    }
    std::optional<int> pressure;
    if (f.isCentre() && !text.trimmed().isEmpty()) {
        bool ok = false;
        pressure = text.trimmed().toInt(&ok);
        if (!ok)
            throw ChartError(
                QStringLiteral("A centre's pressure is a whole number of hPa, not \"%1\"")
                    .arg(text));
    }
    editFeatures(QStringLiteral("edit text"), [&] {
        if (f.isCentre())
            f.pressure = pressure;
        else
            f.text = text;
    });
}

void ChartSession::showFeatureAs(size_t feature, const DrawnFeature &shown)
{
    featureFor(feature);
    std::vector<DrawnFeature> features = m_features;
    features[feature] = shown;
    redrawChart(features);
}

// One edit of the analysis: the chart is drawn again from the picture under the features,
// written, and the change is one step of the history.
void ChartSession::editFeatures(const QString &name, const std::function<void()> &change)
{
    const auto before = snapshotState();
    const std::vector<DrawnFeature> kept = m_features;
    try {
        change();
        redrawChart(m_features);
        saveSnapshot();
    } catch (const ChartError &) {
        m_features = kept;
        if (m_snapshot)
            loadSnapshot(); // the chart as it was, unless a failed write lost it
        throw;
    }
    recordSince(before, name);
}

void ChartSession::redrawChart(const std::vector<DrawnFeature> &features)
{
    const Snapshot &under = underlay();
    m_chart.assign(under.image, under.paletteBits);
    FeatureRenderer renderer(m_canvas, m_settings);
    for (const DrawnFeature &feature : features)
        renderer.draw(feature);
}

// The features go on the base map, unless the run started on a chart whose features are
// not known.
const ChartSession::Snapshot &ChartSession::underlay()
{
    if (m_underlay)
        return *m_underlay;
    if (!m_baseMap)
        readBaseMap();
    return *m_baseMap;
}

ObservationPlot::Summary ChartSession::plotObservations(const std::vector<Observation> &reports,
                                                        const QDateTime &time)
{
    keepSegment();
    if (!m_baseMap)
        readBaseMap(); // before the step is taken, so that Undo brings this base map back
    const auto before = snapshotState();
    ObservationPlot::Summary summary;
    const Snapshot baseMap = withObservations(*m_baseMap, reports, time, summary);
    if (m_underlay) {
        ObservationPlot::Summary same;
        m_underlay = withObservations(*m_underlay, reports, time, same);
    }
    saveBaseMap(baseMap.image, baseMap.paletteBits);
    m_stations = summary.onChart;
    m_stationsTime = time;
    m_stationsMap = baseMap.image.cacheKey();
    redrawChart(m_features);
    saveSnapshot();
    recordSince(before, QStringLiteral("Plot observations"));
    return summary;
}

// The picture with the station models drawn on it, on a copy.
ChartSession::Snapshot ChartSession::withObservations(const Snapshot &picture,
                                                      const std::vector<Observation> &reports,
                                                      const QDateTime &time,
                                                      ObservationPlot::Summary &summary)
{
    ChartBitmap bitmap;
    bitmap.assign(picture.image, picture.paletteBits);
    RasterCanvas canvas(bitmap);
    // Observations that carry their positions need no table: it is read only for reports.
    static const StationTable noStations;
    const bool placed = std::all_of(reports.begin(), reports.end(),
                                    [](const Observation &o) { return o.position.has_value(); });
    const StationTable &stations = placed ? noStations : stationTable();
    summary = ObservationPlot(canvas, m_settings, m_view, stations).plot(reports, time);
    return Snapshot{bitmap.image(), bitmap.paletteBits()};
}

// The stations plotted last stand on the base map under the chart until another base map
// (a Generate, a Load, an Undo of the plot) replaces it.
bool ChartSession::hasPlottedStations() const
{
    return m_baseMap && m_baseMap->image.cacheKey() == m_stationsMap;
}

std::optional<Observation> ChartSession::stationAt(QPointF at, double reach) const
{
    if (!hasPlottedStations())
        return std::nullopt;
    std::optional<Observation> nearest;
    for (const PlottedStation &station : m_stations) {
        if (!station.drawn)
            continue;
        const double d = distance(station.at, at);
        if (d <= reach) {
            reach = d;
            nearest = station.report;
        }
    }
    return nearest;
}

FirstGuess::Result ChartSession::firstGuess(const FirstGuessChoice &choice, const PanelLine &panel)
{
    if (!hasPlottedStations())
        throw ChartError(QStringLiteral("There are no plotted observations on this chart: plot "
                                        "observations before the first guess"));
    const FirstGuess analysis(m_view, choice, m_settings.text(ChartSettings::ObservationUnits));
    const FirstGuess::Result result = analysis.analyse(m_stations, m_stationsTime, panel);
    addFeatures(result.features, QStringLiteral("First guess"));
    return result;
}

const StationTable &ChartSession::stationTable()
{
    if (!m_stationTable)
        m_stationTable = StationTable::read(m_workspace.mapDataPath(QStringLiteral("sfstns.tbl")));
    return *m_stationTable;
}

} // namespace brimlark
