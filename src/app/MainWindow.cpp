// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/ChartView.h"
#include "app/Dialogs.h"
#include "app/ErrorBox.h"
#include "app/PreferencesWindow.h"
#include "app/StatusProgress.h"
#include "base/ChartError.h"
#include "base/LineTool.h"
#include "mapgen/Projection.h"
#include "observation/ObservationFiles.h"
#include "observation/ObservationSelection.h"
#include "workspace/WorldFiles.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QShortcut>
#include <QTimeZone>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <climits>
#include <cmath>

namespace brimlark
{

namespace
{

constexpr int DesignWidth = 696;
constexpr int DesignHeight = 517;
constexpr int PanelHeight = 179;
constexpr int MapMakerMargin = 10;
constexpr int StatusWidth = 360;

// The file dialogs' filter entries. Each shows the caption before its last parentheses,
// which hold the patterns the dialog really uses.
const QStringList OpenFilters = {QStringLiteral("All charts (*.gif *.jpg *.jpeg *.bmp *.png) "
                                                "(*.gif *.jpg *.jpeg *.bmp *.png)"),
                                 QStringLiteral("CompuServe GIF (*.gif) (*.gif)"),
                                 QStringLiteral("JPEG (*.jpg,*.jpeg) (*.jpg *.jpeg)"),
                                 QStringLiteral("Windows bitmap (*.bmp) (*.bmp)"),
                                 QStringLiteral("PNG (*.png) (*.png)"),
                                 QStringLiteral("All files (*)")};
const QStringList SaveFilters = {
    QStringLiteral("CompuServe GIF (*.gif) (*.gif)"), QStringLiteral("JPEG (*.jpg) (*.jpg)"),
    QStringLiteral("Windows bitmap (*.bmp) (*.bmp)"), QStringLiteral("PNG (*.png) (*.png)")};

// A station's report as the status line gives it: "KDEN 12:00Z 23.9/1.7 °C 260° 8 kt
// 1011.1 hPa clear".
QString decodedReport(const Observation &o)
{
    static const char *const skies[] = {"",       "clear",    "few",     "scattered",
                                        "broken", "overcast", "obscured"};
    QStringList parts{o.station, o.time.toString(QStringLiteral("HH:mm'Z'"))};
    const auto number = [](const std::optional<double> &v) {
        return v ? QString::number(*v, 'f', 1) : QStringLiteral("-");
    };
    if (o.temperature || o.dewPoint)
        parts << number(o.temperature) + u'/' + number(o.dewPoint) + QStringLiteral(" \u00B0C");
    if (o.windSpeed)
        parts << (o.windDirection ? QStringLiteral("%1\u00B0 ").arg(*o.windDirection)
                                  : QStringLiteral("variable "))
                     + QStringLiteral("%1 kt").arg(qRound(*o.windSpeed));
    if (o.seaLevelPressure)
        parts << number(o.seaLevelPressure) + QStringLiteral(" hPa");
    parts << QLatin1String(skies[int(o.sky)]) << o.weather;
    parts.removeAll(QString());
    return parts.join(u' ');
}

QKeySequence undoKey() { return QKeySequence(Qt::CTRL | Qt::Key_Z); }

// The Text tool's question, asked over the snapshot the segment is drawn on.
class LabelPrompt : public PressPrompt
{
public:
    LabelPrompt(QWidget *window, ChartView *chartView) : m_window(window), m_chartView(chartView) {}
    QString labelText() override
    {
        m_chartView->refresh();
        return Dialogs::current().inputText(m_window, QStringLiteral("Input text"),
                                            QStringLiteral("Input text to appear at click"),
                                            QString());
    }

private:
    QWidget *m_window;
    ChartView *m_chartView;
};

const QStringList BulletinFilters = {QStringLiteral("Coded surface bulletin (*.txt) (*.txt)"),
                                     QStringLiteral("All files (*)")};
const QStringList ObservationFilters = {
    QStringLiteral("METAR reports (*.txt) (*.txt)"),
    QStringLiteral("Table of decoded observations (*.csv) (*.csv)"),
    QStringLiteral("All files (*)")};
const QStringList AnalysisFilters = {
    QStringLiteral("Coded surface bulletin (*.txt, *.bul) (*.txt *.bul)"),
    QStringLiteral("GeoJSON (*.geojson, *.json) (*.geojson *.json)")};
const QStringList ImportAnalysisFilters = {
    QStringLiteral("GeoJSON (*.geojson, *.json) (*.geojson *.json)"),
    QStringLiteral("Coded surface bulletin (*.txt, *.bul) (*.txt *.bul)"),
    QStringLiteral("All files (*)")};

} // namespace

MainWindow::MainWindow(ChartSettings &settings, const Workspace &workspace, QWidget *parent)
    : QMainWindow(parent), m_session(settings, workspace), m_selection(m_session)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Brimlark v2.0a"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(DesignWidth, DesignHeight);
    buildMenus();
    buildPanel();
    buildShortcuts();
    setFieldTexts(ChartSession::firstStartFields());
    readWorkspace();
    // The workspace bitmaps are written behind the editing: one that fails after its edit
    // has returned is reported here. Between edits, the session does what its edits left for
    // the pause.
    auto *writes = new QTimer(this);
    connect(writes, &QTimer::timeout, this, &MainWindow::reportWriteFailure);
    connect(writes, &QTimer::timeout, this, [this] { m_session.workInPause(); });
    writes->start(WriteCheckInterval);
}

