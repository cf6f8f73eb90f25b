// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Map > Load, Save and Copy in the window.
#include "RecordingDialogs.h"
#include "app/MainWindow.h"
#include "formats/BmpCodec.h"
#include "support/Controls.h"
#include "workspace/BitmapWriter.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

class ChartFilesMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile fields(path("saveddat.txt"));
        ASSERT_TRUE(fields.open(QIODevice::WriteOnly));
        fields.write("45\r\n-93.5\r\n800\r\n600\r\n2.5\r\n");
        fields.close();
        chart = QImage(60, 40, QImage::Format_RGB32);
        chart.fill(qRgb(0, 102, 204));
        BmpCodec::writeFile(path("temp1.bmp"), chart, 0);
        form = std::make_unique<MainWindow>(settings, Workspace(dir.path()));
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QByteArray read(const char *name) const
    {
        BitmapWriter::finishAll(); // the workspace bitmaps are written behind the editing
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void load(const QString &file)
    {
        dialogs.fileAnswer = file;
        form->loadChartChosen();
    }
    void save(const QString &file)
    {
        dialogs.fileAnswer = file;
        form->saveChartChosen();
    }

    QTemporaryDir dir;
    ChartSettings settings;
    RecordingDialogs dialogs;
    QImage chart;
    std::unique_ptr<MainWindow> form;
};

} // namespace

// The Open dialog first shows every kind of chart, not only GIFs.
TEST_F(ChartFilesMenuTest, DialogsOfferTheFilterEntriesInOrder)
{
    load(QString());
    save(QString());
    ASSERT_EQ(dialogs.openFilters.size(), 6);
    EXPECT_EQ(dialogs.openFilters[0], QStringLiteral("All charts (*.gif *.jpg *.jpeg *.bmp *.png) "
                                                     "(*.gif *.jpg *.jpeg *.bmp *.png)"));
    EXPECT_TRUE(dialogs.openFilters[1].startsWith(QStringLiteral("CompuServe GIF (*.gif)")));
    EXPECT_TRUE(dialogs.openFilters[2].startsWith(QStringLiteral("JPEG (*.jpg,*.jpeg)")));
    EXPECT_TRUE(dialogs.openFilters[3].startsWith(QStringLiteral("Windows bitmap (*.bmp)")));
    EXPECT_TRUE(dialogs.openFilters[4].startsWith(QStringLiteral("PNG (*.png)")));
    EXPECT_TRUE(dialogs.openFilters[5].startsWith(QStringLiteral("All files")));
    ASSERT_EQ(dialogs.saveFilters.size(), 4);
    EXPECT_TRUE(dialogs.saveFilters[1].startsWith(QStringLiteral("JPEG (*.jpg)")));
    EXPECT_TRUE(dialogs.saveFilters[3].startsWith(QStringLiteral("PNG (*.png)")));
    EXPECT_FALSE(QFile::exists(path("temp0.bmp"))); // cancelled: nothing changed
}

// Each dialog says what it is for, so that an export opens in the last export folder and
// not in the folder of the bulletin just imported.
TEST_F(ChartFilesMenuTest, DialogsSayWhatKindOfFileTheyChoose)
{
    form->loadChartChosen();
    form->saveChartChosen();
    form->importBulletinChosen();
    form->exportAnalysisChosen();
    using Kind = Dialogs::FileKind;
    EXPECT_EQ(dialogs.fileKinds,
              (QList<Kind>{Kind::Chart, Kind::Chart, Kind::Bulletin, Kind::Analysis}));
}

