// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// brimlark-render against the window: the same steps give the same chart, pixel for pixel.
#include "RecordingDialogs.h"
#include "app/MainWindow.h"
#include "formats/BmpCodec.h"
#include "formats/PngCodec.h"
#include "support/Controls.h"
#include "support/Fifo.h"
#include "support/PageFaults.h"
#include "support/Pixels.h"
#include "workspace/ViewStamp.h"
#include "workspace/WorldFiles.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

using namespace brimlark;

namespace
{

struct ToolRun {
    int status;
    QString errors;
    QString output;
};

ToolRun render(const QStringList &arguments,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(BRIMLARK_RENDER), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError()),
            QString::fromLocal8Bit(process.readAllStandardOutput())};
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
    MainWindow form(settings, Workspace(dir.path()));
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

// Redraw analysis here after Generate for another view puts an imported bulletin's features
// where brimlark-render puts the bulletin for that view, to the pixel; the analysis exported
// as GeoJSON from the first view draws the same with --analysis.
TEST_F(RenderToolTest, RedrawOnASecondViewIsTheAnalysisDrawnForIt)
{
    QFile bulletin(path("fronts.txt"));
    ASSERT_TRUE(bulletin.open(QIODevice::WriteOnly));
    bulletin.write("VALID 062818Z\nHIGHS 1022 4250950\nLOWS 1002 4650880\n"
                   "COLD WK 4650880 4420900 4200940 4050990\nWARM 4650880 4530830 4400800\n$$\n");
    bulletin.close();
    MainWindow form(settings, Workspace(dir.path()));
    dialogs.errors.clear(); // a first start: no saved fields
    const auto generate = [&](const std::array<const char *, 5> &texts) {
        const char *names[] = {"LatEdit", "LonEdit", "XEdit", "YEdit", "ZoomEdit"};
        for (size_t i = 0; i < 5; ++i)
            control<QLineEdit>(form, QLatin1String(names[i]))->setText(QLatin1String(texts[i]));
        form.generateClicked();
    };
    generate({"45", "-93.5", "240", "180", "2.5"});
    dialogs.fileAnswer = path("fronts.txt");
    form.importBulletinChosen();
    dialogs.fileAnswer = path("fronts.geojson");
    form.exportAnalysisChosen();
    generate({"40", "-90", "300", "200", "1.2"});
    form.redrawAnalysisChosen();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u' ').toStdString();
    EXPECT_EQ(form.session().features().size(), 4u);

    const std::pair<const char *, const char *> runs[] = {{"--bulletin", "fronts.txt"},
                                                          {"--analysis", "fronts.geojson"}};
    for (const auto &[option, file] : runs) {
        const ToolRun run = render({"--center", "40,-90", "--zoom", "1.2", "--size", "300x200",
                                    "--data", dir.path(), QLatin1String(option), path(file), "-o",
                                    path("cli.bmp"), "--quiet"});
        ASSERT_EQ(run.status, 0) << run.errors.toStdString();
        EXPECT_EQ(BmpCodec::readFile(path("cli.bmp")).image, form.session().chart().image())
            << option;
    }
}

