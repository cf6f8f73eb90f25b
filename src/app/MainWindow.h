// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "app/Dialogs.h"
#include "app/FeatureSelection.h"
#include "editing/ChartSession.h"
#include "prefs/ChartSettings.h"
#include "workspace/SavedData.h"
#include "workspace/Workspace.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <optional>

class QAction;
class QKeySequence;
class QMenu;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace brimlark
{

class ChartView;
class AboutBox;
class PreferencesWindow;

/// The main window (TForm1, objectName "Form1"): the chart in a scroll area above, the tool panel
/// with the map-maker group below, and the menus. It shows a ChartSession and forwards every edit
/// to it; its creation reads the workspace of the last run.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    /// Builds the window and reads the workspace in its folder.
    MainWindow(ChartSettings &settings, const Workspace &workspace, QWidget *parent = nullptr);

    /// Gives the window the Preferences window and About box created after it. Neither
    /// keeps the program running once the main window has closed.
    void attachWindows(PreferencesWindow *pref, AboutBox *about);

    ChartSession &session() { return m_session; }
    const ChartSession &session() const { return m_session; }
    /// The five map-maker field texts in the order of "saveddat.txt".
    SavedFields fieldTexts() const;
    /// Loads a chart file as Map > Load from file does, a failure in the error box.
    void loadChart(const QString &path);

public slots:
    void chartPressed(Qt::MouseButton button, Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers modifiers, int x, int y);
    void chartDoubleClicked(Qt::MouseButton button, Qt::MouseButtons buttons,
                            Qt::KeyboardModifiers modifiers, int x, int y);
    void chartDragged(Qt::MouseButtons buttons, int x, int y);
    void chartReleased(Qt::MouseButton button, int x, int y);
    void selectClicked();
    void lineToolClicked(LineTool tool);
    void markerClicked(PressMode mode);
    void newSegmentClicked();
    void undoClicked();
    void eraseClicked();
    void redoChosen();
    void generateClicked();
    void loadChartChosen();
    void saveChartChosen();
    void copyToClipboard();
    void importBulletinChosen();
    void importAnalysisChosen();
    void redrawAnalysisChosen();
    void plotObservationsChosen();
    void firstGuessChosen();
    void exportAnalysisChosen();
    void exportGeoreferencingChosen();
    void exitChosen();
    void showPreferences();
    void showAbout();
    void alignMapMaker();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void readWorkspace();
    void reportWriteFailure();
    static constexpr int WriteCheckInterval = 300; // ms
    void edit(const std::function<void()> &step);
    void editSelection(const std::function<FeatureSelection::Step()> &gesture);
    bool selectionKey(int key);
    void editFeatureText(QPointF at);
    QString saveChosen(Dialogs::FileKind kind, const QStringList &filters,
                       const std::function<void(const QString &)> &write);
    void importChosen(Dialogs::FileKind kind, const QStringList &filters);
    void setDrawingEnabled(bool enabled);
    void showEditingStatus();
    QDateTime askObservationTime(const std::vector<Observation> &observations);
    void showPlaced(const QString &verb, const ChartSession::ImportSummary &summary);
    void showLoadedView(const std::optional<ViewValues> &view);
    void chartChanged();
    void showHistory();
    QString positionText(QPoint at) const;
    void chartHovered(int x, int y);
    void chartLeft();
    void buildShortcuts();
    void setFieldTexts(const SavedFields &fields);
    void buildMenus();
    QMenu *addMenu(const QString &name, const QString &caption);
    QAction *addMenuEntry(QMenu *menu, const QString &name, const QString &caption,
                          const QKeySequence &shortcut);
    void buildPanel();
    void buildToolButtons();
    void buildDrawingControls();
    void buildMapMaker();
    QLabel *addLabel(QWidget *parent, const QString &text, int left, int top,
                     const QString &name = {});
    QLineEdit *addEdit(QWidget *parent, const QString &name, int left, int top, int width);
    QToolButton *addToolButton(const QString &name, const QString &caption, int left, int top,
                               Qt::Key key, const std::function<void()> &handler);
    QPushButton *addPushButton(QWidget *parent, const QString &name, const QString &caption,
                               QRect geometry);

    ChartSession m_session;
    PreferencesWindow *m_pref = nullptr;
    AboutBox *m_about = nullptr;
    std::optional<QPoint> m_hovered;         // the chart pixel under the mouse
    FeatureSelection m_selection;            // the Select tool: what is selected
    std::map<int, QToolButton *> m_toolKeys; // the key of each tool button
    std::map<int, LineTool> m_lineToolKeys;  // the key of each line tool

    // The controls, each with its name from the window layout as its objectName.
    QScrollArea *m_chartScroll = nullptr;      // ScrollBox1
    ChartView *m_chartView = nullptr;          // Image1
    QFrame *m_toolPanel = nullptr;             // Panel1
    QFrame *m_mapMakerPanel = nullptr;         // Panel2
    QLabel *m_mapMakerCaption = nullptr;       // Label8
    QLabel *m_statusText = nullptr;            // StatusText
    QLabel *m_historyText = nullptr;           // what Undo and Redo would do
    QButtonGroup *m_tools = nullptr;           // the tool buttons, Select too
    QComboBox *m_isoplethColor = nullptr;      // LineColor
    QComboBox *m_isoplethWidth = nullptr;      // LineWidth
    QPushButton *m_undoButton = nullptr;       // UndoButton
    QPushButton *m_eraseButton = nullptr;      // EraseButton
    QPushButton *m_newSegmentButton = nullptr; // NewSegment
    QPushButton *m_generateButton = nullptr;   // GenerateButton
    QAction *m_loadAction = nullptr;           // Loadfromfile1
    QAction *m_importAction = nullptr;         // ImportBulletin
    QAction *m_importAnalysisAction = nullptr; // ImportAnalysis
    QAction *m_redrawAction = nullptr;         // RedrawAnalysis
    QAction *m_plotAction = nullptr;           // PlotObservations
    QAction *m_firstGuessAction = nullptr;     // FirstGuess
    FirstGuessChoice m_firstGuessChoice;       // what the first guess analysed last
    QLineEdit *m_latitudeEdit = nullptr;       // LatEdit
    QLineEdit *m_longitudeEdit = nullptr;      // LonEdit
    QLineEdit *m_widthEdit = nullptr;          // XEdit
    QLineEdit *m_heightEdit = nullptr;         // YEdit
    QLineEdit *m_zoomEdit = nullptr;           // ZoomEdit
};

} // namespace brimlark
