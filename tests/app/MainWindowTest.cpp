// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The main window: its controls and menus, the map-maker layout, Exit and the About box.
#include "app/MainWindow.h"
#include "RecordingDialogs.h"
#include "app/AboutBox.h"
#include "app/PreferencesWindow.h"
#include "editing/AnalysisDocument.h"
#include "formats/BmpCodec.h"
#include "support/Controls.h"
#include "support/ReadOnlyFolder.h"
#include "workspace/BitmapWriter.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

using namespace brimlark;

namespace
{

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeFile(QStringLiteral("saveddat.txt"), "45\r\n-93.5\r\n800\r\n600\r\n2.5\r\n");
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(qRgb(200, 210, 220));
        BmpCodec::writeFile(dir.filePath(QStringLiteral("temp1.bmp")), image, 0);
        // A workspace as an exit leaves it: a base map, and the features of the chart (none).
        BmpCodec::writeFile(dir.filePath(QStringLiteral("temp0.bmp")), image, 0);
        writeFile(QStringLiteral("analysis.geojson"),
                  AnalysisDocument::write({ViewValues{45, -93.5, 2.5, 30, 20}, {}, {}, {}}));
        form = std::make_unique<MainWindow>(settings, Workspace(dir.path()));
    }
    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const QString &name) const
    {
        BitmapWriter::finishAll(); // the workspace bitmaps are written behind the editing
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    template <typename T> T *child(const char *name) const
    {
        return control<T>(*form, QLatin1String(name));
    }
    QLineEdit *edit(const char *name) const { return child<QLineEdit>(name); }

    QTemporaryDir dir;
    ChartSettings settings;
    RecordingDialogs dialogs;
    std::unique_ptr<MainWindow> form;
};

struct Placed {
    const char *name;
    const char *caption;
    QRect geometry;
};

} // namespace

TEST_F(MainWindowTest, CaptionAndBottomPanelControlsAtTheirPlaces)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Brimlark v2.0a"));
    EXPECT_EQ(child<QWidget>("Panel1")->height(), 179);
    const Placed buttons[] = {{"ColdFront", "Cold front", {12, 28, 101, 25}},
                              {"WarmFront", "Warm front", {12, 56, 101, 25}},
                              {"OccludedFront", "Occluded front", {12, 84, 101, 25}},
                              {"StationaryFront", "Stationary front", {12, 112, 101, 25}},
                              {"Trough", "Trough", {120, 28, 101, 25}},
                              {"Dryline", "Dryline", {120, 56, 101, 25}},
                              {"LButton", "L", {120, 84, 101, 25}},
                              {"HButton", "H", {120, 112, 101, 25}},
                              {"Isopleth", "Isopleth =", {240, 28, 101, 25}},
                              {"TextButton", "Text", {240, 112, 101, 25}},
                              {"UndoButton", "Undo", {376, 28, 85, 33}},
                              {"EraseButton", "Erase", {376, 64, 85, 33}},
                              {"NewSegment", "New segment", {376, 100, 85, 33}},
                              {"GenerateButton", "&Generate", {92, 96, 75, 29}}};
    for (const Placed &p : buttons) {
        auto *button = child<QAbstractButton>(p.name);
        EXPECT_EQ(button->text(), QLatin1String(p.caption)) << p.name;
        EXPECT_EQ(button->geometry(), p.geometry) << p.name;
    }
    const Placed labels[] = {
        {"StatusText", "Idle", {12, 4, 0, 0}},
        {"Label333",
         "Draw all features AWAY from cyclones for correct orientation.",
         {12, 148, 0, 0}},
        {"Label7",
         "Stationary fronts are drawn with cold air behind and to RIGHT of line being drawn.",
         {12, 160, 0, 0}},
        {"Label8", "Map maker", {0, 4, 0, 0}}};
    for (const Placed &p : labels) {
        auto *label = child<QLabel>(p.name);
        EXPECT_EQ(label->text(), QLatin1String(p.caption)) << p.name;
        EXPECT_EQ(label->y(), p.geometry.y()) << p.name;
        if (p.geometry.x()) {
            EXPECT_EQ(label->x(), p.geometry.x()) << p.name;
        }
    }
    const Placed edits[] = {{"LatEdit", "", {12, 20, 73, 21}},
                            {"LonEdit", "", {92, 20, 73, 21}},
                            {"XEdit", "", {12, 61, 57, 21}},
                            {"YEdit", "", {92, 61, 73, 21}},
                            {"ZoomEdit", "", {12, 104, 73, 21}}};
    for (const Placed &p : edits) {
        EXPECT_EQ(edit(p.name)->geometry(), p.geometry) << p.name;
        EXPECT_EQ(edit(p.name)->parentWidget()->objectName(), QStringLiteral("Panel2"));
    }
    EXPECT_EQ(child<QWidget>("Panel2")->size(), QSize(181, 129));
    EXPECT_EQ(child<QWidget>("Panel2")->y(), 20);
}