void MainWindow::reportWriteFailure()
{
    if (const std::optional<QString> failure = m_session.takeWriteFailure())
        ErrorBox::show(this, *failure);
}

void MainWindow::attachWindows(PreferencesWindow *pref, AboutBox *about)
{
    m_pref = pref;
    m_about = about;
    // The main window alone keeps the program running: closing it ends the program even
    // while the modeless Preferences window is still open.
    for (QWidget *window : {static_cast<QWidget *>(pref), static_cast<QWidget *>(about)})
        if (window)
            window->setAttribute(Qt::WA_QuitOnClose, false);
}

// FormCreate: reads the workspace of the last run, each failed step in its own error box.
void MainWindow::readWorkspace()
{
    const ChartSession::StartUp startUp = m_session.startUp();
    if (startUp.fields)
        setFieldTexts(*startUp.fields);
    for (const QString &error : startUp.errors)
        ErrorBox::show(this, error);
    if (!m_session.workspace().writesFiles())
        m_statusText->setText(QStringLiteral("Read-only: another program holds the workspace"));
    else if (startUp.newWorkspace)
        m_statusText->setText(QStringLiteral("New workspace in %1")
                                  .arg(QDir::toNativeSeparators(m_session.workspace().appDir())));
    else if (!startUp.status.isEmpty())
        m_statusText->setText(startUp.status);
    chartChanged();
    alignMapMaker();
}

void MainWindow::setFieldTexts(const SavedFields &fields)
{
    QLineEdit *edits[] = {m_latitudeEdit, m_longitudeEdit, m_widthEdit, m_heightEdit, m_zoomEdit};
    for (int i = 0; i < 5; ++i)
        edits[i]->setText(fields.lines[size_t(i)]);
}

SavedFields MainWindow::fieldTexts() const
{
    return SavedFields{{m_latitudeEdit->text(), m_longitudeEdit->text(), m_widthEdit->text(),
                        m_heightEdit->text(), m_zoomEdit->text()}};
}

// Runs one editing step through the error box and shows the chart as it stands after it.
void MainWindow::edit(const std::function<void()> &step)
{
    ErrorBox::guard(this, step);
    reportWriteFailure();
    chartChanged();
    showEditingStatus();
}

// Every change of the chart, its history included, goes through here.
void MainWindow::chartChanged()
{
    m_selection.follow();
    m_chartView->refresh();
    m_chartView->setHandles(m_selection.handles(), m_selection.point());
    showHistory();
}

// A press, release or key of the Select tool, then the edit it gives, if any, all through
// the error box; the selection is shown anew either way.
void MainWindow::editSelection(const std::function<FeatureSelection::Step()> &gesture)
{
    edit([&] {
        if (const FeatureSelection::Step step = gesture())
            step();
    });
}

// Beside the status line, above the Undo button: what Undo and Redo would do next.
void MainWindow::showHistory()
{
    const QString undo = m_session.undoName();
    const QString redo = m_session.redoName();
    QStringList steps;
    if (!undo.isEmpty())
        steps << QStringLiteral("Undo %1").arg(undo);
    if (!redo.isEmpty())
        steps << QStringLiteral("Redo %1").arg(redo);
    m_historyText->setText(steps.join(QStringLiteral("   ")));
    const QString action = undo.isEmpty() ? QStringLiteral("Undo") : steps.front();
    m_undoButton->setToolTip(QStringLiteral("%1 (%2)").arg(action, undoKey().toString()));
}

// Image1MouseDown: a left press on the chart.
void MainWindow::chartPressed(Qt::MouseButton button, Qt::MouseButtons buttons,
                              Qt::KeyboardModifiers modifiers, int x, int y)
{
    if (m_selection.active()) {
        if (button == Qt::LeftButton)
            editSelection([&] { return m_selection.press(QPointF(x, y), modifiers); });
        return;
    }
    if (!(buttons & Qt::LeftButton))
        return;
    LabelPrompt prompt(this, m_chartView);
    const PanelLine isopleth{m_isoplethColor->currentText(), m_isoplethWidth->currentText()};
    edit([&] { m_session.press(x, y, isopleth, prompt); });
}

// A double click edits the text of a centre or label with the Select tool; with the drawing
// tools its second press is a press like any other.
void MainWindow::chartDoubleClicked(Qt::MouseButton button, Qt::MouseButtons buttons,
                                    Qt::KeyboardModifiers modifiers, int x, int y)
{
    if (!m_selection.active())
        chartPressed(button, buttons, modifiers, x, y);
    else if (button == Qt::LeftButton)
        editFeatureText(QPointF(x, y));
}

