// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The main window's creation from the workspace files, good and bad.
#include "RecordingDialogs.h"
#include "app/TForm1.h"
#include "canvas/BmpCodec.h"
#include "support/Pixels.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class StartupTest : public ::testing::Test
{
protected:
    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void writeChart(const QImage &image)
    {
        BmpCodec::writeFile(dir.filePath(QStringLiteral("temp1.bmp")), image, 0);
    }
    std::unique_ptr<TForm1> start()
    {
        return std::make_unique<TForm1>(settings, Workspace(dir.path()));
    }
    static QString text(TForm1 &form, const char *name)
    {
        return form.findChild<QLineEdit *>(QLatin1String(name))->text();
    }

    QTemporaryDir dir;
    ChartSettings settings;
    RecordingDialogs dialogs;
};

QImage sample()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    image.setPixel(39, 29, qRgb(1, 2, 3));
    return image;
}

} // namespace

TEST_F(StartupTest, FirstStartSaysFileNotFoundAndStillOpens)
{
    auto form = start();
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("File not found.")});
    EXPECT_TRUE(form->chart().isEmpty());
    EXPECT_EQ(form->segment().count(), 0);
    EXPECT_EQ(form->currentTool(), 1);
    EXPECT_FALSE(text(*form, "LatEdit").isEmpty()); // a first view to generate
    EXPECT_GT(form->view().ChartWidth, 0);
}

TEST_F(StartupTest, FieldsViewAndChartComeFromTheWorkspace)
{
    writeFile(QStringLiteral("saveddat.txt"), "45\r\n-93.5\r\n800\r\n600\r\n2.5\r\n");
    writeChart(sample());
    auto form = start();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(text(*form, "LatEdit"), QStringLiteral("45"));
    EXPECT_EQ(text(*form, "LonEdit"), QStringLiteral("-93.5"));
    EXPECT_EQ(text(*form, "XEdit"), QStringLiteral("800"));
    EXPECT_EQ(text(*form, "YEdit"), QStringLiteral("600"));
    EXPECT_EQ(text(*form, "ZoomEdit"), QStringLiteral("2.5"));
    EXPECT_EQ(form->view().CenterLat, 45.0);
    EXPECT_EQ(form->view().CenterLon, -93.5);
    EXPECT_EQ(form->view().ChartWidth, 800);
    EXPECT_EQ(form->view().ChartHeight, 600);
    EXPECT_EQ(form->view().Zoom, 2.5);
    EXPECT_EQ(form->chart().image(), sample());
    EXPECT_EQ(form->findChild<QWidget *>(QStringLiteral("Image1"))->size(), QSize(40, 30));
}

TEST_F(StartupTest, HalfWidthRoundsToEvenAndTheTextStays)
{
    writeFile(QStringLiteral("saveddat.txt"), "0\r\n0\r\n640.5\r\n641.5\r\n1\r\n");
    writeChart(sample());
    auto form = start();
    EXPECT_EQ(form->view().ChartWidth, 640);
    EXPECT_EQ(form->view().ChartHeight, 642);
    EXPECT_EQ(text(*form, "XEdit"), QStringLiteral("640.5"));
}

TEST_F(StartupTest, GarbageAndHugeNumbersGoIntoTheFieldsUnchanged)
{
    const QByteArray longLine(1 << 20, '5');
    writeFile(QStringLiteral("saveddat.txt"), "  12abc\nnan\r\n1e300\r\n-1e300\r\n" + longLine);
    writeChart(sample());
    auto form = start();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(text(*form, "LatEdit"), QStringLiteral("  12abc"));
    EXPECT_EQ(text(*form, "LonEdit"), QStringLiteral("nan"));
    EXPECT_EQ(text(*form, "XEdit"), QStringLiteral("1e300"));
    EXPECT_EQ(text(*form, "ZoomEdit").size(), 1 << 20);
    EXPECT_EQ(form->view().ChartWidth, std::numeric_limits<qint32>::max());
    EXPECT_EQ(form->view().ChartHeight, std::numeric_limits<qint32>::min());
}