TEST_F(MainWindowTest, LineChoicesAndToolGroup)
{
    auto *color = child<QComboBox>("LineColor");
    EXPECT_TRUE(color->isEditable());
    EXPECT_EQ(color->currentText(), QStringLiteral("Black"));
    EXPECT_EQ(color->count(), 5);
    EXPECT_EQ(color->itemText(4), QStringLiteral("Blue"));
    EXPECT_EQ(color->geometry().topLeft(), QPoint(240, 60));
    auto *width = child<QComboBox>("LineWidth");
    EXPECT_EQ(width->currentText(), QStringLiteral("1 px"));
    EXPECT_EQ(width->itemText(4), QStringLiteral("5 px"));
    EXPECT_EQ(width->geometry().topLeft(), QPoint(240, 84));

    auto *cold = child<QToolButton>("ColdFront");
    auto *warm = child<QToolButton>("WarmFront");
    EXPECT_TRUE(cold->isChecked());
    warm->click();
    EXPECT_TRUE(warm->isChecked());
    EXPECT_FALSE(cold->isChecked());
    warm->click(); // pressing the button that is down keeps it down
    EXPECT_TRUE(warm->isChecked());
}

TEST_F(MainWindowTest, MenuEntriesAndShortcuts)
{
    const std::pair<const char *, QKeySequence> entries[] = {
        {"Preferences1", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"Exit1", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"CopyToClipboard", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"Loadfromfile1", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"Savetofile1", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"About1", QKeySequence()}};
    for (const auto &[name, shortcut] : entries)
        EXPECT_EQ(child<QAction>(name)->shortcut(), shortcut) << name;
    EXPECT_EQ(child<QAction>("Exit1")->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(child<QAction>("Loadfromfile1")->text(), QStringLiteral("&Load from file..."));
}

TEST_F(MainWindowTest, MapMakerGroupKeepsTenPixelsFromTheRightEdge)
{
    form->show();
    for (int width : {696, 1200, 520, 300}) {
        form->resize(width, 517);
        QApplication::processEvents();
        auto *panel1 = child<QWidget>("Panel1");
        auto *panel2 = child<QWidget>("Panel2");
        EXPECT_EQ(panel1->width() - panel2->geometry().right() - 1, 10) << width;
        EXPECT_EQ(child<QLabel>("Label8")->x(), panel2->x()) << width;
        EXPECT_EQ(panel2->y(), 20) << width; // slides over, never wraps
    }
}

TEST_F(MainWindowTest, ExitSavesFieldsAndChartForTheNextStart)
{
    form->show();
    edit("LatEdit")->setText(QStringLiteral("50.25"));
    edit("LonEdit")->setText(QStringLiteral("not a number"));
    edit("ZoomEdit")->setText(QString());
    for (const QPoint p : {QPoint(40, 150), QPoint(200, 120), QPoint(360, 150)})
        form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    form->exitChosen();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(readFile(QStringLiteral("saveddat.txt")),
              QByteArray("50.25\r\nnot a number\r\n800\r\n600\r\n\r\n"));

    MainWindow next(settings, Workspace(dir.path()));
    EXPECT_EQ(next.fieldTexts().lines, form->fieldTexts().lines);
    EXPECT_EQ(next.session().chart().image(), form->session().chart().image());
}

// A press returns before its chart is written to temp2.bmp; a write that fails behind it is
// still reported in the window.
TEST_F(MainWindowTest, WorkspaceWriteFailingBehindAPressIsReported)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("temp2.bmp"))); // cannot be replaced
    form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 10, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.errors.isEmpty(); }, 10000));
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("Cannot create file ")
                                             + dir.filePath(QStringLiteral("temp2.bmp"))))
        << dialogs.errors[0].toStdString();
    EXPECT_EQ(form->session().segment().count(), 1); // the press itself stands
}

