// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// An analysis on the globe drawn into a session, and back out of it.
#include "bulletin/BulletinParser.h"
#include "bulletin/BulletinWriter.h"
#include "editing/ChartSession.h"
#include "formats/BmpCodec.h"
#include "mapgen/Projection.h"
#include "support/Pixels.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

class AnalysisImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The United States at 800 x 600, over a plain chart as its base map.
        QFile fields(dir.filePath(QStringLiteral("saveddat.txt")));
        ASSERT_TRUE(fields.open(QIODevice::WriteOnly));
        fields.write("39\r\n-96\r\n800\r\n600\r\n1.2\r\n");
        fields.close();
        for (const char *name : {"temp0.bmp", "temp1.bmp"})
            BmpCodec::writeFile(dir.filePath(QLatin1String(name)),
                                Pixels::plain(800, 600, qRgb(250, 245, 230)), 0);
        session = std::make_unique<ChartSession>(settings, Workspace(dir.path()));
        ASSERT_TRUE(session->startUp().errors.isEmpty());
    }
    QPoint chartPoint(const GeoPoint &p) const
    {
        return Projection::ProjectToChart(session->view(), p.latitude, p.longitude);
    }

    QTemporaryDir dir;
    ChartSettings settings;
    std::unique_ptr<ChartSession> session;
};

Bulletin sample()
{
    Bulletin b;
    b.valid = QStringLiteral("062818Z");
    b.lines.push_back({LineTool::ColdFront,
                       QStringLiteral("WK"),
                       {{52.8, -83.7}, {50.9, -87.1}, {50.4, -89.0}, {49.8, -91.9}}});
    b.lines.push_back({LineTool::WarmFront, QString(), {{45, -93}, {44, -89}, {43, -85}}});
    // A trough that runs off the chart to the west and comes back: two pieces.
    b.lines.push_back({LineTool::Trough,
                       QString(),
                       {{40, -100}, {40, -110}, {40, -150}, {40, -170}, {35, -110}, {35, -100}}});
    b.lines.push_back({LineTool::Dryline, QString(), {{-40, 100}, {-41, 101}}}); // behind
    b.centres.push_back({true, 1022, {39.6, -106.9}});
    b.centres.push_back({false, std::nullopt, {34.4, -114.5}});
    b.centres.push_back({false, 995, {-30, 120}}); // behind the globe
    return b;
}

} // namespace

TEST_F(AnalysisImportTest, LinesAndCentresBecomeCommittedWork)
{
    const QImage before = session->chart().image();
    const auto summary = session->importAnalysis(sample());
    EXPECT_EQ(summary.drawn, 5);
    EXPECT_EQ(summary.offChart, 2);
    const auto &features = session->features();
    ASSERT_EQ(features.size(), 6u); // the trough in two pieces
    EXPECT_EQ(features[0].tool, LineTool::ColdFront);
    ASSERT_EQ(features[0].points.size(), 4u);
    EXPECT_EQ(features[0].points[0], QPointF(chartPoint({52.8, -83.7})));
    EXPECT_EQ(features[0].points[3], QPointF(chartPoint({49.8, -91.9})));
    EXPECT_EQ(features[1].tool, LineTool::WarmFront);
    EXPECT_EQ(features[2].tool, LineTool::Trough);
    EXPECT_EQ(features[3].tool, LineTool::Trough);
    EXPECT_EQ(features[2].points.size(), 2u);
    EXPECT_EQ(features[3].points.size(), 2u);
    EXPECT_EQ(features[4].kind, DrawnFeature::Kind::High);
    EXPECT_EQ(features[4].pressure, 1022);
    EXPECT_EQ(features[5].kind, DrawnFeature::Kind::Low);
    EXPECT_TRUE(
        Pixels::contains(session->chart().image(), settings.color(ChartSettings::ColdColor)));
    // Committed work, one step of the history: the first Undo keeps it, the next removes it.
    EXPECT_EQ(BmpCodec::readFile(dir.filePath(QStringLiteral("temp1.bmp"))).image,
              session->chart().image());
    session->undo();
    session->undo();
    EXPECT_EQ(session->chart().image(), before);
    EXPECT_TRUE(session->features().empty());
}