// Cancel answers with the text as it stands, which changes nothing.
void MainWindow::editFeatureText(QPointF at)
{
    std::optional<FeatureSelection::TextQuestion> question;
    edit([&] { question = m_selection.textAt(at); }); // shows what the question is about
    if (!question)
        return;
    const QString answer = Dialogs::current().inputText(this, QStringLiteral("Edit text"),
                                                        question->prompt, question->text);
    if (answer != question->text)
        editSelection([&] { return m_selection.setText(answer); });
}

void MainWindow::chartDragged(Qt::MouseButtons buttons, int x, int y)
{
    if (m_selection.active() && (buttons & Qt::LeftButton))
        edit([&] { m_selection.dragTo(QPointF(x, y)); });
}

void MainWindow::chartReleased(Qt::MouseButton button, int, int)
{
    if (m_selection.active() && button == Qt::LeftButton)
        editSelection([this] { return m_selection.release(); });
}

// Select keeps the segment, as choosing any tool does; presses then select.
void MainWindow::selectClicked()
{
    edit([this] {
        m_session.commit();
        m_selection.setActive(true);
    });
}

// ColdFrontClick, WarmFrontClick, OccludedFrontClick, StationaryFrontClick, TroughClick,
// DrylineClick, IsoplethClick.
void MainWindow::lineToolClicked(LineTool tool)
{
    edit([&] {
        m_selection.setActive(false);
        m_session.chooseLineTool(tool);
    });
}

// LButtonClick, HButtonClick, TextButtonClick.
void MainWindow::markerClicked(PressMode mode)
{
    edit([&] {
        m_selection.setActive(false);
        m_session.chooseMarker(mode);
    });
}

// NewSegmentClick.
void MainWindow::newSegmentClicked()
{
    edit([this] { m_session.commit(); });
}

// UndoButtonClick.
void MainWindow::undoClicked()
{
    edit([this] { m_session.undo(); });
}

// Ctrl+Y or Ctrl+Shift+Z.
void MainWindow::redoChosen()
{
    edit([this] { m_session.redo(); });
}

// Erase asks nothing before wiping the analysis: the history keeps the erased chart, and
// Undo brings it back.
// EraseButtonClick.
void MainWindow::eraseClicked()
{
    edit([this] { m_session.erase(); });
}

// GenerateButtonClick. Nothing may draw on the chart or start another run while this one
// handles events.
void MainWindow::generateClicked()
{
    setDrawingEnabled(false);
    const auto enableAgain = qScopeGuard([this] { setDrawingEnabled(true); });
    StatusProgress progress(m_statusText, m_chartView);
    // The status line keeps the run's last status ("Map completed", or where it stopped).
    ErrorBox::guard(this, [&] { m_session.generate(fieldTexts().checkedView(), progress); });
    chartChanged();
}

// Loadfromfile1Click.
void MainWindow::loadChartChosen()
{
    const QString path =
        Dialogs::current().openFileName(this, Dialogs::FileKind::Chart, OpenFilters);
    if (!path.isEmpty())
        loadChart(path);
}

void MainWindow::loadChart(const QString &path)
{
    std::optional<ViewValues> view;
    bool loaded = false;
    edit([&] {
        view = m_session.load(path);
        loaded = true;
    });
    if (loaded)
        showLoadedView(view);
}

// A chart that carries its view fills the map-maker fields with it. One that carries none is
// placed on the globe with the view the session had, which the status line says, together
// with a size that differs from the fields'.
void MainWindow::showLoadedView(const std::optional<ViewValues> &view)
{
    const auto described = [](const ViewValues &v) {
        const SavedFields texts = SavedFields::of(v);
        return QStringLiteral("%1, %2, zoom %3").arg(texts.lat(), texts.lon(), texts.zoom());
    };
    const QSize size = m_session.chart().image().size();
    if (view) {
        setFieldTexts(SavedFields::of(*view));
        m_statusText->setText(QStringLiteral("Chart view %1, %2x%3")
                                  .arg(described(*view))
                                  .arg(size.width())
                                  .arg(size.height()));
        return;
    }
    QString text = QStringLiteral("No view in the chart: positions assume %1")
                       .arg(described(m_session.view()));
    const ViewValues fields = fieldTexts().view();
    if (size != QSize(fields.chartWidth, fields.chartHeight))
        text += QStringLiteral(" (chart %1x%2, fields %3x%4)")
                    .arg(size.width())
                    .arg(size.height())
                    .arg(fields.chartWidth)
                    .arg(fields.chartHeight);
    m_statusText->setText(text);
}

// Savetofile1Click.
void MainWindow::saveChartChosen()
{
    saveChosen(Dialogs::FileKind::Chart, SaveFilters,
               [this](const QString &path) { m_session.save(path); });
}

