// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/TForm1.h"

#include "analysis/ChartMarkers.h"
#include "analysis/SegmentRenderer.h"
#include "app/ChartView.h"
#include "app/Dialogs.h"
#include "app/ErrorBox.h"
#include "app/StatusProgress.h"
#include "app/TAboutForm.h"
#include "app/TPref.h"
#include "canvas/ChartError.h"
#include "mapgen/MapGenerator.h"
#include "workspace/ChartFiles.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <climits>

namespace
{

// The view a first start offers, before any "saveddat.txt" exists: the continental
// United States at a size that fits most screens.
const SavedFields FirstStartFields{{QStringLiteral("38"), QStringLiteral("-96"),
                                    QStringLiteral("800"), QStringLiteral("600"),
                                    QStringLiteral("1.2")}};

constexpr int DesignWidth = 696;
constexpr int DesignHeight = 517;
constexpr int PanelHeight = 179;
constexpr int MapMakerMargin = 10;
constexpr int StatusWidth = 360;

// The file dialogs' filter entries. Each shows the caption before its last parentheses,
// which hold the patterns the dialog really uses.
const QStringList OpenFilters = {QStringLiteral("CompuServe GIF (*.gif) (*.gif)"),
                                 QStringLiteral("JPEG (*.jpg,*.jpeg) (*.jpg *.jpeg)"),
                                 QStringLiteral("Windows bitmap (*.bmp) (*.bmp)"),
                                 QStringLiteral("All files (*)")};
const QStringList SaveFilters = {QStringLiteral("CompuServe GIF (*.gif) (*.gif)"),
                                 QStringLiteral("JPEG (*.jpg) (*.jpg)"),
                                 QStringLiteral("Windows bitmap (*.bmp) (*.bmp)")};

} // namespace

TForm1::TForm1(ChartSettings &settings, const Workspace &workspace, QWidget *parent)
    : QMainWindow(parent), m_settings(settings), m_workspace(workspace), m_canvas(m_chart)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Brimlark v2.0a"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(DesignWidth, DesignHeight);
    buildMenus();
    buildPanel();
    setFieldTexts(FirstStartFields);
    m_view = FirstStartFields.view();
    FormCreate();
}

void TForm1::attachWindows(TPref *pref, TAboutForm *about)
{
    m_pref = pref;
    m_about = about;
    // The main window alone keeps the program running: closing it ends the program even
    // while the modeless Preferences window is still open.
    for (QWidget *window : {static_cast<QWidget *>(pref), static_cast<QWidget *>(about)})
        if (window)
            window->setAttribute(Qt::WA_QuitOnClose, false);
}

// Reads the workspace. The fields and the chart are read one independently of the other,
// each failure in its own error box: a chart left unread because "saveddat.txt" was missing
// would be overwritten with an empty one at the next Exit.
void TForm1::FormCreate()
{
    m_workspace.removeStaleTemporaries();
    const bool fieldsRead = ErrorBox::guard(this, [this] { readSavedFields(); });
    ErrorBox::guard(this, [this, fieldsRead] { readSnapshot(fieldsRead); });
    refreshChart();
    AlignMapMakerPanel();
    m_segment.clear();
    CurrentTool = ColdFront;
}

void TForm1::readSavedFields()
{
    const SavedFields fields = SavedData::read(m_workspace.savedDataPath());
    setFieldTexts(fields);
    m_view = fields.view();
}

// A chart file that exists but cannot be read is moved aside before anything can write over
// it, and the message says where it went. On a first start there is no chart to report.
void TForm1::readSnapshot(bool fieldsRead)
{
    const QString path = m_workspace.snapshotPath();
    if (!fieldsRead && !QFileInfo::exists(path))
        return;
    try {
        m_chart.loadFromFile(path);
    } catch (const ChartError &e) {
        const QString keptAs = m_workspace.keepUnreadable(path);
        if (keptAs.isEmpty())
            throw;
        throw ChartError(ErrorBox::boxText(e.message())
                         + QStringLiteral(" The chart file was kept as %1.").arg(keptAs));
    }
}

