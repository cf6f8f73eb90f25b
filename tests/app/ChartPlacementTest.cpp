// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Charts that know where they are, in the window: a loaded chart brings its view into the
// map-maker fields and the status line, Export georeferencing writes the files that place it
// in GIS programs, and Import analysis draws GeoJSON from any program.
#include "RecordingDialogs.h"
#include "app/MainWindow.h"
#include "formats/BmpCodec.h"
#include "formats/PngCodec.h"
#include "mapgen/Projection.h"
#include "support/Controls.h"
#include "support/Pixels.h"
#include "workspace/ViewStamp.h"
#include "workspace/WorldFiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

const char *const FieldNames[] = {"LatEdit", "LonEdit", "XEdit", "YEdit", "ZoomEdit"};

class ChartPlacementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The window reads the map data from its own folder: link the shipped files there.
        for (const QString &name : QDir(QStringLiteral(BRIMLARK_DATA_DIR))
                                       .entryList({QStringLiteral("map.*")}, QDir::Files))
            QFile::link(QStringLiteral(BRIMLARK_DATA_DIR "/") + name, dir.filePath(name));
        form = std::make_unique<MainWindow>(settings, Workspace(dir.path()));
        dialogs.errors.clear(); // a first start: no saved fields
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    void setFields(std::initializer_list<const char *> texts)
    {
        int i = 0;
        for (const char *text : texts)
            control<QLineEdit>(*form, QLatin1String(FieldNames[i++]))->setText(QLatin1String(text));
    }
    QStringList fields() const
    {
        QStringList texts;
        for (const char *name : FieldNames)
            texts << control<QLineEdit>(*form, QLatin1String(name))->text();
        return texts;
    }
    QString status() const { return control<QLabel>(*form, QStringLiteral("StatusText"))->text(); }
    void hover(QPoint at)
    {
        QWidget *image = control<QWidget>(*form, QStringLiteral("Image1"));
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(image, &move);
    }
    void load(const QString &file)
    {
        dialogs.fileAnswer = file;
        form->loadChartChosen();
    }

    QTemporaryDir dir;
    ChartSettings settings;
    RecordingDialogs dialogs;
    std::unique_ptr<MainWindow> form;
};

// Chicago, from the gazetteer: 41.88 N, 87.63 W.
constexpr GeoPoint Chicago{41.88, -87.63};

} // namespace

// A user's session: a chart of 45 N 96 W saved as PNG, another view generated, the PNG
// loaded: the mouse over Chicago read 31.48 N 82.00 W. Now the fields show the chart's view
// and the status line Chicago.
TEST_F(ChartPlacementTest, ReloadedChartBringsItsViewIntoTheFieldsAndTheStatusLine)
{
    setFields({"45", "-96", "1000", "700", "0.9"});
    form->generateClicked();
    dialogs.fileAnswer = path("noon.png");
    form->saveChartChosen();
    setFields({"30", "-80", "600", "400", "1.5"});
    form->generateClicked();
    load(path("noon.png"));
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u' ').toStdString();
    EXPECT_EQ(fields(), QStringList({"45", "-96", "1000", "700", "0.9"}));
    EXPECT_EQ(status(), QStringLiteral("Chart view 45, -96, zoom 0.9, 1000x700"));
    hover(
        Projection::projectToChart({45, -96, 0.9, 1000, 700}, Chicago.latitude, Chicago.longitude));
    const auto match =
        QRegularExpression(QStringLiteral("(\\d+\\.\\d+)\u00B0 N (\\d+\\.\\d+)\u00B0 W"))
            .match(status());
    ASSERT_TRUE(match.hasMatch()) << status().toStdString();
    // Within a pixel, some 0.06 degrees here.
    EXPECT_NEAR(match.captured(1).toDouble(), Chicago.latitude, 0.05);
    EXPECT_NEAR(-match.captured(2).toDouble(), Chicago.longitude, 0.05);
}