// Writes a file the user names in the save dialog, and says so in the status line; the
// file's name, or empty when nothing was written.
QString MainWindow::saveChosen(Dialogs::FileKind kind, const QStringList &filters,
                               const std::function<void(const QString &)> &write)
{
    const QString path = Dialogs::current().saveFileName(this, kind, filters);
    if (path.isEmpty() || !ErrorBox::guard(this, [&] { write(path); }))
        return {};
    m_statusText->setText(QStringLiteral("Saved %1").arg(QFileInfo(path).fileName()));
    return path;
}

// The chart with the files that place it in GIS programs: saved together, so that they
// describe the picture beside them.
void MainWindow::exportGeoreferencingChosen()
{
    const QString path =
        saveChosen(Dialogs::FileKind::Chart, SaveFilters, [this](const QString &chart) {
            m_session.save(chart);
            WorldFiles::write(chart, m_session.view());
        });
    if (!path.isEmpty())
        m_statusText->setText(QStringLiteral("Saved %1 with %2 and %3")
                                  .arg(QFileInfo(path).fileName(),
                                       QFileInfo(WorldFiles::worldFilePath(path)).fileName(),
                                       QFileInfo(WorldFiles::projectionPath(path)).fileName()));
}

// A coded bulletin drawn on the chart of the current view as committed work.
void MainWindow::importBulletinChosen()
{
    importChosen(Dialogs::FileKind::Bulletin, BulletinFilters);
}

// An analysis on the globe, GeoJSON first (a saved analysis, or one from another program),
// drawn as a bulletin is.
void MainWindow::importAnalysisChosen()
{
    importChosen(Dialogs::FileKind::Analysis, ImportAnalysisFilters);
}

void MainWindow::importChosen(Dialogs::FileKind kind, const QStringList &filters)
{
    const QString path = Dialogs::current().openFileName(this, kind, filters);
    if (path.isEmpty())
        return;
    ChartSession::ImportSummary summary;
    edit([&] { summary = m_session.importBulletin(path); });
    showPlaced(QStringLiteral("Imported"), summary);
}

// Surface observations as station models on the map, for the time the user confirms.
void MainWindow::plotObservationsChosen()
{
    const QString path =
        Dialogs::current().openFileName(this, Dialogs::FileKind::Observations, ObservationFilters);
    if (path.isEmpty())
        return;
    ObservationFiles::Contents contents;
    if (!ErrorBox::guard(this, [&] { contents = ObservationFiles::read(path); }))
        return;
    const QDateTime time = askObservationTime(contents.observations);
    if (!time.isValid())
        return;
    ObservationPlot::Summary summary;
    edit([&] { summary = m_session.plotObservations(contents.observations, time); });
    m_statusText->setText(
        QStringLiteral("Plotted %1 stations (%2 reports, %3 stations not in the table, %4 "
                       "hidden to keep the chart legible)")
            .arg(summary.plotted)
            .arg(contents.reports)
            .arg(summary.notInTable)
            .arg(summary.hidden));
}

// The time to plot, offered as the hour most reports stand for; after Cancel, or a text that
// is no time (which is said), nothing is plotted.
QDateTime MainWindow::askObservationTime(const std::vector<Observation> &observations)
{
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm");
    const auto answer =
        Dialogs::current().askText(this, QStringLiteral("Plot observations"),
                                   QStringLiteral("Time of the observations (UTC):"),
                                   ObservationSelection::commonHour(observations).toString(format));
    if (!answer)
        return {};
    const QString &text = *answer;
    QDateTime time = QDateTime::fromString(text.trimmed(), format);
    if (!time.isValid()) {
        ErrorBox::show(this, QStringLiteral("\"%1\" is not a time as YYYY-MM-DD HH:MM").arg(text));
        return {};
    }
    time.setTimeZone(QTimeZone::utc());
    return time;
}

// Isolines analysed from the plotted stations, to edit as the start of the analysis. The
// dialog offers what was chosen last.
void MainWindow::firstGuessChosen()
{
    const std::optional<FirstGuessChoice> choice =
        Dialogs::current().askFirstGuess(this, m_firstGuessChoice);
    if (!choice)
        return;
    m_firstGuessChoice = *choice;
    const PanelLine isopleth{m_isoplethColor->currentText(), m_isoplethWidth->currentText()};
    std::optional<FirstGuess::Result> result;
    edit([&] { result = m_session.firstGuess(*choice, isopleth); });
    if (result)
        m_statusText->setText(result->summary(choice->quantity));
}

// After Generate for another view: the analysis of the map before, on this one.
void MainWindow::redrawAnalysisChosen()
{
    ChartSession::ImportSummary summary;
    edit([&] { summary = m_session.redrawAnalysisHere(); });
    showPlaced(QStringLiteral("Redrew"), summary);
}

void MainWindow::showPlaced(const QString &verb, const ChartSession::ImportSummary &summary)
{
    m_statusText->setText(QStringLiteral("%1 %2 features, %3 off the chart")
                              .arg(verb)
                              .arg(summary.drawn)
                              .arg(summary.offChart));
}