// Lines of more than 100 points go on in segments that share their joining point.
TEST_F(AnalysisImportTest, LongLinesAreSplitIntoJoinedSegments)
{
    Bulletin b;
    Bulletin::Line line{LineTool::StationaryFront, QString(), {}};
    for (int i = 0; i < 250; ++i)
        line.points.push_back({35 + i * 0.02, -110 + i * 0.1});
    b.lines.push_back(line);
    session->importAnalysis(b);
    const auto &features = session->features();
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(features[0].points.size(), 100u);
    EXPECT_EQ(features[1].points.front(), features[0].points.back());
    EXPECT_EQ(features[2].points.back(), QPointF(chartPoint(line.points.back())));
}

// An analysis exported and imported again draws the same lines and centres, each point
// within a pixel of where it was.
TEST_F(AnalysisImportTest, ExportedBulletinImportsToTheSameChart)
{
    session->chooseLineTool(LineTool::OccludedFront);
    PanelLine panel;
    struct NoText : PressPrompt {
        QString labelText() override { return QString(); }
    } prompt;
    for (const QPoint p : {QPoint(100, 300), QPoint(300, 250), QPoint(500, 320)})
        session->press(p.x(), p.y(), panel, prompt);
    session->commit();
    session->importAnalysis(sample());
    const auto drawn = session->features();
    const QString file = dir.filePath(QStringLiteral("analysis.txt"));
    session->saveAnalysis(file);

    ChartSession again(settings, Workspace(dir.path()));
    again.startUp();
    again.importBulletin(file);
    const auto &imported = again.features();
    ASSERT_EQ(imported.size(), drawn.size());
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(imported[i].kind, drawn[i].kind) << i;
        EXPECT_EQ(imported[i].tool, drawn[i].tool) << i;
        EXPECT_EQ(imported[i].pressure, drawn[i].pressure) << i;
        ASSERT_EQ(imported[i].points.size(), drawn[i].points.size()) << i;
        for (size_t k = 0; k < drawn[i].points.size(); ++k) {
            EXPECT_LE(std::abs(imported[i].points[k].x() - drawn[i].points[k].x()), 1) << i;
            EXPECT_LE(std::abs(imported[i].points[k].y() - drawn[i].points[k].y()), 1) << i;
        }
    }
}

// Imported positions go back out as they came in, not rounded to the pixel they were drawn
// at, so an analysis passes through a chart of any size unchanged; lines drawn with the
// mouse go back through the inverse projection.
TEST_F(AnalysisImportTest, ImportedPositionsAreExportedExactly)
{
    const Bulletin in = sample();
    session->importAnalysis(in);
    session->chooseLineTool(LineTool::Isopleth);
    struct NoText : PressPrompt {
        QString labelText() override { return QString(); }
    } prompt;
    for (const QPoint p : {QPoint(100, 500), QPoint(300, 520)})
        session->press(p.x(), p.y(), PanelLine{}, prompt);
    session->commit();

    const Bulletin out = session->exportAnalysis();
    ASSERT_EQ(out.lines.size(), 5u); // the trough in its two pieces, and the isopleth
    EXPECT_EQ(out.lines[0].points, in.lines[0].points);
    EXPECT_EQ(out.lines[1].points, in.lines[1].points);
    const std::vector<GeoPoint> west(in.lines[2].points.begin(), in.lines[2].points.begin() + 2);
    EXPECT_EQ(out.lines[2].points, west);
    ASSERT_EQ(out.centres.size(), 2u);
    EXPECT_EQ(out.centres[0].position, in.centres[0].position);
    EXPECT_EQ(out.centres[1].position, in.centres[1].position);
    const auto drawn = Projection::positionAt(session->view(), 100, 500);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(out.lines[4].points.front(), *drawn);
}