TEST_F(RenderToolTest, UsageErrorsAndFailures)
{
    EXPECT_EQ(render({"--center", "45,-93", "--zoom", "1", "--size", "80x60"}).status, 2);
    const ToolRun tiff =
        render({"--center", "45,-93", "--zoom", "1", "--size", "80x60", "-o", path("chart.tif")});
    EXPECT_EQ(tiff.status, 2);
    EXPECT_TRUE(tiff.errors.contains(QStringLiteral(".gif, .jpg, .jpeg, .bmp, .png")))
        << tiff.errors.toStdString();
    EXPECT_FALSE(QFile::exists(path("chart.tif")));
    const ToolRun unknownInput = render({"--input", path("chart.tif"), "-o", path("x.bmp")});
    EXPECT_EQ(unknownInput.status, 2);
    EXPECT_TRUE(unknownInput.errors.contains(QStringLiteral("--input chart must end in")))
        << unknownInput.errors.toStdString();
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

    // A file that is read but holds no preferences (not a registry export, or another key).
    QFile notPreferences(path("notes.reg"));
    ASSERT_TRUE(notPreferences.open(QIODevice::WriteOnly));
    notPreferences.write("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"A\"=\"1\"\r\n");
    notPreferences.close();
    const ToolRun run = render({"--center", "0,0", "--zoom", "1", "--size", "8x6", "--prefs",
                                path("notes.reg"), "--data", dir.path(), "-o", path("x.bmp")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors.trimmed(),
              QStringLiteral("brimlark-render: %1 holds no preferences: it has no section "
                             "[HKEY_CURRENT_USER\\Software\\Brimlark\\General]")
                  .arg(path("notes.reg")));
    EXPECT_FALSE(QFile::exists(path("x.bmp")));
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

TEST_F(RenderToolTest, HelpAndVersionGoToStandardOutput)
{
    for (const char *option : {"--help", "-h"}) {
        const ToolRun run = render({option});
        EXPECT_EQ(run.status, 0) << option;
        EXPECT_TRUE(run.output.startsWith(QStringLiteral("usage: brimlark-render"))) << option;
        EXPECT_TRUE(run.errors.isEmpty()) << option << ": " << run.errors.toStdString();
    }
    // Asked for among other options, even incomplete ones, help is still the answer.
    const ToolRun late = render({"--zoom", "1", "--help"});
    EXPECT_EQ(late.status, 0);
    EXPECT_TRUE(late.output.startsWith(QStringLiteral("usage: brimlark-render")));

    const ToolRun version = render({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.errors.isEmpty()) << version.errors.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^brimlark-render [0-9]+\\.[0-9]+\\S*\n$"))
                    .match(version.output)
                    .hasMatch())
        << version.output.toStdString();
}

// An unknown option is named as such, whether or not a value follows it, and a usage error
// prints nothing on standard output.
TEST_F(RenderToolTest, UnknownOptionsAreNamed)
{
    const QStringList cases[] = {
        {"-o", path("x.bmp"), "--bogus"},
        {"--bogus", "1", "-o", path("x.bmp")},
        {"--center", "0,0", "--zoom", "1", "--size", "8x6", "-o", path("x.bmp"), "--bogus"}};
    for (const QStringList &arguments : cases) {
        const ToolRun run = render(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(
            run.errors.startsWith(QStringLiteral("brimlark-render: unknown option '--bogus'\n")))
            << run.errors.toStdString();
        EXPECT_TRUE(run.output.isEmpty());
    }
    const ToolRun stray = render({"--center", "0,0", "--zoom", "1", "--size", "8x6", "chart.bmp"});
    EXPECT_EQ(stray.status, 2);
    EXPECT_TRUE(stray.errors.contains(QStringLiteral("'chart.bmp'"))) << stray.errors.toStdString();
    EXPECT_FALSE(QFile::exists(path("x.bmp")));
}

// Values out of range or not numbers at all are usage errors before anything is drawn.
TEST_F(RenderToolTest, ValuesOutOfRangeAreUsageErrors)
{
    const std::pair<QStringList, const char *> cases[] = {
        {{"--center", "90.5,0"}, "latitude must be within -90 and 90"},
        {{"--center", "-91,0"}, "latitude must be within -90 and 90"},
        {{"--center", "0,180.01"}, "longitude must be within -180 and 180"},
        {{"--center", "0,-181"}, "longitude must be within -180 and 180"},
        {{"--center", "north,0"}, "--center wants a latitude"},
        {{"--center", "nan,0"}, "--center wants a latitude"},
        {{"--center", "0,inf"}, "--center wants a longitude"},
        {{"--center", "45"}, "--center wants LAT,LON"},
        {{"--zoom", "0"}, "--zoom must be above 0"},
        {{"--zoom", "-2"}, "--zoom must be above 0"},
        {{"--zoom", "1x"}, "--zoom wants a zoom factor"},
        {{"--size", "0x6"}, "at least 1 pixel"},
        {{"--size", "8x-6"}, "at least 1 pixel"},
        {{"--size", "8.5x6"}, "--size wants WxH in whole pixels"},
        {{"--size", "eightxsix"}, "--size wants WxH in whole pixels"},
        {{"--size", "40000x1"}, "too large"},
        {{"--size", "20000x20000"}, "too large"},
        {{"--marker-geo", "L:nan,0"}, "--marker-geo wants a position"},
        {{"--line-color", "Purple"},
         "unknown --line-color 'Purple' (Black, Green, Red, "
         "Yellow, Blue)"},
        {{"--line-width", "6 px"}, "--line-width wants"},
        {{"--line-width", "0 px"}, "--line-width wants"},
        {{"--line-width", "thick"}, "--line-width wants"},
        {{"--first-guess", "pressure"}, "--first-guess analyses observations: give --observations"},
        {{"--observations", "o.csv", "--first-guess", "wind"},
         R"(--first-guess: The first guess analyses pressure, temperature, dewpoint, not "wind")"},
        {{"--observations", "o.csv", "--first-guess", "pressure:0.1"},
         "The interval of the isolines must be a number from 0.5 to 50, not \"0.1\""},
    };
    for (const auto &[options, message] : cases) {
        QStringList arguments{"--center", "0,0", "--zoom", "1", "--size", "8x6"};
        arguments << options << "--data" << dir.path() << "-o" << path("x.bmp");
        const ToolRun run = render(arguments);
        EXPECT_EQ(run.status, 2) << options.join(u' ').toStdString();
        EXPECT_TRUE(run.errors.startsWith(QStringLiteral("brimlark-render: ")))
            << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(QLatin1String(message)))
            << options.join(u' ').toStdString() << ": " << run.errors.toStdString();
        EXPECT_FALSE(QFile::exists(path("x.bmp"))) << options.join(u' ').toStdString();
    }
}

// The edges of the ranges are views like any other, and a colour name in any case is the
// panel's colour.
TEST_F(RenderToolTest, ValuesAtTheLimitsAreAccepted)
{
    const QStringList cases[] = {
        {"--center", "-90,-180", "--zoom", "0.01", "--size", "1x1"},
        {"--center", "90,180", "--zoom", "1", "--size", "8x6"},
        {"--center", "0,0", "--zoom", "1", "--size", "8x6", "--line-color", "green", "--line-width",
         "5 px", "--draw", "isopleth:0,0;7,5"},
    };
    for (const QStringList &options : cases) {
        const ToolRun run =
            render(QStringList(options) << "--data" << dir.path() << "-o" << path("x.bmp"));
        EXPECT_EQ(run.status, 0) << options.join(u' ').toStdString() << ": "
                                 << run.errors.toStdString();
    }
}

TEST_F(RenderToolTest, WritesPng)
{
    const QStringList view{"--center", "45,-93", "--zoom",   "2",      "--size",
                           "80x60",    "--data", dir.path(), "--draw", "cold:10,30;70,30"};
    const ToolRun png = render(QStringList(view) << "-o" << path("chart.png"));
    ASSERT_EQ(png.status, 0) << png.errors.toStdString();
    ASSERT_EQ(render(QStringList(view) << "-o" << path("chart.bmp")).status, 0);
    const QImage written(path("chart.png"), "PNG");
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32),
              BmpCodec::readFile(path("chart.bmp")).image.convertToFormat(QImage::Format_RGB32));
}