// The lines and centres drawn so far, on the globe: a coded bulletin or GeoJSON.
void MainWindow::exportAnalysisChosen()
{
    saveChosen(Dialogs::FileKind::Analysis, AnalysisFilters,
               [this](const QString &path) { m_session.saveAnalysis(path); });
}

// CopyToClipboardClick.
void MainWindow::copyToClipboard()
{
    ErrorBox::guard(this, [this] {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            throw ChartError(QStringLiteral("Cannot open clipboard"));
        clipboard->setImage(m_session.copyData()); // a palette chart goes with its palette
    });
}

// The status line while editing: the tool, the points of the segment (with Select, what is
// selected) and, with the mouse over the chart, the latitude and longitude under it.
void MainWindow::showEditingStatus()
{
    QString text =
        m_selection.active()
            ? m_selection.status()
            : QStringLiteral("%1: %2 %3")
                  .arg(m_session.toolName(), QString::number(m_session.segment().count()),
                       m_session.segment().count() == 1 ? QStringLiteral("point")
                                                        : QStringLiteral("points"));
    if (m_hovered)
        text += QStringLiteral("   ") + positionText(*m_hovered);
    if (const auto station = m_hovered ? m_session.stationAt(*m_hovered) : std::nullopt)
        text = decodedReport(*station); // the station under the mouse
    m_statusText->setText(text);
}

QString MainWindow::positionText(QPoint at) const
{
    const auto position = Projection::positionAt(m_session.view(), at.x(), at.y());
    if (!position)
        return QStringLiteral("off the globe");
    const auto degrees = [](double value, char positive, char negative) {
        return QStringLiteral("%1\u00B0 %2")
            .arg(std::abs(value), 0, 'f', 2)
            .arg(QLatin1Char(value < 0 ? negative : positive));
    };
    return degrees(position->latitude, 'N', 'S') + u' ' + degrees(position->longitude, 'E', 'W');
}

void MainWindow::chartHovered(int x, int y)
{
    m_hovered = QPoint(x, y);
    showEditingStatus();
}

void MainWindow::chartLeft()
{
    m_hovered.reset();
    showEditingStatus();
}

// Keys for the drawing: Enter or N commits the segment, Esc throws it away, a letter chooses
// a tool. With Select, the selection's keys come first (a line tool's letter retypes a
// selected line). Keys typed into a field stay the field's (the field takes letters itself;
// Enter in it or on a focused button is theirs too).
void MainWindow::keyPressEvent(QKeyEvent *event)
{
    QWidget *focus = QApplication::focusWidget();
    const bool inField = qobject_cast<QLineEdit *>(focus) || qobject_cast<QComboBox *>(focus);
    const bool onButton = qobject_cast<QAbstractButton *>(focus);
    const int key = event->key();
    if (inField || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QMainWindow::keyPressEvent(event);
    } else if (m_selection.active() && selectionKey(key)) {
        // the selection's key, handled
    } else if (key == Qt::Key_N || ((key == Qt::Key_Return || key == Qt::Key_Enter) && !onButton)) {
        newSegmentClicked();
    } else if (key == Qt::Key_Escape) {
        edit([this] { m_session.cancelSegment(); });
    } else if (const auto tool = m_toolKeys.find(key); tool != m_toolKeys.end()) {
        tool->second->click();
    } else {
        QMainWindow::keyPressEvent(event);
    }
}

bool MainWindow::selectionKey(int key)
{
    const auto tool = m_lineToolKeys.find(key);
    const auto step = m_selection.keyPressed(
        key, tool == m_lineToolKeys.end() ? std::nullopt : std::optional(tool->second));
    if (step)
        editSelection([&] { return *step; });
    return step.has_value();
}

void MainWindow::setDrawingEnabled(bool enabled)
{
    for (QWidget *control : std::initializer_list<QWidget *>{
             m_generateButton, m_newSegmentButton, m_undoButton, m_eraseButton, m_chartView})
        control->setEnabled(enabled);
    for (QAbstractButton *tool : m_tools->buttons())
        tool->setEnabled(enabled);
    m_loadAction->setEnabled(enabled);
    m_importAction->setEnabled(enabled);
    m_importAnalysisAction->setEnabled(enabled);
    m_redrawAction->setEnabled(enabled);
    m_plotAction->setEnabled(enabled);
    m_firstGuessAction->setEnabled(enabled);
}

// Exit1Click.
void MainWindow::exitChosen()
{
    ErrorBox::guard(this, [this] {
        m_session.exit(fieldTexts());
        close();
    });
}

// Preferences1Click.
void MainWindow::showPreferences()
{
    if (!m_pref)
        return;
    m_pref->show();
    m_pref->raise();
    m_pref->activateWindow();
}

// About1Click.
void MainWindow::showAbout()
{
    if (m_about)
        m_about->exec();
}