void TForm1::setFieldTexts(const SavedFields &fields)
{
    QLineEdit *edits[] = {LatEdit, LonEdit, XEdit, YEdit, ZoomEdit};
    for (int i = 0; i < 5; ++i)
        edits[i]->setText(fields.lines[size_t(i)]);
}

SavedFields TForm1::fieldTexts() const
{
    return SavedFields{
        {LatEdit->text(), LonEdit->text(), XEdit->text(), YEdit->text(), ZoomEdit->text()}};
}

void TForm1::refreshChart() { Image1->refresh(); }

// A press on the chart: adds the point and draws the whole segment, or the marker, on the
// snapshot of the chart taken when the segment began.
void TForm1::Image1MouseDown(Qt::MouseButton, Qt::MouseButtons shift, Qt::KeyboardModifiers, int x,
                             int y)
{
    if (!(shift & Qt::LeftButton))
        return;
    // A full segment takes no more points; the press changes nothing.
    if (!m_segment.append(x, y))
        return;
    ErrorBox::guard(this, [&] { drawPress(x, y); });
    refreshChart();
}

void TForm1::drawPress(int x, int y)
{
    m_chart.loadFromFile(m_workspace.snapshotPath());
    refreshChart(); // the input box opens over the snapshot
    if (isDown("LButton") || isDown("HButton")) {
        ChartMarkers::placeLetter(m_canvas, m_settings, isDown("LButton") ? u'L' : u'H', x, y);
    } else if (isDown("TextButton")) {
        const QString text = Dialogs::current().inputText(
            this, QStringLiteral("Input text"), QStringLiteral("Input text to appear at click"),
            QString());
        ChartMarkers::placeText(m_canvas, text, x, y);
    } else {
        SegmentRenderer(m_canvas, m_settings)
            .DrawSegment(CurrentTool, m_segment.points(),
                         {LineColor->currentText(), LineWidth->currentText()});
    }
    m_chart.saveToFile(m_workspace.latestPath());
}

bool TForm1::isDown(const char *toolButton) const
{
    const auto *button = Panel1->findChild<QToolButton *>(QLatin1String(toolButton));
    return button && button->isChecked();
}

// Every tool button and New segment make the chart as it stands the new snapshot and start
// an empty segment; the line tools also choose their tool.
void TForm1::commitSegment(std::optional<int> tool)
{
    ErrorBox::guard(this, [&] {
        m_chart.saveToFile(m_workspace.snapshotPath());
        if (tool)
            CurrentTool = *tool;
        m_segment.clear();
    });
}

void TForm1::ColdFrontClick() { commitSegment(ColdFront); }
void TForm1::WarmFrontClick() { commitSegment(WarmFront); }
void TForm1::OccludedFrontClick() { commitSegment(OccludedFront); }
void TForm1::StationaryFrontClick() { commitSegment(StationaryFront); }
void TForm1::TroughClick() { commitSegment(Trough); }
void TForm1::DrylineClick() { commitSegment(Dryline); }
void TForm1::IsoplethClick() { commitSegment(Isopleth); }
void TForm1::LButtonClick() { commitSegment(std::nullopt); }
void TForm1::HButtonClick() { commitSegment(std::nullopt); }
void TForm1::TextButtonClick() { commitSegment(std::nullopt); }
void TForm1::NewSegmentClick() { commitSegment(std::nullopt); }

// Throws the current segment away: back to the snapshot.
void TForm1::UndoButtonClick()
{
    ErrorBox::guard(this, [this] {
        m_chart.loadFromFile(m_workspace.snapshotPath());
        m_segment.clear();
    });
    refreshChart();
}

// Back to the bare base map, which also becomes the snapshot.
void TForm1::EraseButtonClick()
{
    ErrorBox::guard(this, [this] {
        m_chart.loadFromFile(m_workspace.baseMapPath());
        m_chart.saveToFile(m_workspace.snapshotPath());
        m_segment.clear();
    });
    refreshChart();
}

// A new base map for the view in the map-maker fields, which becomes the chart, the
// snapshot and the base map to which Erase returns.
void TForm1::GenerateButtonClick()
{
    ErrorBox::guard(this, [this] { generate(); });
    refreshChart();
}

