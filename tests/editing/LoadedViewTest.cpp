// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// A chart that carries its view brings it into the session: what is placed on it, and what is
// read back off it, is where it is on the globe.
#include "canvas/RasterCanvas.h"
#include "editing/ChartSession.h"
#include "formats/PngCodec.h"
#include "mapgen/Projection.h"
#include "support/Pixels.h"
#include "support/WorkspaceFixture.h"
#include "workspace/ViewStamp.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace brimlark;

namespace
{

class NoLabels : public PressPrompt
{
public:
    QString labelText() override { return {}; }
};

// Chicago, from the gazetteer: 41.88 N, 87.63 W.
constexpr GeoPoint Chicago{41.88, -87.63};

class LoadedViewTest : public WorkspaceFixture
{
public:
    void SetUp() override
    {
        writeSmallChart(); // a view of 45 N 93.5 W, zoom 2.5, 400 x 300
        session = std::make_unique<ChartSession>(settings, Workspace(dir.path()));
        session->startUp();
    }
    // A 1000 x 700 PNG chart of 45 N 96 W at zoom 0.9, as a user made it.
    QString viewedChart(const char *name)
    {
        writeFile(QLatin1String(name),
                  PngCodec::encode(Pixels::plain(1000, 700, qRgb(250, 250, 240)),
                                   {{ViewStamp::Key, QStringLiteral("45 -96 0.9 1000 700")}}));
        return path(QLatin1String(name));
    }
    void placeHigh(QPoint at)
    {
        NoLabels prompt;
        session->chooseMarker(PressMode::HighCentre);
        session->press(at.x(), at.y(), {"Black", "1 px"}, prompt);
        session->commit();
    }

    ChartSettings settings;
    std::unique_ptr<ChartSession> session;
};

} // namespace

// The H placed over Chicago on a reloaded chart was exported more than 1,000 km off: the
// session kept the view it had before the load.
TEST_F(LoadedViewTest, HighOverChicagoOnAReloadedChartExportsChicago)
{
    const ViewValues chartView{45, -96, 0.9, 1000, 700};
    ASSERT_EQ(session->load(viewedChart("noon.png"))->centerLon, -96);
    EXPECT_EQ(session->view().zoom, 0.9);
    EXPECT_EQ(session->view().chartWidth, 1000);
    const QPoint chicago =
        Projection::projectToChart(chartView, Chicago.latitude, Chicago.longitude);
    placeHigh(chicago);
    const Bulletin exported = session->exportAnalysis();
    ASSERT_EQ(exported.centres.size(), 1u);
    // Within a pixel: a degree is some 15 pixels here.
    EXPECT_NEAR(exported.centres[0].position.latitude, Chicago.latitude, 0.1);
    EXPECT_NEAR(exported.centres[0].position.longitude, Chicago.longitude, 0.1);
}

// A chart without a view is placed with the view the session had; Undo of a load that
// brought a view brings the view before it back, and Redo the chart's.
TEST_F(LoadedViewTest, ChartWithoutAViewKeepsTheViewAndUndoTakesTheViewBack)
{
    BmpCodec::writeFile(path("plain.bmp"), Pixels::plain(640, 480, qRgb(1, 2, 3)), 0);
    EXPECT_FALSE(session->load(path("plain.bmp")).has_value());
    EXPECT_EQ(session->view().centerLon, -93.5);
    EXPECT_EQ(session->view().chartWidth, 400);
    session->load(viewedChart("noon.png"));
    EXPECT_EQ(session->view().centerLon, -96);
    session->undo();
    EXPECT_EQ(session->view().centerLon, -93.5);
    EXPECT_EQ(session->chart().width(), 640);
    session->redo();
    EXPECT_EQ(session->view().centerLon, -96);
}

// The session's save writes the view the chart is drawn for, so the chart loads back with it.
TEST_F(LoadedViewTest, SavedChartLoadsBackWithItsView)
{
    session->load(viewedChart("noon.png"));
    session->save(path("again.png"));
    BmpCodec::writeFile(path("plain.bmp"), Pixels::plain(400, 300, qRgb(1, 2, 3)), 0);
    ChartSession other(settings, Workspace(dir.path()));
    const auto view = other.load(path("again.png"));
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(ViewStamp::text(*view), QStringLiteral("45 -96 0.9 1000 700"));
}

// A chart loaded without a view is placed with the view before, a guess that a save does not
// write as the chart's own; Undo and Redo know which charts came with their view.
TEST_F(LoadedViewTest, AssumedViewIsNotWrittenIntoTheChart)
{
    const auto savedView = [&](const char *name) {
        session->save(path(QLatin1String(name)));
        ChartBitmap chart;
        RasterCanvas canvas(chart);
        return ChartFiles::load(chart, canvas, path(QLatin1String(name)));
    };
    BmpCodec::writeFile(path("plain.bmp"), Pixels::plain(400, 300, qRgb(1, 2, 3)), 0);
    session->load(path("plain.bmp"));
    EXPECT_FALSE(savedView("plain.png").has_value());
    EXPECT_FALSE(savedView("plain.jpg").has_value());
    session->load(viewedChart("noon.png"));
    EXPECT_TRUE(savedView("noon2.png").has_value());
    session->undo();
    EXPECT_FALSE(savedView("undone.png").has_value());
    session->redo();
    EXPECT_TRUE(savedView("redone.png").has_value());
    session->setChartView({45, -93.5, 2.5, 1000, 700}, true);
    EXPECT_EQ(ViewStamp::text(*savedView("given.png")), QStringLiteral("45 -93.5 2.5 1000 700"));
}