// Without a runtime folder in the environment, as under cron, text still needs the GUI
// machinery; the run says nothing on standard error.
TEST_F(RenderToolTest, SuccessfulRunIsSilent)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const ToolRun run =
        render({"--center", "45,-93", "--zoom", "2", "--size", "80x60", "--data", dir.path(),
                "--marker", "H:40,30", "--text", "10,10:1012", "-o", path("x.gif")},
               environment);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
    EXPECT_TRUE(run.output.isEmpty()) << run.output.toStdString();
}

// A file that cannot be read or written is named, with the reason.
TEST_F(RenderToolTest, FileErrorsNameTheFileAndTheReason)
{
    QFile plain(path("plain.txt"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QDir(dir.path()).mkdir(QStringLiteral("folder.bmp"));
    const QStringList view{"--center", "0,0", "--zoom", "1", "--size", "8x6", "--data", dir.path()};
    const std::pair<QStringList, QString> cases[] = {
        {{"--input", path("missing.gif"), "-o", path("x.bmp")}, path("missing.gif")},
        {QStringList(view) << "--bulletin" << path("missing.txt") << "-o" << path("x.bmp"),
         path("missing.txt")},
        {QStringList(view) << "-o" << path("plain.txt/x.bmp"), path("plain.txt/x.bmp")},
        {QStringList(view) << "-o" << path("folder.bmp"), path("folder.bmp")},
    };
    for (const auto &[arguments, file] : cases) {
        const ToolRun run = render(arguments);
        EXPECT_EQ(run.status, 1) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.errors.startsWith(QStringLiteral("brimlark-render: ")))
            << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(file)) << run.errors.toStdString();
        // The reason follows the name.
        EXPECT_TRUE(QRegularExpression(QRegularExpression::escape(file) + QStringLiteral(": \\w"))
                        .match(run.errors)
                        .hasMatch())
            << run.errors.toStdString();
        EXPECT_EQ(run.errors.count(u'\n'), 1) << run.errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("x.bmp")));
}

