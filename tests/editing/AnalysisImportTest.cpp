// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// An analysis on the globe drawn into a session, and back out of it.
#include "base/ChartError.h"
#include "bulletin/BulletinParser.h"
#include "bulletin/BulletinWriter.h"
#include "editing/ChartSession.h"
#include "formats/BmpCodec.h"
#include "mapgen/Projection.h"
#include "support/Pixels.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
        return Projection::projectToChart(session->view(), p.latitude, p.longitude);
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
    b.lines.push_back({LineTool::Dryline, QString(), {{40, 100}, {41, 101}}}); // behind
    b.centres.push_back({true, 1022, {39.6, -106.9}});
    b.centres.push_back({false, std::nullopt, {34.4, -114.5}});
    b.centres.push_back({false, 995, {30, 120}}); // behind the globe
    return b;
}

} // namespace

TEST_F(AnalysisImportTest, LinesAndCentresBecomeCommittedWork)
{
    const QImage before = session->chart().image();
    const auto summary = session->importAnalysis(sample());
    EXPECT_EQ(summary.drawn, 5);
    EXPECT_EQ(summary.offChart, 2);
    // Every feature joins the analysis, those off the chart too, with all its positions.
    const auto &features = session->features();
    ASSERT_EQ(features.size(), 7u);
    EXPECT_EQ(features[0].tool, LineTool::ColdFront);
    EXPECT_EQ(features[0].strength, QStringLiteral("WK"));
    ASSERT_EQ(features[0].points.size(), 4u);
    EXPECT_EQ(features[0].points[0], QPointF(chartPoint({52.8, -83.7})));
    EXPECT_EQ(features[0].points[3], QPointF(chartPoint({49.8, -91.9})));
    EXPECT_EQ(features[1].tool, LineTool::WarmFront);
    EXPECT_EQ(features[2].tool, LineTool::Trough);
    EXPECT_EQ(features[2].points.size(), 4u); // two pieces of two points
    EXPECT_EQ(features[2].positions.size(), 6u);
    EXPECT_EQ(features[3].tool, LineTool::Dryline);
    EXPECT_TRUE(features[3].points.empty());
    EXPECT_EQ(features[3].positions.size(), 2u);
    EXPECT_EQ(features[4].kind, DrawnFeature::Kind::High);
    EXPECT_EQ(features[4].pressure, 1022);
    EXPECT_EQ(features[5].kind, DrawnFeature::Kind::Low);
    EXPECT_EQ(features[6].kind, DrawnFeature::Kind::Low);
    EXPECT_TRUE(features[6].points.empty());
    EXPECT_TRUE(
        Pixels::contains(session->chart().image(), settings.color(ChartSettings::ColdColor)));
    // Committed work, one step of the history: the first Undo keeps it, the next removes it.
    session->finishWrites();
    EXPECT_EQ(BmpCodec::readFile(dir.filePath(QStringLiteral("temp1.bmp"))).image,
              session->chart().image());
    session->undo();
    session->undo();
    EXPECT_EQ(session->chart().image(), before);
    EXPECT_TRUE(session->features().empty());
}

// Lines of more than 100 points go on in segments that share their joining point: the same
// chart as the three lines of points 1 to 100, 100 to 199 and 199 to 250. The line stays one
// feature of the analysis.
TEST_F(AnalysisImportTest, LongLinesAreSplitIntoJoinedSegments)
{
    Bulletin b;
    Bulletin::Line line{LineTool::StationaryFront, QString(), {}};
    for (int i = 0; i < 250; ++i)
        line.points.push_back({35 + i * 0.02, -110 + i * 0.1});
    b.lines.push_back(line);
    session->importAnalysis(b);
    const auto &features = session->features();
    ASSERT_EQ(features.size(), 1u);
    EXPECT_EQ(features[0].points.size(), 250u);
    EXPECT_EQ(features[0].positions, line.points);
    const QImage whole = session->chart().image();

    session->erase();
    Bulletin parts;
    for (const auto &[from, to] : {std::pair(0, 100), std::pair(99, 199), std::pair(198, 250)})
        parts.lines.push_back({LineTool::StationaryFront,
                               QString(),
                               {line.points.begin() + from, line.points.begin() + to}});
    session->importAnalysis(parts);
    EXPECT_EQ(session->chart().image(), whole);
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

    // Every line and centre goes out whole, with its strength, on the chart or not.
    const Bulletin out = session->exportAnalysis();
    ASSERT_EQ(out.lines.size(), 5u); // the analysis, and the isopleth
    for (size_t i = 0; i < in.lines.size(); ++i) {
        EXPECT_EQ(out.lines[i].tool, in.lines[i].tool) << i;
        EXPECT_EQ(out.lines[i].strength, in.lines[i].strength) << i;
        EXPECT_EQ(out.lines[i].points, in.lines[i].points) << i;
    }
    ASSERT_EQ(out.centres.size(), 3u);
    for (size_t i = 0; i < in.centres.size(); ++i) {
        EXPECT_EQ(out.centres[i].position, in.centres[i].position) << i;
        EXPECT_EQ(out.centres[i].pressure, in.centres[i].pressure) << i;
    }
    const auto drawn = Projection::positionAt(session->view(), 100, 500);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(out.lines[4].points.front(), *drawn);
}