TEST_F(StartupTest, ShortFileGivesEmptyTextsForTheMissingLines)
{
    writeFile(QStringLiteral("saveddat.txt"), "45\r\n-93");
    writeChart(sample());
    auto form = start();
    EXPECT_EQ(text(*form, "LonEdit"), QStringLiteral("-93"));
    EXPECT_TRUE(text(*form, "XEdit").isEmpty());
    EXPECT_EQ(form->view().Zoom, 0.0);
}

TEST_F(StartupTest, MissingOrDamagedChartIsReportedAndTheWindowOpens)
{
    writeFile(QStringLiteral("saveddat.txt"), "45\r\n-93.5\r\n800\r\n600\r\n2.5\r\n");
    auto missing = start();
    EXPECT_EQ(dialogs.errors,
              QStringList{QStringLiteral("Cannot open file ") + dir.filePath("temp1.bmp") + u'.'});
    EXPECT_EQ(text(*missing, "LatEdit"), QStringLiteral("45"));
    EXPECT_EQ(missing->currentTool(), 1);

    dialogs.errors.clear();
    writeFile(QStringLiteral("temp1.bmp"), "BM" + QByteArray(100, '\x7f'));
    auto damaged = start();
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("Bitmap image is not valid. The chart "
                                                         "file was kept as ")
                                          + dir.filePath("temp1.bmp.bad") + u'.'});
    EXPECT_TRUE(damaged->chart().isEmpty());
}

// With "saveddat.txt" missing the chart was left unread, and Exit then wrote an empty chart
// over it.
TEST_F(StartupTest, ChartIsReadEvenWhenTheSavedFieldsAreMissing)
{
    writeChart(sample());
    auto form = start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("File not found")));
    EXPECT_EQ(form->chart().image(), sample());
    form->findChild<QAction *>(QStringLiteral("Exit1"))->trigger();
    EXPECT_EQ(BmpCodec::readFile(dir.filePath("temp1.bmp")).image, sample());
}

// A chart file that cannot be read is moved aside, replacing an older one, so that nothing
// written later destroys it.
TEST_F(StartupTest, UnreadableChartIsKeptBesideTheNewOne)
{
    writeFile(QStringLiteral("saveddat.txt"), "45\r\n-93.5\r\n800\r\n600\r\n2.5\r\n");
    const QByteArray damaged = "BM" + QByteArray(5000, '\x11');
    writeFile(QStringLiteral("temp1.bmp"), damaged);
    writeFile(QStringLiteral("temp1.bmp.bad"), "older");
    auto form = start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(dir.filePath("temp1.bmp.bad")));
    form->findChild<QAction *>(QStringLiteral("Exit1"))->trigger();
    QFile kept(dir.filePath("temp1.bmp.bad"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), damaged);
    EXPECT_TRUE(QFile::exists(dir.filePath("temp1.bmp")));
}

// Writes killed half-way left their temporary files behind, hundreds of megabytes of them.
TEST_F(StartupTest, StaleTemporaryFilesOfOurWritesAreRemoved)
{
    const QStringList stale = {"temp1.bmp.a1B2c3", "temp0.bmp.zzzzzz", "saveddat.txt.Q9q9Q9"};
    const QStringList kept = {"temp2.bmp.fresh1", "temp1.bmp.bad", "notes.txt.abcdef",
                              "temp1.bmp.toolong7"};
    for (const QString &name : stale + kept) {
        writeFile(name, "x");
        if (name != QStringLiteral("temp2.bmp.fresh1")) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                         QFileDevice::FileModificationTime));
        }
    }
    auto form = start();
    for (const QString &name : stale)
        EXPECT_FALSE(QFile::exists(dir.filePath(name))) << name.toStdString();
    for (const QString &name : kept)
        EXPECT_TRUE(QFile::exists(dir.filePath(name))) << name.toStdString();
}

TEST_F(StartupTest, UnreadableSavedDataIsAnInputOutputError)
{
    QDir(dir.path()).mkdir(QStringLiteral("saveddat.txt")); // a folder cannot be read as text
    auto form = start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("I/O error ")))
        << dialogs.errors[0].toStdString();
}