// A run whose analysis cannot be exported, because a bulletin cannot hold a position or the
// file cannot be written, still writes the chart, and fails naming the feature or the file.
// Features left out off the chart are said, and the run still succeeds.
TEST_F(RenderToolTest, FailedAnalysisExportStillWritesTheChartAndLeftOutFeaturesAreSaid)
{
    QFile plain(path("plain.txt"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QStringList view{"--zoom", "0.6", "--size", "80x60", "--data", dir.path()};
    const std::pair<QStringList, QString> failures[] = {
        {QStringList(view) << "--center"
                           << "-40,150"
                           << "--marker-geo"
                           << "L:-45,150"
                           << "--export-analysis" << path("south.txt") << "-o" << path("x.png"),
         QStringLiteral("brimlark-render: Cannot write the low at -45, 150 in a bulletin: its "
                        "position -45, 150 is south of the equator, and a bulletin holds only 0 "
                        "to 90 N\n")},
        {QStringList(view) << "--center"
                           << "45,-95"
                           << "--marker-geo"
                           << "L:45,-95"
                           << "--export-analysis" << path("plain.txt/a.txt") << "-o"
                           << path("x.png"),
         QStringLiteral("brimlark-render: Cannot create file %1: Not a directory\n")
             .arg(path("plain.txt/a.txt"))},
    };
    for (const auto &[arguments, said] : failures) {
        QFile::remove(path("x.png"));
        const ToolRun run = render(arguments);
        EXPECT_EQ(run.status, 1) << run.errors.toStdString();
        EXPECT_EQ(run.errors, said);
        EXPECT_EQ(QImage(path("x.png")).size(), QSize(80, 60)) << run.errors.toStdString();
        EXPECT_FALSE(QFile::exists(path("south.txt")));
    }

    const ToolRun behind = render(QStringList(view) << "--center"
                                                    << "45,-95"
                                                    << "--marker-geo"
                                                    << "L:-45,85"
                                                    << "-o" << path("x.png"));
    EXPECT_EQ(behind.status, 0);
    EXPECT_EQ(behind.errors, QStringLiteral("brimlark-render: left out 1 feature(s) of "
                                            "--draw-geo and --marker-geo off the chart\n"));
    EXPECT_EQ(QImage(path("x.png")).size(), QSize(80, 60));
}

// Features at east longitudes go out in a bulletin as degrees west beyond 180 and come back
// in where they were.
TEST_F(RenderToolTest, AnalysisAtEastLongitudesRoundTrips)
{
    const QStringList view{"--center", "50,180", "--zoom", "0.6",
                           "--size",   "80x60",  "--data", dir.path()};
    const ToolRun out = render(QStringList(view)
                               << "--marker-geo"
                               << "L:55,165"
                               << "--draw-geo"
                               << "cold:50,175;45,-175"
                               << "--export-analysis" << path("east.txt") << "-o" << path("x.png"));
    ASSERT_EQ(out.status, 0) << out.errors.toStdString();
    EXPECT_TRUE(QFile::exists(path("x.png")));
    const ToolRun back =
        render(QStringList(view) << "--bulletin" << path("east.txt") << "--export-analysis"
                                 << path("again.geojson") << "-o" << path("y.png"));
    ASSERT_EQ(back.status, 0) << back.errors.toStdString();
    QFile json(path("again.geojson"));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QByteArray text = json.readAll();
    EXPECT_TRUE(text.contains("[165,55]")) << text.toStdString();
    EXPECT_TRUE(text.contains("[175,50]")) << text.toStdString();
    EXPECT_TRUE(text.contains("[-175,45]")) << text.toStdString();
}

// A usage error is its message and where to find help, two lines, without the whole usage.
TEST_F(RenderToolTest, UsageErrorIsOneLineAndWhereToFindHelp)
{
    const std::pair<QStringList, const char *> cases[] = {
        {{"--bogus", "1", "-o", path("x.bmp")}, "unknown option '--bogus'"},
        {{"--center", "0,0", "--zoom", "1", "--size", "8x6"}, "no output file (-o OUTPUT)"},
        {{"--zoom=x", "-o", path("x.bmp")}, "--zoom wants a zoom factor, not 'x'"},
        {{"--quiet=1", "-o", path("x.bmp")}, "--quiet takes no value"},
        {{"--bogus=1", "-o", path("x.bmp")}, "unknown option '--bogus'"},
        {{"--center", "0,0", "--zoom", "1", "--size", "8x6", "--export-analysis", path("x.kml"),
          "-o", path("x.bmp")},
         "the --export-analysis file must end in .txt or .bul (a coded bulletin), .geojson or "
         ".json (GeoJSON): '"},
    };
    for (const auto &[arguments, message] : cases) {
        const ToolRun run = render(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(u' ').toStdString();
        const QStringList lines = run.errors.split(u'\n');
        ASSERT_EQ(lines.size(), 3) << run.errors.toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("brimlark-render: ") + message))
            << run.errors.toStdString();
        EXPECT_EQ(lines[1], QStringLiteral("Try 'brimlark-render --help'."));
        EXPECT_TRUE(lines[2].isEmpty());
        EXPECT_TRUE(run.output.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(path("x.bmp")));
    EXPECT_FALSE(QFile::exists(path("x.kml")));
}

// --name=value is --name value: the same chart either way.
TEST_F(RenderToolTest, NameEqualsValueIsTheOptionAndItsValue)
{
    const ToolRun apart =
        render({"--center", "45,-93", "--zoom", "2", "--size", "80x60", "--data", dir.path(),
                "--draw", "cold:10,30;70,30", "--line-width", "2 px", "-o", path("apart.bmp")});
    ASSERT_EQ(apart.status, 0) << apart.errors.toStdString();
    const ToolRun joined =
        render({"--center=45,-93", "--zoom=2", "--size=80x60", "--data=" + dir.path(),
                "--draw=cold:10,30;70,30", "--line-width=2 px", "-o", path("joined.bmp")});
    ASSERT_EQ(joined.status, 0) << joined.errors.toStdString();
    EXPECT_EQ(BmpCodec::readFile(path("joined.bmp")).image,
              BmpCodec::readFile(path("apart.bmp")).image);
}

// --help has a line for every option, with what it does.
TEST_F(RenderToolTest, HelpDescribesEveryOption)
{
    const ToolRun run = render({"--help"});
    ASSERT_EQ(run.status, 0);
    const char *options[] = {"--center LAT,LON",
                             "--zoom Z",
                             "--size WxH",
                             "--data DIR",
                             "--prefs FILE.reg",
                             "--input CHART",
                             "--draw TOOL:",
                             "--marker L|H:X,Y",
                             "--text X,Y:TEXT",
                             "--draw-geo",
                             "--marker-geo L|H:",
                             "--bulletin FILE",
                             "--export-analysis FILE",
                             "--line-color NAME",
                             "--line-width \"N px\"",
                             "-o OUTPUT",
                             "--world-file",
                             "--quiet",
                             "-h, --help",
                             "--version"};
    const QStringList lines = run.output.split(u'\n');
    for (const char *option : options) {
        const auto line = std::find_if(lines.begin(), lines.end(), [&](const QString &l) {
            return l.startsWith(QStringLiteral("  ") + QLatin1String(option));
        });
        ASSERT_NE(line, lines.end()) << option;
        // The description follows on the line, or on the next one when the option is long.
        const QString described = line->mid(2 + qstrlen(option)).trimmed();
        const bool below = described.isEmpty() || !described.contains(u' ');
        const QString text = below && line + 1 != lines.end() ? (line + 1)->trimmed() : described;
        EXPECT_GE(text.split(u' ').size(), 3) << option << ": " << line->toStdString();
    }
    EXPECT_TRUE(run.output.contains(QStringLiteral("--name=value")));
    EXPECT_TRUE(
        run.output.contains(QStringLiteral("Exit status: 0 done, 1 failed, 2 usage error")));
}

// A bulletin or bitmap that cannot be read is named, among the files of the command line.
TEST_F(RenderToolTest, BulletinAndBitmapErrorsNameTheFile)
{
    QFile bulletin(path("bad.txt"));
    ASSERT_TRUE(bulletin.open(QIODevice::WriteOnly));
    bulletin.write("VALID 062818Z\nCOOL 4485 4590\n$$\n");
    bulletin.close();
    QFile bitmap(path("bad.bmp"));
    ASSERT_TRUE(bitmap.open(QIODevice::WriteOnly));
    bitmap.write(QByteArray("BM") + QByteArray(60, 'x'));
    bitmap.close();
    const QStringList view{"--center", "45,-95", "--zoom", "1",
                           "--size",   "80x60",  "--data", dir.path()};
    const std::pair<QStringList, QString> cases[] = {
        {QStringList(view) << "--bulletin" << path("bad.txt") << "-o" << path("x.png"),
         path("bad.txt") + QStringLiteral(": Bulletin line 2: unknown keyword \"COOL\"")},
        {{"--input", path("bad.bmp"), "-o", path("x.png")},
         path("bad.bmp") + QStringLiteral(": Bitmap image is not valid")},
    };
    for (const auto &[arguments, message] : cases) {
        const ToolRun run = render(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, QStringLiteral("brimlark-render: ") + message + u'\n');
    }
    EXPECT_FALSE(QFile::exists(path("x.png")));
}

// A damaged PNG fails in one line of the program's own; libpng's account of it, and its
// warnings about a picture that reads, are not passed on.
TEST_F(RenderToolTest, PngFailureIsOneLine)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(qRgb(20, 120, 220));
    ASSERT_TRUE(picture.save(path("good.png"), "PNG"));
    QFile good(path("good.png"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    const auto write = [&](const char *name, const QByteArray &content) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    QByteArray badCrc = bytes;
    const qsizetype idat = badCrc.indexOf("IDAT");
    ASSERT_GT(idat, 0);
    badCrc[idat + 6] = char(badCrc[idat + 6] ^ 0x55);
    write("crc.png", badCrc);
    write("cut.png", bytes.first(100));
    // An ancillary chunk with a wrong checksum: libpng warns and reads the picture.
    QByteArray warned = bytes;
    warned.insert(warned.lastIndexOf("IEND") - 4, QByteArray("\0\0\0\5tEXtab\0cd\0\0\0\0", 17));
    write("warned.png", warned);

    for (const char *name : {"crc.png", "cut.png"}) {
        const ToolRun run = render({"--input", path(name), "-o", path("x.bmp")});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.errors,
                  QStringLiteral("brimlark-render: PNG image is not valid: %1\n").arg(path(name)));
    }
    EXPECT_FALSE(QFile::exists(path("x.bmp")));
    const ToolRun run = render({"--input", path("warned.png"), "-o", path("x.bmp")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
    const QImage read = BmpCodec::readFile(path("x.bmp")).image;
    EXPECT_EQ(read.size(), picture.size());
    EXPECT_EQ(read.pixel(20, 15), picture.pixel(20, 15));
}

// The extension of --export-analysis chooses the format: a bulletin or GeoJSON.
TEST_F(RenderToolTest, ExportFormatFollowsTheExtension)
{
    const QStringList view{"--center", "45,-95",   "--zoom",       "1",       "--size", "80x60",
                           "--data",   dir.path(), "--marker-geo", "L:45,-95"};
    const std::pair<const char *, const char *> cases[] = {
        {"a.bul", "CODED SURFACE FRONTAL POSITIONS\n"},
        {"a.json", "{\"features\":"},
        {"A.GEOJSON", "{\"features\":"},
        {"a.txt", "CODED SURFACE FRONTAL POSITIONS\n"}};
    for (const auto &[name, start] : cases) {
        const ToolRun run =
            render(QStringList(view) << "--export-analysis" << path(name) << "-o" << path("x.png"));
        ASSERT_EQ(run.status, 0) << name << ": " << run.errors.toStdString();
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_TRUE(file.readAll().startsWith(start)) << name;
    }
}

// --bulletin /dev/zero took in 3.3 GB, and a pipe that no program writes to hung the run.
// A pipe that a program writes a chart into is read as the file would be.
TEST_F(RenderToolTest, EndlessAndWaitingInputsEndTheRun)
{
    const QStringList view{"--center", "0,0", "--zoom", "1", "--size", "8x6", "--data", dir.path()};
    const ToolRun zero = render(QStringList(view) << "--bulletin"
                                                  << "/dev/zero"
                                                  << "-o" << path("x.bmp"));
    EXPECT_EQ(zero.status, 1);
    EXPECT_TRUE(zero.errors.contains(QStringLiteral("/dev/zero"))) << zero.errors.toStdString();
    EXPECT_TRUE(
        zero.errors.contains(QStringLiteral("larger than 16 MiB, too large for a bulletin")))
        << zero.errors.toStdString();

    {
        Fifo idle(path("idle.bmp"));
        ASSERT_TRUE(idle.valid());
        const ToolRun run = render({"--input", path("idle.bmp"), "-o", path("x.bmp")});
        EXPECT_EQ(run.status, 1) << run.errors.toStdString(); // an empty file is no bitmap
    }

    const QImage chart = Pixels::plain(8, 6, qRgb(10, 200, 30));
    Fifo pipe(path("pipe.bmp"));
    ASSERT_TRUE(pipe.valid());
    pipe.write(BmpCodec::encode(chart, 0));
    const ToolRun run = render({"--input", path("pipe.bmp"), "-o", path("x.bmp")});
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_EQ(BmpCodec::readFile(path("x.bmp")).image.convertToFormat(QImage::Format_RGB32), chart);
}

// A chart saved by brimlark-render carries its view; --marker-geo on it, reloaded, lands on
// the pixel where it lands on a fresh chart of that view. It landed where a built-in view put
// it.
TEST_F(RenderToolTest, MarkerGeoOnAReloadedChartLandsWhereOnAFreshOne)
{
    const QStringList view{"--center", "45,-96", "--zoom", "0.9", "--size", "400x280", "--quiet"};
    ASSERT_EQ(render(QStringList(view) << "-o" << path("fresh.png")).status, 0);
    QFile fresh(path("fresh.png"));
    ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
    const auto stored = ViewStamp::of(PngCodec::decode(fresh.readAll()));
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(ViewStamp::text(*stored), QStringLiteral("45 -96 0.9 400 280"));

    const QStringList chicago{"--marker-geo", "H:41.88,-87.63"};
    const ToolRun reloaded =
        render(QStringList{"--input", path("fresh.png")} << chicago << "-o" << path("again.bmp"));
    ASSERT_EQ(reloaded.status, 0) << reloaded.errors.toStdString();
    EXPECT_TRUE(reloaded.errors.isEmpty()) << reloaded.errors.toStdString();
    ASSERT_EQ(render(QStringList(view) << chicago << "-o" << path("direct.bmp")).status, 0);
    const QImage again = BmpCodec::readFile(path("again.bmp")).image;
    EXPECT_EQ(again, BmpCodec::readFile(path("direct.bmp")).image);
    EXPECT_GT(Pixels::differenceCount(again, PngCodec::decode([&] {
                                          fresh.seek(0);
                                          return fresh.readAll();
                                      }())),
              0);
}

// --center, --zoom and --size with --input place a chart without a view (the size defaults
// to the chart's) and must agree with a view the chart carries: they were silently ignored.
TEST_F(RenderToolTest, ViewOptionsWithAnInputChart)
{
    const QImage plain = Pixels::plain(400, 280, qRgb(255, 255, 255));
    QFile viewed(path("viewed.png"));
    ASSERT_TRUE(viewed.open(QIODevice::WriteOnly));
    viewed.write(PngCodec::encode(plain, {{ViewStamp::Key, QStringLiteral("45 -96 0.9 400 280")}}));
    viewed.close();
    BmpCodec::writeFile(path("plain.bmp"), plain, 0);
    const QStringList chicago{"--marker-geo", "H:41.88,-87.63"};
    const auto run = [&](const char *input, const QStringList &options, const char *output) {
        return render(QStringList{"--input", path(input)} << options << chicago << "-o"
                                                          << path(output));
    };
    ASSERT_EQ(run("viewed.png", {}, "stored.bmp").status, 0);
    const QImage stored = BmpCodec::readFile(path("stored.bmp")).image;

    const ToolRun agreeing =
        run("viewed.png", {"--center", "45,-96", "--zoom", "0.90", "--size", "400x280"}, "a.bmp");
    EXPECT_EQ(agreeing.status, 0) << agreeing.errors.toStdString();
    EXPECT_EQ(BmpCodec::readFile(path("a.bmp")).image, stored);

    const ToolRun given = run("plain.bmp", {"--center", "45,-96", "--zoom", "0.9"}, "b.bmp");
    EXPECT_EQ(given.status, 0) << given.errors.toStdString();
    EXPECT_TRUE(given.errors.isEmpty()) << given.errors.toStdString();
    EXPECT_EQ(BmpCodec::readFile(path("b.bmp")).image, stored);

    // A chart saved from a chart without a view carries the view only when it was given.
    const auto storedIn = [&](const char *name) {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? ViewStamp::of(PngCodec::decode(file.readAll()))
                                              : std::nullopt;
    };
    ASSERT_EQ(render({"--input", path("plain.bmp"), "-o", path("guessed.png")}).status, 0);
    EXPECT_FALSE(storedIn("guessed.png").has_value());
    ASSERT_EQ(render({"--input", path("plain.bmp"), "--center", "45,-96", "--zoom", "0.9", "-o",
                      path("given.png")})
                  .status,
              0);
    ASSERT_TRUE(storedIn("given.png").has_value());
    EXPECT_EQ(ViewStamp::text(*storedIn("given.png")), QStringLiteral("45 -96 0.9 400 280"));

    const ToolRun assumed = run("plain.bmp", {}, "c.bmp");
    EXPECT_EQ(assumed.status, 0) << assumed.errors.toStdString();
    EXPECT_EQ(assumed.errors,
              QStringLiteral("brimlark-render: %1 carries no view: positions on the globe assume "
                             "--center 38,-96 --zoom 1.2 --size 400x280\n")
                  .arg(path("plain.bmp")));

    const struct {
        QStringList options;
        const char *message;
    } contradicting[] = {
        {{"--zoom", "1.2"}, "--zoom 1.2 contradicts the view stored in %1: zoom 0.9"},
        {{"--center", "45.5,-96"},
         "--center 45.5,-96 contradicts the view stored in %1: centre 45,-96"},
        {{"--center", "45,-95"},
         "--center 45,-95 contradicts the view stored in %1: centre 45,-96"},
        {{"--size", "800x560"}, "--size 800x560 contradicts the view stored in %1: size 400x280"},
    };
    for (const auto &row : contradicting) {
        const ToolRun refused = run("viewed.png", row.options, "refused.bmp");
        EXPECT_EQ(refused.status, 2) << row.message;
        EXPECT_EQ(refused.errors,
                  QStringLiteral("brimlark-render: %1\nTry 'brimlark-render --help'.\n")
                      .arg(QLatin1String(row.message).arg(path("viewed.png"))));
        EXPECT_FALSE(QFile::exists(path("refused.bmp")));
    }
}

// The meridian of 180 degrees is also the meridian of -180.
TEST_F(RenderToolTest, StoredViewOnTheAntimeridianAgreesWithEitherName)
{
    QFile viewed(path("dateline.png"));
    ASSERT_TRUE(viewed.open(QIODevice::WriteOnly));
    viewed.write(PngCodec::encode(Pixels::plain(40, 30, qRgb(255, 255, 255)),
                                  {{ViewStamp::Key, QStringLiteral("10 180 2 40 30")}}));
    viewed.close();
    for (const char *centre : {"10,180", "10,-180"}) {
        const ToolRun run =
            render({"--input", path("dateline.png"), "--center", centre, "-o", path("x.bmp")});
        EXPECT_EQ(run.status, 0) << centre << run.errors.toStdString();
    }
}

// --world-file writes the world file and .prj beside the chart, for the view it was drawn in:
// a new map's, or the one an --input chart carries.
TEST_F(RenderToolTest, WorldFileAndProjectionBesideTheChart)
{
    const ViewValues view{45, -96, 0.9, 200, 140};
    ASSERT_EQ(render({"--center", "45,-96", "--zoom", "0.9", "--size", "200x140", "--quiet",
                      "--world-file", "-o", path("chart.png")})
                  .status,
              0);
    const auto read = [&](const char *name) {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_EQ(read("chart.pgw"), WorldFiles::worldFile(view));
    EXPECT_EQ(read("chart.prj"), WorldFiles::projection(view));
    const ToolRun again =
        render({"--input", path("chart.png"), "--world-file", "-o", path("copy.gif")});
    ASSERT_EQ(again.status, 0) << again.errors.toStdString();
    EXPECT_EQ(read("copy.gfw"), WorldFiles::worldFile(view));
    EXPECT_EQ(read("copy.prj"), WorldFiles::projection(view));
    const ToolRun valued =
        render({"--input", path("chart.png"), "--world-file=yes", "-o", path("x.bmp")});
    EXPECT_EQ(valued.status, 2);
    EXPECT_TRUE(valued.errors.contains(QStringLiteral("--world-file takes no value")));
}

// --first-guess after --observations: isobars analysed from the stations join the analysis
// and export as isobars with their values.
TEST_F(RenderToolTest, FirstGuessFromTheObservations)
{
    QByteArray table = "station,valid,lon,lat,mslp\n";
    for (int i = 0; i < 16; ++i)
        table += QStringLiteral("S%1,2019-07-01 12:00,%2,%3,%4\n")
                     .arg(i)
                     .arg(-96 + (i % 4) * 2)
                     .arg(38 + (i / 4) * 2)
                     .arg(1004 + 2 * (i / 4) + (i % 4))
                     .toLatin1();
    QFile observations(path("obs.csv"));
    ASSERT_TRUE(observations.open(QIODevice::WriteOnly));
    observations.write(table);
    observations.close();
    const ToolRun run =
        render({"--center", "41,-93", "--zoom", "2", "--size", "400x300", "--data",
                BRIMLARK_DATA_DIR, "--observations", path("obs.csv"), "--first-guess", "pressure:2",
                "--export-analysis", path("guess.geojson"), "--quiet", "-o", path("guess.png")});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_FALSE(run.errors.contains(QStringLiteral("First guess"))); // nothing left out
    QFile exported(path("guess.geojson"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QByteArray json = exported.readAll();
    EXPECT_TRUE(json.contains(R"("kind":"isobar")")) << json.left(300).toStdString();
    EXPECT_TRUE(json.contains(R"("value":1008)")) << json.left(300).toStdString();
}

// A map's rings, tables and buffers come from a heap in huge pages: the United States at
// 1600 x 1200 took 2,800 page faults in small pages (12 us each on a virtual machine), about
// 800 now. Where the system gives no huge pages there is nothing to measure.
TEST_F(RenderToolTest, PlainMapTakesFewPageFaults)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer's allocator and shadow memory fault pages of their own";
#endif
    if (!PageFaults::hugePagesGiven())
        GTEST_SKIP() << "no transparent huge pages here";
    ToolRun run{};
    const long faults = PageFaults::of(
        [&] {
            run = render({"--center", "39,-96", "--zoom", "1.2", "--size", "1600x1200", "--data",
                          BRIMLARK_DATA_DIR, "-o", path("map.bmp"), "--quiet"});
        },
        RUSAGE_CHILDREN);
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_LT(faults, 1500) << "page faults";
}