// A chart without a view is placed with the view of the session, and the status line says so,
// and that the chart's size is not the fields'.
TEST_F(ChartPlacementTest, ChartWithoutAViewSaysWhatPositionsAssume)
{
    setFields({"45", "-93.5", "400", "300", "2.5"});
    BmpCodec::writeFile(path("same.bmp"), Pixels::plain(400, 300, qRgb(1, 2, 3)), 0);
    load(path("same.bmp"));
    EXPECT_EQ(status(), QStringLiteral("No view in the chart: positions assume 38, -96, zoom 1.2"));
    BmpCodec::writeFile(path("other.bmp"), Pixels::plain(640, 480, qRgb(1, 2, 3)), 0);
    load(path("other.bmp"));
    EXPECT_EQ(status(), QStringLiteral("No view in the chart: positions assume 38, -96, zoom 1.2 "
                                       "(chart 640x480, fields 400x300)"));
    EXPECT_EQ(fields(), QStringList({"45", "-93.5", "400", "300", "2.5"}));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// Export georeferencing saves the chart with its world file and .prj, for its view.
TEST_F(ChartPlacementTest, ExportGeoreferencingWritesTheChartAndBothFiles)
{
    const ViewValues view{45, -96, 0.9, 300, 200};
    QFile png(path("viewed.png"));
    ASSERT_TRUE(png.open(QIODevice::WriteOnly));
    png.write(PngCodec::encode(Pixels::plain(300, 200, qRgb(9, 9, 9)),
                               {{ViewStamp::Key, ViewStamp::text(view)}}));
    png.close();
    load(path("viewed.png"));
    dialogs.fileAnswer = path("out.jpg");
    control<QAction>(*form, QStringLiteral("ExportGeoreferencing"))->trigger();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u' ').toStdString();
    EXPECT_EQ(dialogs.fileKinds.back(), Dialogs::FileKind::Chart);
    EXPECT_EQ(status(), QStringLiteral("Saved out.jpg with out.jgw and out.prj"));
    QFile world(path("out.jgw")), projection(path("out.prj"));
    ASSERT_TRUE(world.open(QIODevice::ReadOnly));
    ASSERT_TRUE(projection.open(QIODevice::ReadOnly));
    EXPECT_EQ(world.readAll(), WorldFiles::worldFile(view));
    EXPECT_EQ(projection.readAll(), WorldFiles::projection(view));
    EXPECT_TRUE(QFile::exists(path("out.jpg")));
}

// Import analysis opens on GeoJSON and draws a FeatureCollection of another program: lines of
// a front or trough kind and low and high points, nothing else about them given; stations,
// features without properties and features without a place are skipped.
TEST_F(ChartPlacementTest, ImportAnalysisDrawsForeignGeoJson)
{
    setFields({"45", "-96", "500", "350", "0.9"});
    form->generateClicked();
    QFile json(path("foreign.geojson"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(R"({"type": "FeatureCollection", "bbox": [-110, 25, -80, 50], "features": [
      {"type": "Feature", "properties": {"kind": "cold"},
       "geometry": {"type": "LineString", "coordinates": [[-100, 40], [-95, 35], [-92, 30]]}},
      {"type": "Feature", "properties": {"kind": "trough", "name": "lee trough"},
       "geometry": {"type": "LineString", "coordinates": [[-105, 45], [-104, 38]]}},
      {"type": "Feature", "properties": {"kind": "low"},
       "geometry": {"type": "Point", "coordinates": [-98, 42]}},
      {"type": "Feature", "properties": {"kind": "high", "pressure": 1030},
       "geometry": {"type": "Point", "coordinates": [-85, 38]}},
      {"type": "Feature", "id": "ord", "properties": {"station": "KORD"},
       "geometry": {"type": "Point", "coordinates": [-87.9, 41.98, 201]}},
      {"type": "Feature", "properties": null,
       "geometry": {"type": "Point", "coordinates": [-90, 40]}},
      {"type": "Feature", "properties": {"name": "unplaced"}, "geometry": null}]})");
    json.close();
    const QImage before = form->session().chart().image();
    dialogs.fileAnswer = path("foreign.geojson");
    control<QAction>(*form, QStringLiteral("ImportAnalysis"))->trigger();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u' ').toStdString();
    EXPECT_EQ(dialogs.fileKinds.back(), Dialogs::FileKind::Analysis);
    EXPECT_TRUE(dialogs.openFilters.first().startsWith(QStringLiteral("GeoJSON")));
    EXPECT_EQ(status(), QStringLiteral("Imported 4 features, 0 off the chart"));
    EXPECT_EQ(form->session().features().size(), 4u);
    EXPECT_NE(form->session().chart().image(), before);
}