// A bulletin imported and exported again comes out as it went in: the strength words, the
// features off the chart and the year of its issue line, which GeoJSON writes in its valid
// time.
TEST_F(AnalysisImportTest, BulletinExportedAgainKeepsWhatItRead)
{
    const QByteArray bulletin = "CODED SURFACE FRONTAL POSITIONS\n"
                                "342 PM EDT MON JUN 28 2021\n"
                                "VALID 062818Z\n"
                                "HIGHS 1022 3961069 1030 6000200\n"
                                "LOWS 1002 3441145\n"
                                "COLD WK 5280837 5090871 5040890\n"
                                "TROF STG 4001000 4001100 4001500 4001700 3501100\n"
                                "OCFNT MDT 5501800 5601850\n"
                                "$$\n";
    const QString in = dir.filePath(QStringLiteral("in.txt"));
    QFile file(in);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bulletin);
    file.close();
    const auto summary = session->importBulletin(in);
    EXPECT_EQ(summary.offChart, 2); // the high at 60 N 20 W and the occlusion at 175 E

    const QString out = dir.filePath(QStringLiteral("out.bul"));
    session->saveAnalysis(out);
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const Bulletin read = BulletinParser::parse(bulletin);
    const Bulletin again = BulletinParser::parse(written.readAll());
    EXPECT_EQ(again.valid, read.valid);
    ASSERT_EQ(again.lines.size(), read.lines.size());
    for (size_t i = 0; i < read.lines.size(); ++i) {
        EXPECT_EQ(again.lines[i].tool, read.lines[i].tool) << i;
        EXPECT_EQ(again.lines[i].strength, read.lines[i].strength) << i;
        EXPECT_EQ(again.lines[i].points, read.lines[i].points) << i;
    }
    ASSERT_EQ(again.centres.size(), read.centres.size());
    for (size_t i = 0; i < read.centres.size(); ++i) {
        EXPECT_EQ(again.centres[i].pressure, read.centres[i].pressure) << i;
        EXPECT_EQ(again.centres[i].position, read.centres[i].position) << i;
    }

    const QString json = dir.filePath(QStringLiteral("out.geojson"));
    session->saveAnalysis(json);
    QFile geo(json);
    ASSERT_TRUE(geo.open(QIODevice::ReadOnly));
    const QJsonObject document = QJsonDocument::fromJson(geo.readAll()).object();
    EXPECT_EQ(document[u"valid"].toString(), QStringLiteral("2021-06-28T18:00:00Z"));
    const QJsonArray features = document[u"features"].toArray();
    ASSERT_EQ(features.size(), 6);
    EXPECT_EQ(features[3][u"properties"].toObject(),
              (QJsonObject{{QStringLiteral("kind"), QStringLiteral("cold")},
                           {QStringLiteral("strength"), QStringLiteral("WK")}}));
}

// A hand analysis is valid now: its GeoJSON time has the year of the export.
TEST_F(AnalysisImportTest, HandAnalysisIsValidAtTheTimeOfTheExport)
{
    session->chooseMarker(PressMode::HighCentre);
    struct NoText : PressPrompt {
        QString labelText() override { return QString(); }
    } prompt;
    session->press(400, 300, PanelLine{}, prompt);
    session->commit();
    const QDateTime before = QDateTime::currentDateTimeUtc();
    const QString json = dir.filePath(QStringLiteral("hand.geojson"));
    session->saveAnalysis(json);
    const QDateTime after = QDateTime::currentDateTimeUtc();
    QFile geo(json);
    ASSERT_TRUE(geo.open(QIODevice::ReadOnly));
    const QDateTime valid = QDateTime::fromString(
        QJsonDocument::fromJson(geo.readAll()).object()[u"valid"].toString(), Qt::ISODate);
    ASSERT_TRUE(valid.isValid());
    EXPECT_EQ(valid.timeSpec(), Qt::UTC);
    // The time is to the hour.
    EXPECT_LE(valid, after);
    EXPECT_GT(valid, before.addSecs(-3600));
}

// The extension chooses the format, in any case; an extension of neither format is refused,
// naming the ones accepted, and nothing is written.
TEST_F(AnalysisImportTest, ExportFormatFollowsTheExtension)
{
    session->importAnalysis(sample());
    const std::pair<const char *, char> written[] = {{"a.txt", 'C'},     {"a.bul", 'C'},
                                                     {"a.geojson", '{'}, {"a.json", '{'},
                                                     {"B.JSON", '{'},    {"b.Bul", 'C'}};
    for (const auto &[name, first] : written) {
        const QString path = dir.filePath(QLatin1String(name));
        session->saveAnalysis(path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(file.read(1), QByteArray(1, first)) << name;
    }
    for (const char *name : {"x.kml", "a.jsonl", "analysis", "a.geojson.tmp"}) {
        const QString path = dir.filePath(QLatin1String(name));
        try {
            session->saveAnalysis(path);
            ADD_FAILURE() << name << " was written";
        } catch (const ChartError &e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("Cannot export the analysis to %1: the file name must end in "
                                     ".txt or .bul (a coded bulletin), .geojson or .json "
                                     "(GeoJSON)")
                          .arg(path));
        }
        EXPECT_FALSE(QFile::exists(path)) << name;
    }
}