TEST_F(MainWindowTest, ExitIntoReadOnlyFolderReportsAndKeepsEverything)
{
    form->show();
    for (const QPoint p : {QPoint(40, 150), QPoint(200, 120), QPoint(360, 150)})
        form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    const QByteArray chartBefore = readFile(QStringLiteral("temp1.bmp"));
    const QByteArray fieldsBefore = readFile(QStringLiteral("saveddat.txt"));
    {
        ReadOnlyFolder readOnly(dir.path());
        form->exitChosen();
    }
    EXPECT_EQ(dialogs.errors,
              QStringList{QStringLiteral("Cannot create file ") + dir.filePath("temp1.bmp")
                          + QStringLiteral(": Permission denied.")});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(readFile(QStringLiteral("temp1.bmp")), chartBefore);
    EXPECT_EQ(readFile(QStringLiteral("saveddat.txt")), fieldsBefore);
}

TEST_F(MainWindowTest, ClosingOtherwiseSavesNothing)
{
    form->show();
    edit("LatEdit")->setText(QStringLiteral("10"));
    form->close();
    EXPECT_EQ(readFile(QStringLiteral("saveddat.txt")),
              QByteArray("45\r\n-93.5\r\n800\r\n600\r\n2.5\r\n"));
}

TEST_F(MainWindowTest, AboutBoxAndPreferencesWindow)
{
    AboutBox about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about.size(), QSize(186, 169));
    auto *ok = control<QPushButton>(about, QStringLiteral("BitBtn1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->geometry(), QRect(52, 104, 75, 25));
    QTimer::singleShot(0, &about, [ok] { ok->click(); });
    PreferencesWindow pref(settings, dir.filePath(QStringLiteral("registry.reg")));
    form->attachWindows(&pref, &about);
    form->showAbout(); // modal: returns once OK closed it
    EXPECT_FALSE(about.isVisible());

    EXPECT_FALSE(pref.isVisible());
    form->showPreferences();
    EXPECT_TRUE(pref.isVisible());
    EXPECT_FALSE(pref.isModal());
    form->showPreferences();
    EXPECT_TRUE(pref.isVisible());
}

TEST_F(MainWindowTest, ClosingTheMainWindowEndsTheProgramWhilePreferencesAreOpen)
{
    PreferencesWindow pref(settings, dir.filePath(QStringLiteral("registry.reg")));
    AboutBox about;
    form->attachWindows(&pref, &about);
    const std::pair<const char *, std::function<void()>> closings[] = {
        {"File > Exit", [this] { form->exitChosen(); }}, {"close box", [this] { form->close(); }}};
    for (const auto &[how, closeMainWindow] : closings) {
        form->show();
        form->showPreferences();
        QTimer stuck; // a program that keeps running ends the loop with 1
        stuck.setSingleShot(true);
        QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        stuck.start(3000);
        QTimer::singleShot(0, form.get(), closeMainWindow);
        EXPECT_EQ(QApplication::exec(), 0) << how;
        EXPECT_FALSE(form->isVisible()) << how;
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}