// AlignMapMakerPanel: keeps the map-maker group 10 pixels from the right edge of the bottom
// panel; in a narrow window it slides over the fixed controls rather than wrapping.
void MainWindow::alignMapMaker()
{
    m_mapMakerPanel->move(m_toolPanel->width() - m_mapMakerPanel->width() - MapMakerMargin,
                          m_mapMakerPanel->y());
    m_mapMakerCaption->move(m_mapMakerPanel->x(), m_mapMakerCaption->y());
}

// FormResize: the bottom panel spans the window, so its resizes are the window's width
// changes.
bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_toolPanel && event->type() == QEvent::Resize)
        alignMapMaker();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::buildMenus()
{
    QMenu *file = addMenu(QStringLiteral("File1"), QStringLiteral("&File"));
    connect(addMenuEntry(file, QStringLiteral("Preferences1"), QStringLiteral("&Preferences"),
                         QKeySequence(Qt::CTRL | Qt::Key_P)),
            &QAction::triggered, this, &MainWindow::showPreferences);
    connect(addMenuEntry(file, QStringLiteral("Exit1"), QStringLiteral("E&xit"),
                         QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, &MainWindow::exitChosen);

    QMenu *map = addMenu(QStringLiteral("Map1"), QStringLiteral("&Map"));
    connect(addMenuEntry(map, QStringLiteral("CopyToClipboard"),
                         QStringLiteral("Copy to clipboard"), QKeySequence(Qt::CTRL | Qt::Key_C)),
            &QAction::triggered, this, &MainWindow::copyToClipboard);
    map->addSeparator();
    m_loadAction =
        addMenuEntry(map, QStringLiteral("Loadfromfile1"), QStringLiteral("&Load from file..."),
                     QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(m_loadAction, &QAction::triggered, this, &MainWindow::loadChartChosen);
    connect(addMenuEntry(map, QStringLiteral("Savetofile1"), QStringLiteral("&Save to file..."),
                         QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &MainWindow::saveChartChosen);
    map->addSeparator();
    m_importAction =
        addMenuEntry(map, QStringLiteral("ImportBulletin"), QStringLiteral("Import bulletin..."),
                     QKeySequence(Qt::CTRL | Qt::Key_B));
    connect(m_importAction, &QAction::triggered, this, &MainWindow::importBulletinChosen);
    m_importAnalysisAction = addMenuEntry(map, QStringLiteral("ImportAnalysis"),
                                          QStringLiteral("Import analysis..."), {});
    connect(m_importAnalysisAction, &QAction::triggered, this, &MainWindow::importAnalysisChosen);
    m_plotAction = addMenuEntry(map, QStringLiteral("PlotObservations"),
                                QStringLiteral("Plot observations..."), {});
    connect(m_plotAction, &QAction::triggered, this, &MainWindow::plotObservationsChosen);
    m_firstGuessAction =
        addMenuEntry(map, QStringLiteral("FirstGuess"), QStringLiteral("First guess..."), {});
    connect(m_firstGuessAction, &QAction::triggered, this, &MainWindow::firstGuessChosen);
    m_redrawAction =
        addMenuEntry(map, QStringLiteral("RedrawAnalysis"), QStringLiteral("Redraw analysis here"),
                     QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(m_redrawAction, &QAction::triggered, this, &MainWindow::redrawAnalysisChosen);
    connect(addMenuEntry(map, QStringLiteral("ExportAnalysis"),
                         QStringLiteral("Export analysis..."), {}),
            &QAction::triggered, this, &MainWindow::exportAnalysisChosen);
    connect(addMenuEntry(map, QStringLiteral("ExportGeoreferencing"),
                         QStringLiteral("Export georeferencing..."), {}),
            &QAction::triggered, this, &MainWindow::exportGeoreferencingChosen);

    QMenu *help = addMenu(QStringLiteral("Help1"), QStringLiteral("&Help"));
    connect(addMenuEntry(help, QStringLiteral("About1"), QStringLiteral("&About"), {}),
            &QAction::triggered, this, &MainWindow::showAbout);
}

// Undo and Redo from the keyboard, without entries of their own in the menus. In a field,
// Ctrl+Z is the field's own undo.
void MainWindow::buildShortcuts()
{
    connect(new QShortcut(undoKey(), this), &QShortcut::activated, this, &MainWindow::undoClicked);
    for (const QKeySequence &redo :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)})
        connect(new QShortcut(redo, this), &QShortcut::activated, this, &MainWindow::redoChosen);
}

QMenu *MainWindow::addMenu(const QString &name, const QString &caption)
{
    QMenu *menu = menuBar()->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QAction *MainWindow::addMenuEntry(QMenu *menu, const QString &name, const QString &caption,
                                  const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

void MainWindow::buildPanel()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_chartScroll = new QScrollArea(central);
    m_chartScroll->setObjectName(QStringLiteral("ScrollBox1"));
    m_chartView = new ChartView(m_session.chart());
    m_chartView->setObjectName(QStringLiteral("Image1"));
    connect(m_chartView, &ChartView::pressed, this, &MainWindow::chartPressed);
    connect(m_chartView, &ChartView::doubleClicked, this, &MainWindow::chartDoubleClicked);
    connect(m_chartView, &ChartView::dragged, this, &MainWindow::chartDragged);
    connect(m_chartView, &ChartView::released, this, &MainWindow::chartReleased);
    connect(m_chartView, &ChartView::hovered, this, &MainWindow::chartHovered);
    connect(m_chartView, &ChartView::left, this, &MainWindow::chartLeft);
    m_chartScroll->setWidget(m_chartView);
    m_chartScroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_toolPanel = new QFrame(central);
    m_toolPanel->setObjectName(QStringLiteral("Panel1"));
    m_toolPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_toolPanel->setFixedHeight(PanelHeight);
    m_toolPanel->installEventFilter(this);
    layout->addWidget(m_chartScroll, 1);
    layout->addWidget(m_toolPanel);
    setCentralWidget(central);

    m_statusText =
        addLabel(m_toolPanel, QStringLiteral("Idle"), 12, 4, QStringLiteral("StatusText"));
    m_statusText->setFixedWidth(StatusWidth); // room for every progress text
    m_historyText = addLabel(m_toolPanel, {}, StatusWidth + 16, 4, QStringLiteral("HistoryText"));
    m_historyText->setFixedWidth(StatusWidth);
    buildToolButtons();
    buildDrawingControls();
    buildMapMaker();
}

void MainWindow::buildToolButtons()
{
    m_tools = new QButtonGroup(this);
    m_tools->setExclusive(true);
    struct LineButton {
        const char *name;
        int left, top;
        LineTool tool;
        Qt::Key key;
    };
    const LineButton lineButtons[] = {
        {"ColdFront", 12, 28, LineTool::ColdFront, Qt::Key_C},
        {"WarmFront", 12, 56, LineTool::WarmFront, Qt::Key_W},
        {"OccludedFront", 12, 84, LineTool::OccludedFront, Qt::Key_O},
        {"StationaryFront", 12, 112, LineTool::StationaryFront, Qt::Key_S},
        {"Trough", 120, 28, LineTool::Trough, Qt::Key_T},
        {"Dryline", 120, 56, LineTool::Dryline, Qt::Key_D},
        {"Isopleth", 240, 28, LineTool::Isopleth, Qt::Key_I}};
    for (const LineButton &b : lineButtons) {
        addToolButton(QLatin1String(b.name), QLatin1String(LineToolNames::of(b.tool).caption),
                      b.left, b.top, b.key, [this, tool = b.tool] { lineToolClicked(tool); });
        m_lineToolKeys[b.key] = b.tool;
    }
    m_tools->buttons().first()->setChecked(true); // the cold front, chosen at start
    struct MarkerButton {
        const char *name, *caption;
        int left, top;
        PressMode mode;
        Qt::Key key;
    };
    const MarkerButton markerButtons[] = {
        {"LButton", "L", 120, 84, PressMode::LowCentre, Qt::Key_L},
        {"HButton", "H", 120, 112, PressMode::HighCentre, Qt::Key_H},
        {"TextButton", "Text", 240, 112, PressMode::Text, Qt::Key_X}};
    for (const MarkerButton &b : markerButtons)
        addToolButton(QLatin1String(b.name), QLatin1String(b.caption), b.left, b.top, b.key,
                      [this, mode = b.mode] { markerClicked(mode); });
    // The panel has no tool-sized slot left: Select goes under New segment, clear of the
    // hints below.
    addToolButton(QStringLiteral("SelectButton"), QStringLiteral("Select"), 376, 136, Qt::Key_V,
                  [this] { selectClicked(); })
        ->resize(85, 22);
}

void MainWindow::buildDrawingControls()
{
    m_isoplethColor = new QComboBox(m_toolPanel);
    m_isoplethColor->setObjectName(QStringLiteral("LineColor"));
    m_isoplethColor->setEditable(true);
    m_isoplethColor->addItems({QStringLiteral("Black"), QStringLiteral("Green"),
                               QStringLiteral("Red"), QStringLiteral("Yellow"),
                               QStringLiteral("Blue")});
    m_isoplethColor->setGeometry(240, 60, 101, m_isoplethColor->sizeHint().height());
    m_isoplethWidth = new QComboBox(m_toolPanel);
    m_isoplethWidth->setObjectName(QStringLiteral("LineWidth"));
    m_isoplethWidth->setEditable(true);
    m_isoplethWidth->addItems({QStringLiteral("1 px"), QStringLiteral("2 px"),
                               QStringLiteral("3 px"), QStringLiteral("4 px"),
                               QStringLiteral("5 px")});
    m_isoplethWidth->setGeometry(240, 84, 101, m_isoplethWidth->sizeHint().height());

    m_undoButton = addPushButton(m_toolPanel, QStringLiteral("UndoButton"), QStringLiteral("Undo"),
                                 QRect(376, 28, 85, 33));
    connect(m_undoButton, &QPushButton::clicked, this, &MainWindow::undoClicked);
    m_eraseButton = addPushButton(m_toolPanel, QStringLiteral("EraseButton"),
                                  QStringLiteral("Erase"), QRect(376, 64, 85, 33));
    connect(m_eraseButton, &QPushButton::clicked, this, &MainWindow::eraseClicked);
    m_newSegmentButton = addPushButton(m_toolPanel, QStringLiteral("NewSegment"),
                                       QStringLiteral("New segment"), QRect(376, 100, 85, 33));
    connect(m_newSegmentButton, &QPushButton::clicked, this, &MainWindow::newSegmentClicked);
    addLabel(m_toolPanel,
             QStringLiteral("Draw all features AWAY from cyclones for correct orientation."), 12,
             148, QStringLiteral("Label333"));
    addLabel(m_toolPanel,
             QStringLiteral("Stationary fronts are drawn with cold air behind and to RIGHT of "
                            "line being drawn."),
             12, 160, QStringLiteral("Label7"));
}

void MainWindow::buildMapMaker()
{
    m_mapMakerCaption =
        addLabel(m_toolPanel, QStringLiteral("Map maker"), 0, 4, QStringLiteral("Label8"));
    m_mapMakerPanel = new QFrame(m_toolPanel);
    m_mapMakerPanel->setObjectName(QStringLiteral("Panel2"));
    m_mapMakerPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_mapMakerPanel->setAutoFillBackground(true);
    m_mapMakerPanel->setGeometry(0, 20, 181, 129);
    addLabel(m_mapMakerPanel, QStringLiteral("Latitude"), 12, 6);
    m_latitudeEdit = addEdit(m_mapMakerPanel, QStringLiteral("LatEdit"), 12, 20, 73);
    addLabel(m_mapMakerPanel, QStringLiteral("Longitude"), 92, 6);
    m_longitudeEdit = addEdit(m_mapMakerPanel, QStringLiteral("LonEdit"), 92, 20, 73);
    addLabel(m_mapMakerPanel, QStringLiteral("Chart width"), 12, 48);
    m_widthEdit = addEdit(m_mapMakerPanel, QStringLiteral("XEdit"), 12, 61, 57);
    addLabel(m_mapMakerPanel, QStringLiteral("x"), 76, 64);
    addLabel(m_mapMakerPanel, QStringLiteral("Chart height"), 92, 48);
    m_heightEdit = addEdit(m_mapMakerPanel, QStringLiteral("YEdit"), 92, 61, 73);
    addLabel(m_mapMakerPanel, QStringLiteral("Zoom"), 12, 88);
    m_zoomEdit = addEdit(m_mapMakerPanel, QStringLiteral("ZoomEdit"), 12, 104, 73);
    m_generateButton = addPushButton(m_mapMakerPanel, QStringLiteral("GenerateButton"),
                                     QStringLiteral("&Generate"), QRect(92, 96, 75, 29));
    connect(m_generateButton, &QPushButton::clicked, this, &MainWindow::generateClicked);
    // Enter in a field makes the map, unless a map is being made.
    for (QLineEdit *edit : {m_latitudeEdit, m_longitudeEdit, m_widthEdit, m_heightEdit, m_zoomEdit})
        connect(edit, &QLineEdit::returnPressed, this, [this] {
            if (m_generateButton->isEnabled())
                generateClicked();
        });
    // The group lies above the fixed controls when a narrow window makes them meet.
    m_mapMakerPanel->raise();
    m_mapMakerCaption->raise();
}

QLabel *MainWindow::addLabel(QWidget *parent, const QString &text, int left, int top,
                             const QString &name)
{
    auto *label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit *MainWindow::addEdit(QWidget *parent, const QString &name, int left, int top, int width)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    // The fields keep whatever text "saveddat.txt" holds, however long.
    edit->setMaxLength(INT_MAX);
    edit->setGeometry(left, top, width, 21);
    return edit;
}

QToolButton *MainWindow::addToolButton(const QString &name, const QString &caption, int left,
                                       int top, Qt::Key key, const std::function<void()> &handler)
{
    auto *button = new QToolButton(m_toolPanel);
    button->setObjectName(name);
    button->setText(caption);
    const QString action = QString(caption).remove(QStringLiteral(" ="));
    button->setToolTip(QStringLiteral("%1 (%2)").arg(action, QKeySequence(key).toString()));
    m_toolKeys[key] = button;
    button->setCheckable(true);
    button->setGeometry(left, top, 101, 25);
    m_tools->addButton(button);
    connect(button, &QToolButton::clicked, this, handler);
    return button;
}

QPushButton *MainWindow::addPushButton(QWidget *parent, const QString &name, const QString &caption,
                                       QRect geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

} // namespace brimlark
