// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The main window's creation from the workspace files, good and bad.
#include "RecordingDialogs.h"
#include "app/MainWindow.h"
#include "formats/BmpCodec.h"
#include "support/Controls.h"
#include "support/Pixels.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimlark;

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
    std::unique_ptr<MainWindow> start()
    {
        return std::make_unique<MainWindow>(settings, Workspace(dir.path()));
    }
    static QString text(MainWindow &form, const char *name)
    {
        return control<QLineEdit>(form, QLatin1String(name))->text();
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

// A first start greeted a new user with "File not found." and no file named.
TEST_F(StartupTest, FirstStartOpensSilentlyInANewWorkspace)
{
    auto form = start();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'|').toStdString();
    EXPECT_EQ(control<QLabel>(*form, QStringLiteral("StatusText"))->text(),
              QStringLiteral("New workspace in ") + QDir::toNativeSeparators(dir.path() + u'/'));
    EXPECT_TRUE(form->session().chart().isEmpty());
    EXPECT_EQ(form->session().segment().count(), 0);
    EXPECT_EQ(int(form->session().lineTool()), 1);
    EXPECT_FALSE(text(*form, "LatEdit").isEmpty()); // a first view to generate
    EXPECT_GT(form->session().view().chartWidth, 0);
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
    EXPECT_EQ(form->session().view().centerLat, 45.0);
    EXPECT_EQ(form->session().view().centerLon, -93.5);
    EXPECT_EQ(form->session().view().chartWidth, 800);
    EXPECT_EQ(form->session().view().chartHeight, 600);
    EXPECT_EQ(form->session().view().zoom, 2.5);
    EXPECT_EQ(form->session().chart().image(), sample());
    EXPECT_EQ(control<QWidget>(*form, QStringLiteral("Image1"))->size(), QSize(40, 30));
}

TEST_F(StartupTest, HalfWidthRoundsToEvenAndTheTextStays)
{
    writeFile(QStringLiteral("saveddat.txt"), "0\r\n0\r\n640.5\r\n641.5\r\n1\r\n");
    writeChart(sample());
    auto form = start();
    EXPECT_EQ(form->session().view().chartWidth, 640);
    EXPECT_EQ(form->session().view().chartHeight, 642);
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
    EXPECT_EQ(form->session().view().chartWidth, std::numeric_limits<qint32>::max());
    EXPECT_EQ(form->session().view().chartHeight, std::numeric_limits<qint32>::min());
}

TEST_F(StartupTest, ShortFileGivesEmptyTextsForTheMissingLines)
{
    writeFile(QStringLiteral("saveddat.txt"), "45\r\n-93");
    writeChart(sample());
    auto form = start();
    EXPECT_EQ(text(*form, "LonEdit"), QStringLiteral("-93"));
    EXPECT_TRUE(text(*form, "XEdit").isEmpty());
    EXPECT_EQ(form->session().view().zoom, 0.0);
}

TEST_F(StartupTest, MissingOrDamagedChartIsReportedAndTheWindowOpens)
{
    writeFile(QStringLiteral("saveddat.txt"), "45\r\n-93.5\r\n800\r\n600\r\n2.5\r\n");
    auto missing = start();
    EXPECT_EQ(dialogs.errors,
              QStringList{QStringLiteral("Cannot open file ") + dir.filePath("temp1.bmp") + u'.'});
    EXPECT_EQ(text(*missing, "LatEdit"), QStringLiteral("45"));
    EXPECT_EQ(int(missing->session().lineTool()), 1);

    dialogs.errors.clear();
    writeFile(QStringLiteral("temp1.bmp"), "BM" + QByteArray(100, '\x7f'));
    auto damaged = start();
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("Bitmap image is not valid. The chart "
                                                         "file was kept as ")
                                          + dir.filePath("temp1.bmp.bad") + u'.'});
    EXPECT_TRUE(damaged->session().chart().isEmpty());
}

TEST_F(StartupTest, UnreadableSavedDataIsAnInputOutputError)
{
    QDir(dir.path()).mkdir(QStringLiteral("saveddat.txt")); // a folder cannot be read as text
    auto form = start();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("I/O error ")))
        << dialogs.errors[0].toStdString();
}
