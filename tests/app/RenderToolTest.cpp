// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// brimlark-render against the window: the same steps give the same chart, pixel for pixel.
#include "RecordingDialogs.h"
#include "app/TForm1.h"
#include "formats/BmpCodec.h"
#include "support/Controls.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

struct ToolRun {
    int status;
    QString errors;
};

ToolRun render(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(BRIMLARK_RENDER), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

class RenderToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The window reads the map data from its own folder: link the shipped files there.
        for (const QString &name : QDir(QStringLiteral(BRIMLARK_DATA_DIR))
                                       .entryList({QStringLiteral("map.*")}, QDir::Files))
            QFile::link(QStringLiteral(BRIMLARK_DATA_DIR "/") + name, dir.filePath(name));
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    ChartSettings settings;
    RecordingDialogs dialogs;
};

} // namespace

TEST_F(RenderToolTest, SameChartAsTheWindow)
{
    TForm1 form(settings, Workspace(dir.path()));
    dialogs.errors.clear(); // a first start: no saved fields
    const char *names[] = {"LatEdit", "LonEdit", "XEdit", "YEdit", "ZoomEdit"};
    const char *texts[] = {"45", "-93.5", "240", "180", "2.5"};
    for (int i = 0; i < 5; ++i)
        control<QLineEdit>(form, QLatin1String(names[i]))->setText(QLatin1String(texts[i]));
    form.generateClicked();
    const auto press = [&](int x, int y) {
        form.chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, x, y);
    };
    const auto click = [&](const char *name) {
        control<QAbstractButton>(form, QLatin1String(name))->click();
    };
    click("WarmFront");
    press(20, 90);
    press(120, 60);
    press(220, 90);
    click("LButton");
    press(120, 130);
    click("NewSegment");
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u' ').toStdString();

    const ToolRun run = render({"--center", "45,-93.5", "--zoom", "2.5", "--size", "240x180",
                                "--data", dir.path(), "--draw", "warm:20,90;120,60;220,90",
                                "--marker", "L:120,130", "-o", path("cli.bmp"), "--quiet"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_EQ(BmpCodec::readFile(path("cli.bmp")).image, form.session().chart().image());
}

TEST_F(RenderToolTest, UsageErrorsAndFailures)
{
    EXPECT_EQ(render({"--center", "45,-93", "--zoom", "1", "--size", "80x60"}).status, 2);
    const ToolRun png =
        render({"--center", "45,-93", "--zoom", "1", "--size", "80x60", "-o", path("chart.png")});
    EXPECT_EQ(png.status, 2);
    EXPECT_TRUE(png.errors.contains(QStringLiteral(".gif, .jpg, .jpeg or .bmp")));
    EXPECT_FALSE(QFile::exists(path("chart.png")));
    EXPECT_EQ(render({"--draw", "cold:1,2;3", "-o", path("x.bmp")}).status, 2);
    EXPECT_EQ(render({"--frobnicate", "1", "-o", path("x.bmp")}).status, 2);

    QDir(dir.path()).mkdir(QStringLiteral("empty"));
    const ToolRun missing = render({"--center", "45,-93", "--zoom", "1", "--size", "80x60",
                                    "--data", path("empty"), "-o", path("x.bmp")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errors.trimmed(),
              QStringLiteral("brimlark-render: File not found: ") + path("empty/map.gin"));
    EXPECT_FALSE(QFile::exists(path("x.bmp")));

    const ToolRun unwritable = render({"--center", "0,0", "--zoom", "1", "--size", "8x6", "-o",
                                       path("none/x.gif"), "--data", dir.path()});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.errors.trimmed(),
              QStringLiteral("brimlark-render: Cannot create file %1: No such file or directory")
                  .arg(path("none/x.gif")));
}

// A preferences file that was asked for but cannot be read fails the run: a chart in the
// default colours would pass for the one wanted.
TEST_F(RenderToolTest, PreferencesFileThatCannotBeReadIsAnError)
{
    QFile oversized(path("big.reg"));
    ASSERT_TRUE(oversized.open(QIODevice::WriteOnly));
    oversized.write(QByteArray(16 * 1024 * 1024 + 1, ';'));
    oversized.close();
    QDir(dir.path()).mkdir(QStringLiteral("folder.reg"));
    const std::pair<const char *, const char *> cases[] = {
        {"missing.reg", "No such file or directory"},
        {"big.reg", "larger than 16 MiB, too large for a preferences file"},
        {"folder.reg", "Is a directory"}};
    for (const auto &[name, reason] : cases) {
        const ToolRun run = render({"--center", "0,0", "--zoom", "1", "--size", "8x6", "--prefs",
                                    path(name), "--data", dir.path(), "-o", path("x.bmp")});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.errors.trimmed(),
                  QStringLiteral("brimlark-render: Cannot read the preferences file %1: %2")
                      .arg(path(name), QLatin1String(reason)));
        EXPECT_FALSE(QFile::exists(path("x.bmp"))) << name;
    }
}

TEST_F(RenderToolTest, PreferencesComeFromAnExportFileNotTheUsersStore)
{
    QFile prefs(path("prefs.reg"));
    ASSERT_TRUE(prefs.open(QIODevice::WriteOnly));
    prefs.write("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brimlark\\General]\r\n"
                "\"OceanColor\"=\"255\"\r\n\"International\"=\"0\"\r\n\"State\"=\"0\"\r\n"
                "\"Lake\"=\"0\"\r\n\"Island\"=\"0\"\r\n\"Coast\"=\"0\"\r\n\"County\"=\"0\"\r\n"
                "\"Highway\"=\"0\"\r\n\"GridSelect\"=\"0\"\r\n\"Border\"=\"0\"\r\n");
    prefs.close();
    const ToolRun run = render({"--center", "0,0", "--zoom", "1", "--size", "8x6", "--prefs",
                                path("prefs.reg"), "-o", path("red.bmp")});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    QImage red(8, 6, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    EXPECT_EQ(BmpCodec::readFile(path("red.bmp")).image, red);
}