void TForm1::generate()
{
    const ViewValues view = fieldTexts().view();
    // A size beyond the limits is refused before anything changes.
    ChartBitmap::checkSize(view.ChartWidth, view.ChartHeight);
    m_view = view;
    m_chart.setSize(m_view.ChartWidth, m_view.ChartHeight);
    refreshChart();
    {
        // Nothing may draw on the chart or start another run while this one handles events.
        setDrawingEnabled(false);
        const auto enableAgain = qScopeGuard([this] { setDrawingEnabled(true); });
        StatusProgress progress(StatusText, Image1);
        MapGenerator(m_chart, m_canvas, m_settings, m_workspace, progress).GenerateMap(m_view);
    }
    writeWorkspaceBitmaps();
    m_segment.clear();
}

// A new chart is the base map, the snapshot and the latest chart at once.
void TForm1::writeWorkspaceBitmaps()
{
    m_chart.saveToFile(m_workspace.baseMapPath());
    m_chart.saveToFile(m_workspace.snapshotPath());
    m_chart.saveToFile(m_workspace.latestPath());
}

void TForm1::Loadfromfile1Click()
{
    const QString path = Dialogs::current().openFileName(this, OpenFilters);
    if (path.isEmpty())
        return;
    ErrorBox::guard(this, [&] { loadChart(path); });
    refreshChart();
}

// A picture of another format than the three loads nothing, but the chart as it stands
// still becomes the new base map and the segment starts afresh.
void TForm1::loadChart(const QString &path)
{
    ChartFiles::load(m_chart, m_canvas, path);
    refreshChart();
    writeWorkspaceBitmaps();
    m_segment.clear();
}

void TForm1::Savetofile1Click()
{
    const QString path = Dialogs::current().saveFileName(this, SaveFilters);
    if (path.isEmpty())
        return;
    ErrorBox::guard(
        this, [&] { ChartFiles::save(m_chart, path, m_settings.text(ChartSettings::JPEGComp)); });
}

void TForm1::CopyToClipboardClick()
{
    ErrorBox::guard(this, [this] {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            throw ChartError(QStringLiteral("Cannot open clipboard"));
        clipboard->setImage(m_chart.image()); // a palette chart goes with its palette
    });
}

void TForm1::setDrawingEnabled(bool enabled)
{
    for (const char *name : {"GenerateButton", "NewSegment", "UndoButton", "EraseButton"})
        findChild<QWidget *>(QLatin1String(name))->setEnabled(enabled);
    for (QAbstractButton *tool : m_tools->buttons())
        tool->setEnabled(enabled);
    Image1->setEnabled(enabled);
    findChild<QAction *>(QStringLiteral("Loadfromfile1"))->setEnabled(enabled);
}

void TForm1::Exit1Click()
{
    ErrorBox::guard(this, [this] {
        m_chart.saveToFile(m_workspace.snapshotPath());
        SavedData::write(m_workspace.savedDataPath(), fieldTexts());
        close();
    });
}

void TForm1::Preferences1Click()
{
    if (!m_pref)
        return;
    m_pref->show();
    m_pref->raise();
    m_pref->activateWindow();
}

void TForm1::About1Click()
{
    if (m_about)
        m_about->exec();
}

// Keeps the map-maker group 10 pixels from the right edge of the bottom panel; in a narrow
// window it slides over the fixed controls rather than wrapping.
void TForm1::AlignMapMakerPanel()
{
    Panel2->move(Panel1->width() - Panel2->width() - MapMakerMargin, Panel2->y());
    Label8->move(Panel2->x(), Label8->y());
}

// The bottom panel spans the window, so its resizes are the window's width changes.
bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Panel1 && event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::FormResize() { AlignMapMakerPanel(); }