TEST_F(ChartFilesMenuTest, SavedGifLoadsBackAsTheNewBaseMap)
{
    save(path("chart.GIF"));
    form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 5, 5);
    EXPECT_EQ(form->session().segment().count(), 1);
    load(path("chart.GIF"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(form->session().chart().image(), chart);
    form->session().finishWrites();
    for (const char *name : {"temp0.bmp", "temp1.bmp", "temp2.bmp"})
        EXPECT_EQ(BmpCodec::readFile(path(name)).image, chart) << name;
    EXPECT_EQ(form->session().segment().count(), 0);
}

// A file of another type loaded nothing, said nothing, and still became the base map.
TEST_F(ChartFilesMenuTest, OtherExtensionsAreRefusedLikeASave)
{
    form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 5, 5);
    load(path("notes.txt"));
    EXPECT_EQ(dialogs.errors,
              QStringList{QStringLiteral("Cannot load %1: a chart can be loaded from .gif, .jpg, "
                                         ".jpeg, .bmp or .png.")
                              .arg(path("notes.txt"))});
    EXPECT_FALSE(QFile::exists(path("temp0.bmp")));
    EXPECT_EQ(form->session().segment().count(), 1);
    dialogs.errors.clear();
    save(path("chart"));
    EXPECT_FALSE(QFile::exists(path("chart")));
    ASSERT_EQ(dialogs.errors.size(), 1); // a save that writes nothing says so
    EXPECT_TRUE(dialogs.errors[0].endsWith(QStringLiteral(".gif, .jpg, .jpeg, .bmp or .png.")));
}

TEST_F(ChartFilesMenuTest, PngSavesAndLoadsBackAsTheNewBaseMap)
{
    save(path("chart.png"));
    form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 5, 5);
    load(path("chart.png"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(form->session().chart().image(), chart);
    form->session().finishWrites();
    EXPECT_EQ(BmpCodec::readFile(path("temp0.bmp")).image, chart);
}

TEST_F(ChartFilesMenuTest, FailedSaveNamesTheFileAndTheReason)
{
    save(path("none/chart.gif"));
    EXPECT_EQ(dialogs.errors,
              QStringList{QStringLiteral("Cannot create file %1: No such file or directory.")
                              .arg(path("none/chart.gif"))});
}

TEST_F(ChartFilesMenuTest, BrokenPictureChangesNothing)
{
    QFile broken(path("broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\xFF\xD8\xFF\xE0\x00\x10JFIF and then nothing");
    broken.close();
    form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 5, 5);
    const QByteArray temp2 = read("temp2.bmp");
    load(path("broken.jpg"));
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("JPEG error #")));
    EXPECT_FALSE(QFile::exists(path("temp0.bmp")));
    EXPECT_EQ(read("temp2.bmp"), temp2);
    EXPECT_EQ(form->session().segment().count(), 1);
}

// A chart named on the command line loads as Map > Load from file loads it, errors included.
TEST_F(ChartFilesMenuTest, ChartFromTheCommandLineLoadsAsTheMenuDoes)
{
    save(path("chart.png"));
    QFile broken(path("broken.gif"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("GIF89a and then nothing");
    broken.close();
    for (const char *name : {"broken.gif", "missing.bmp", "chart.png"}) {
        load(path(name));
        const QStringList menuErrors = dialogs.errors;
        const QImage menuChart = form->session().chart().image();
        dialogs.errors.clear();
        form = std::make_unique<MainWindow>(settings, Workspace(dir.path()));
        form->loadChart(path(name));
        EXPECT_EQ(dialogs.errors, menuErrors) << name;
        EXPECT_EQ(form->session().chart().image(), menuChart) << name;
        dialogs.errors.clear();
    }
    EXPECT_EQ(form->session().chart().image(), chart);
}

TEST_F(ChartFilesMenuTest, BitmapLoadTakesSizeAndFormat)
{
    QImage palette(7, 3, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(1, 2, 3), qRgb(250, 250, 0)});
    palette.fill(1);
    BmpCodec::writeFile(path("small.BMP"), palette, 1);
    load(path("small.BMP"));
    EXPECT_EQ(form->session().chart().width(), 7);
    EXPECT_EQ(form->session().chart().paletteBits(), 1);
    EXPECT_EQ(form->session().view().chartWidth, 800); // the view keeps its size
    EXPECT_EQ(control<QWidget>(*form, QStringLiteral("Image1"))->size(), QSize(7, 3));
}

TEST_F(ChartFilesMenuTest, CopyPutsTheChartOnTheClipboard)
{
    form->copyToClipboard();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), chart);
}
