// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/Segment.h"
#include "canvas/ChartBitmap.h"
#include "canvas/RasterCanvas.h"
#include "prefs/ChartSettings.h"
#include "workspace/SavedData.h"
#include "workspace/ViewValues.h"
#include "workspace/Workspace.h"

#include <QMainWindow>

#include <optional>

class ChartView;
class QAction;
class QKeySequence;
class QMenu;
class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;
class TAboutForm;
class TPref;

/// The main window: the chart in a scroll area above, the tool panel with the map-maker
/// group below, and the menus. Its creation reads the workspace of the last run.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    /// Builds the window and runs FormCreate on the workspace in appDir's folder.
    TForm1(ChartSettings &settings, const Workspace &workspace, QWidget *parent = nullptr);

    /// Gives the window the Preferences window and About box created after it. Neither
    /// keeps the program running once the main window has closed.
    void attachWindows(TPref *pref, TAboutForm *about);

    ChartBitmap &chart() { return m_chart; }
    ChartCanvas &canvas() { return m_canvas; }
    const ViewValues &view() const { return m_view; }
    const Workspace &workspace() const { return m_workspace; }
    /// The current segment: SegmentPoints and SegmentCount.
    const Segment &segment() const { return m_segment; }
    /// CurrentTool: the code of the line tool chosen last (1, the cold front, at start).
    int currentTool() const { return CurrentTool; }

    /// The five map-maker field texts in the order of "saveddat.txt".
    SavedFields fieldTexts() const;

public slots:
    void Image1MouseDown(Qt::MouseButton button, Qt::MouseButtons shift,
                         Qt::KeyboardModifiers modifiers, int x, int y);
    void ColdFrontClick();
    void WarmFrontClick();
    void OccludedFrontClick();
    void StationaryFrontClick();
    void TroughClick();
    void DrylineClick();
    void IsoplethClick();
    void LButtonClick();
    void HButtonClick();
    void TextButtonClick();
    void NewSegmentClick();
    void GenerateButtonClick();
    void Loadfromfile1Click();
    void Savetofile1Click();
    void CopyToClipboardClick();
    void UndoButtonClick();
    void EraseButtonClick();
    void Exit1Click();
    void Preferences1Click();
    void About1Click();
    void AlignMapMakerPanel();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormResize();
    void readSavedFields();
    void readSnapshot(bool fieldsRead);
    void commitSegment(std::optional<int> tool);
    void drawPress(int x, int y);
    bool isDown(const char *toolButton) const;
    void generate();
    void loadChart(const QString &path);
    void writeWorkspaceBitmaps();
    void setDrawingEnabled(bool enabled);
    void setFieldTexts(const SavedFields &fields);
    void refreshChart();
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
                               void (TForm1::*handler)());
    QPushButton *addPushButton(QWidget *parent, const QString &name, const QString &caption,
                               QRect geometry);

    ChartSettings &m_settings;
    Workspace m_workspace;
    ChartBitmap m_chart;
    RasterCanvas m_canvas;
    ViewValues m_view;
    Segment m_segment;
    int CurrentTool = 0;
    TPref *m_pref = nullptr;
    TAboutForm *m_about = nullptr;

    QScrollArea *ScrollBox1 = nullptr;
    ChartView *Image1 = nullptr;
    QFrame *Panel1 = nullptr;
    QFrame *Panel2 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *StatusText = nullptr;
    QButtonGroup *m_tools = nullptr;
    QComboBox *LineColor = nullptr;
    QComboBox *LineWidth = nullptr;
    QLineEdit *LatEdit = nullptr;
    QLineEdit *LonEdit = nullptr;
    QLineEdit *XEdit = nullptr;
    QLineEdit *YEdit = nullptr;
    QLineEdit *ZoomEdit = nullptr;
};