void TForm1::buildMenus()
{
    QMenu *file = addMenu(QStringLiteral("File1"), QStringLiteral("&File"));
    connect(addMenuEntry(file, QStringLiteral("Preferences1"), QStringLiteral("&Preferences"),
                         QKeySequence(Qt::CTRL | Qt::Key_P)),
            &QAction::triggered, this, &TForm1::Preferences1Click);
    connect(addMenuEntry(file, QStringLiteral("Exit1"), QStringLiteral("E&xit"),
                         QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, &TForm1::Exit1Click);

    QMenu *map = addMenu(QStringLiteral("Map1"), QStringLiteral("&Map"));
    connect(addMenuEntry(map, QStringLiteral("CopyToClipboard"),
                         QStringLiteral("Copy to clipboard"), QKeySequence(Qt::CTRL | Qt::Key_C)),
            &QAction::triggered, this, &TForm1::CopyToClipboardClick);
    map->addSeparator();
    connect(addMenuEntry(map, QStringLiteral("Loadfromfile1"), QStringLiteral("&Load from file..."),
                         QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &TForm1::Loadfromfile1Click);
    connect(addMenuEntry(map, QStringLiteral("Savetofile1"), QStringLiteral("&Save to file..."),
                         QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &TForm1::Savetofile1Click);

    QMenu *help = addMenu(QStringLiteral("Help1"), QStringLiteral("&Help"));
    connect(addMenuEntry(help, QStringLiteral("About1"), QStringLiteral("&About"), {}),
            &QAction::triggered, this, &TForm1::About1Click);
}

QMenu *TForm1::addMenu(const QString &name, const QString &caption)
{
    QMenu *menu = menuBar()->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QAction *TForm1::addMenuEntry(QMenu *menu, const QString &name, const QString &caption,
                              const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

void TForm1::buildPanel()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ScrollBox1 = new QScrollArea(central);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    Image1 = new ChartView(m_chart);
    Image1->setObjectName(QStringLiteral("Image1"));
    connect(Image1, &ChartView::pressed, this, &TForm1::Image1MouseDown);
    ScrollBox1->setWidget(Image1);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Panel1 = new QFrame(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedHeight(PanelHeight);
    Panel1->installEventFilter(this);
    layout->addWidget(ScrollBox1, 1);
    layout->addWidget(Panel1);
    setCentralWidget(central);

    StatusText = addLabel(Panel1, QStringLiteral("Idle"), 12, 4, QStringLiteral("StatusText"));
    StatusText->setFixedWidth(StatusWidth); // room for every progress text
    buildToolButtons();
    buildDrawingControls();
    buildMapMaker();
}

void TForm1::buildToolButtons()
{
    m_tools = new QButtonGroup(this);
    m_tools->setExclusive(true);
    addToolButton(QStringLiteral("ColdFront"), QStringLiteral("Cold front"), 12, 28,
                  &TForm1::ColdFrontClick)
        ->setChecked(true);
    addToolButton(QStringLiteral("WarmFront"), QStringLiteral("Warm front"), 12, 56,
                  &TForm1::WarmFrontClick);
    addToolButton(QStringLiteral("OccludedFront"), QStringLiteral("Occluded front"), 12, 84,
                  &TForm1::OccludedFrontClick);
    addToolButton(QStringLiteral("StationaryFront"), QStringLiteral("Stationary front"), 12, 112,
                  &TForm1::StationaryFrontClick);
    addToolButton(QStringLiteral("Trough"), QStringLiteral("Trough"), 120, 28,
                  &TForm1::TroughClick);
    addToolButton(QStringLiteral("Dryline"), QStringLiteral("Dryline"), 120, 56,
                  &TForm1::DrylineClick);
    addToolButton(QStringLiteral("LButton"), QStringLiteral("L"), 120, 84, &TForm1::LButtonClick);
    addToolButton(QStringLiteral("HButton"), QStringLiteral("H"), 120, 112, &TForm1::HButtonClick);
    addToolButton(QStringLiteral("Isopleth"), QStringLiteral("Isopleth ="), 240, 28,
                  &TForm1::IsoplethClick);
    addToolButton(QStringLiteral("TextButton"), QStringLiteral("Text"), 240, 112,
                  &TForm1::TextButtonClick);
}

void TForm1::buildDrawingControls()
{
    LineColor = new QComboBox(Panel1);
    LineColor->setObjectName(QStringLiteral("LineColor"));
    LineColor->setEditable(true);
    LineColor->addItems({QStringLiteral("Black"), QStringLiteral("Green"), QStringLiteral("Red"),
                         QStringLiteral("Yellow"), QStringLiteral("Blue")});
    LineColor->setGeometry(240, 60, 101, LineColor->sizeHint().height());
    LineWidth = new QComboBox(Panel1);
    LineWidth->setObjectName(QStringLiteral("LineWidth"));
    LineWidth->setEditable(true);
    LineWidth->addItems({QStringLiteral("1 px"), QStringLiteral("2 px"), QStringLiteral("3 px"),
                         QStringLiteral("4 px"), QStringLiteral("5 px")});
    LineWidth->setGeometry(240, 84, 101, LineWidth->sizeHint().height());

    connect(addPushButton(Panel1, QStringLiteral("UndoButton"), QStringLiteral("Undo"),
                          QRect(376, 28, 85, 33)),
            &QPushButton::clicked, this, &TForm1::UndoButtonClick);
    connect(addPushButton(Panel1, QStringLiteral("EraseButton"), QStringLiteral("Erase"),
                          QRect(376, 64, 85, 33)),
            &QPushButton::clicked, this, &TForm1::EraseButtonClick);
    connect(addPushButton(Panel1, QStringLiteral("NewSegment"), QStringLiteral("New segment"),
                          QRect(376, 100, 85, 33)),
            &QPushButton::clicked, this, &TForm1::NewSegmentClick);
    addLabel(Panel1,
             QStringLiteral("Draw all features AWAY from cyclones for correct orientation."), 12,
             148, QStringLiteral("Label333"));
    addLabel(Panel1,
             QStringLiteral("Stationary fronts are drawn with cold air behind and to RIGHT of "
                            "line being drawn."),
             12, 160, QStringLiteral("Label7"));
}

void TForm1::buildMapMaker()
{
    Label8 = addLabel(Panel1, QStringLiteral("Map maker"), 0, 4, QStringLiteral("Label8"));
    Panel2 = new QFrame(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setAutoFillBackground(true);
    Panel2->setGeometry(0, 20, 181, 129);
    addLabel(Panel2, QStringLiteral("Latitude"), 12, 6);
    LatEdit = addEdit(Panel2, QStringLiteral("LatEdit"), 12, 20, 73);
    addLabel(Panel2, QStringLiteral("Longitude"), 92, 6);
    LonEdit = addEdit(Panel2, QStringLiteral("LonEdit"), 92, 20, 73);
    addLabel(Panel2, QStringLiteral("Chart width"), 12, 48);
    XEdit = addEdit(Panel2, QStringLiteral("XEdit"), 12, 61, 57);
    addLabel(Panel2, QStringLiteral("x"), 76, 64);
    addLabel(Panel2, QStringLiteral("Chart height"), 92, 48);
    YEdit = addEdit(Panel2, QStringLiteral("YEdit"), 92, 61, 73);
    addLabel(Panel2, QStringLiteral("Zoom"), 12, 88);
    ZoomEdit = addEdit(Panel2, QStringLiteral("ZoomEdit"), 12, 104, 73);
    connect(addPushButton(Panel2, QStringLiteral("GenerateButton"), QStringLiteral("&Generate"),
                          QRect(92, 96, 75, 29)),
            &QPushButton::clicked, this, &TForm1::GenerateButtonClick);
    // The group lies above the fixed controls when a narrow window makes them meet.
    Panel2->raise();
    Label8->raise();
}

QLabel *TForm1::addLabel(QWidget *parent, const QString &text, int left, int top,
                         const QString &name)
{
    auto *label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit *TForm1::addEdit(QWidget *parent, const QString &name, int left, int top, int width)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    // The fields keep whatever text "saveddat.txt" holds, however long.
    edit->setMaxLength(INT_MAX);
    edit->setGeometry(left, top, width, 21);
    return edit;
}

QToolButton *TForm1::addToolButton(const QString &name, const QString &caption, int left, int top,
                                   void (TForm1::*handler)())
{
    auto *button = new QToolButton(Panel1);
    button->setObjectName(name);
    button->setText(caption);
    button->setCheckable(true);
    button->setGeometry(left, top, 101, 25);
    m_tools->addButton(button);
    connect(button, &QToolButton::clicked, this, handler);
    return button;
}

QPushButton *TForm1::addPushButton(QWidget *parent, const QString &name, const QString &caption,
                                   QRect geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}
