// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The analysis as a list of features: the chart drawn again from them is the chart the
// presses drew, and features are edited one undoable step at a time.
#include "base/ChartError.h"
#include "bulletin/GeoJsonReader.h"
#include "bulletin/GeoJsonWriter.h"
#include "editing/AnalysisDocument.h"
#include "editing/ChartSession.h"
#include "formats/BmpCodec.h"
#include "support/Pixels.h"
#include "support/WorkspaceFixture.h"

#include <gtest/gtest.h>

#include <cmath>

#include <QFile>

#include <random>

using namespace brimlark;

namespace
{

class Labels : public PressPrompt
{
public:
    QString labelText() override { return next; }
    QString next = QStringLiteral("Front");
};

class FeatureEditingTest : public WorkspaceFixture
{
public:
    void SetUp() override
    {
        writeSmallChart();
        session = std::make_unique<ChartSession>(settings, Workspace(dir.path()));
        session->startUp();
    }
    void press(int x, int y, const PanelLine &panel = {"Black", "1 px"})
    {
        session->press(x, y, panel, labels);
    }
    void drawLine(LineTool tool, std::initializer_list<QPoint> points)
    {
        session->chooseLineTool(tool);
        for (const QPoint p : points)
            press(p.x(), p.y());
        session->commit();
    }
    QImage chart() const { return session->chart().image(); }
    // The chart drawn again from the features, leaving the session's chart as it was.
    QImage redrawn()
    {
        const QImage drawn = chart();
        session->redraw();
        const QImage again = chart();
        session->chart().assign(drawn, session->chart().paletteBits());
        return again;
    }

    ChartSettings settings;
    Labels labels;
    std::unique_ptr<ChartSession> session;
};

} // namespace

// Random editing sequences (tools, point counts, panel styles, markers, labels, Erase, Undo
// and Redo): whenever the segment is kept, the features drawn in order on the picture under
// them give the chart the presses drew, to the pixel.
TEST_F(FeatureEditingTest, ChartDrawnFromTheFeaturesIsTheChartThePressesDrew)
{
    std::mt19937 random(20261208);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const char *colours[] = {"Black", "Blue", "Red", "Yellow", "Green"};
    const PressMode markers[] = {PressMode::LowCentre, PressMode::HighCentre, PressMode::Text};
    for (int sequence = 0; sequence < 12; ++sequence) {
        for (int action = 0; action < 30; ++action) {
            switch (pick(10)) {
            case 0:
            case 1:
            case 2:
                session->chooseLineTool(LineTool(pick(7)));
                break;
            case 3:
                session->chooseMarker(markers[pick(3)]);
                labels.next = pick(4) == 0 ? QString() : QStringLiteral("T%1").arg(action);
                break;
            case 4:
            case 5:
            case 6:
                for (int n = 1 + pick(6); n > 0; --n)
                    press(pick(400), pick(300),
                          {QLatin1String(colours[pick(5)]),
                           QStringLiteral("%1 px").arg(1 + pick(5))});
                break;
            case 7:
                session->commit();
                break;
            case 8:
                pick(2) ? session->undo() : session->redo();
                break;
            case 9:
                if (pick(4) == 0)
                    session->erase();
                break;
            }
            if (session->segment().count() == 0) {
                ASSERT_EQ(Pixels::differenceCount(redrawn(), chart()), 0)
                    << sequence << ", " << action;
            }
        }
        session->commit();
        ASSERT_EQ(Pixels::differenceCount(redrawn(), chart()), 0) << sequence;
    }
}

// Each edit is one step named after it; the chart is the features drawn again, and Undo
// brings back the features and the chart as they were.
TEST_F(FeatureEditingTest, EditsAreNamedStepsThatUndoRestores)
{
    using F = std::vector<DrawnFeature>;
    struct Row {
        const char *edit;
        std::function<void(ChartSession &)> run;
        const char *step;
        std::function<void(const F &)> check;
    };
    const std::vector<QPointF> front{{40, 150}, {200, 120}, {360, 150}};
    const Row rows[] = {
        {"move point",
         [](ChartSession &s) {
             s.movePoint(0, 1, {200, 60});
         },
         "move point", [](const F &f) { EXPECT_EQ(f[0].points[1], QPointF(200, 60)); }},
        {"insert point",
         [](ChartSession &s) {
             s.insertPoint(0, {290, 140});
         },
         "insert point", [](const F &f) { EXPECT_EQ(f[0].points[2], QPointF(290, 140)); }},
        {"delete point", [](ChartSession &s) { s.deletePoint(0, 0); }, "delete point",
         [](const F &f) { EXPECT_EQ(f[0].points.front(), QPointF(200, 120)); }},
        {"delete feature", [](ChartSession &s) { s.deleteFeature(0); }, "delete cold front",
         [](const F &f) { EXPECT_EQ(f.size(), 2u); }},
        {"flip", [](ChartSession &s) { s.flipFeature(0); }, "flip cold front",
         [&](const F &f) {
             EXPECT_EQ(f[0].points, std::vector<QPointF>(front.rbegin(), front.rend()));
         }},
        {"retype", [](ChartSession &s) { s.retypeFeature(0, LineTool::WarmFront); },
         "change to warm front", [](const F &f) { EXPECT_EQ(f[0].tool, LineTool::WarmFront); }},
        {"move feature",
         [](ChartSession &s) {
             s.moveFeature(1, {10, -20});
         },
         "move low centre", [](const F &f) { EXPECT_EQ(f[1].points[0], QPointF(110, 230)); }},
        {"pressure", [](ChartSession &s) { s.setFeatureText(1, QStringLiteral("996")); },
         "edit text", [](const F &f) { EXPECT_EQ(f[1].pressure, 996); }},
        {"label", [](ChartSession &s) { s.setFeatureText(2, QStringLiteral("Dry")); }, "edit text",
         [](const F &f) { EXPECT_EQ(f[2].text, QStringLiteral("Dry")); }},
        {"empty label", [](ChartSession &s) { s.setFeatureText(2, QString()); }, "delete text",
         [](const F &f) { EXPECT_EQ(f.size(), 2u); }},
    };
    session->chooseLineTool(LineTool::ColdFront);
    for (const QPointF p : front)
        press(int(p.x()), int(p.y()));
    session->chooseMarker(PressMode::LowCentre);
    press(100, 250);
    session->chooseMarker(PressMode::Text);
    press(300, 40);
    session->commit();
    const F features = session->features();
    const QImage drawn = chart();
    for (const Row &row : rows) {
        row.run(*session);
        EXPECT_EQ(session->undoName(), QLatin1String(row.step)) << row.edit;
        row.check(session->features());
        EXPECT_NE(chart(), drawn) << row.edit;
        EXPECT_EQ(Pixels::differenceCount(redrawn(), chart()), 0) << row.edit;
        EXPECT_EQ(fileImage("temp1.bmp"), chart()) << row.edit;
        session->undo();
        EXPECT_EQ(session->features(), features) << row.edit;
        EXPECT_EQ(chart(), drawn) << row.edit;
    }
}

// A front flipped twice is the front as drawn; its symbols went to the other side between.
TEST_F(FeatureEditingTest, FlippingTwiceGivesTheFrontBack)
{
    drawLine(LineTool::ColdFront, {{40, 150}, {200, 120}, {360, 150}});
    const QImage drawn = chart();
    session->flipFeature(0);
    EXPECT_GT(Pixels::differenceCount(chart(), drawn), 100);
    session->flipFeature(0);
    EXPECT_EQ(chart(), drawn);
}

TEST_F(FeatureEditingTest, ClicksFindTheNearestFeatureAndPoint)
{
    drawLine(LineTool::Trough, {{40, 150}, {200, 150}, {360, 150}});
    drawLine(LineTool::Dryline, {{40, 100}, {360, 100}});
    using Hit = std::optional<std::pair<size_t, std::optional<size_t>>>;
    const auto hit = [this](QPointF at) -> Hit {
        const auto found = session->featureAt(at);
        return found ? Hit({found->feature, found->point}) : std::nullopt;
    };
    EXPECT_EQ(hit({120, 146}), Hit({0, std::nullopt})); // on the line, no point near
    EXPECT_EQ(hit({203, 152}), Hit({0, 1}));            // on its middle point
    EXPECT_EQ(hit({120, 104}), Hit({1, std::nullopt}));
    EXPECT_EQ(hit({120, 125}), std::nullopt); // more than 6 pixels from both
}

// A feature or point that is not there is refused, and nothing changes.
TEST_F(FeatureEditingTest, EditsOfMissingFeaturesAreRefused)
{
    drawLine(LineTool::ColdFront, {{40, 150}, {200, 120}});
    const QImage drawn = chart();
    EXPECT_THROW(session->movePoint(0, 5, {1, 1}), ChartError);
    EXPECT_THROW(session->deletePoint(0, 2), ChartError); // not the whole two-point front
    EXPECT_THROW(session->deleteFeature(3), ChartError);
    EXPECT_THROW(session->setFeatureText(0, QStringLiteral("x")), ChartError);
    EXPECT_EQ(chart(), drawn);
    EXPECT_EQ(session->undoName(), QStringLiteral("cold front"));
}

// The features are kept beside the chart at Exit and are features again at the next start:
// drawn again they give the kept chart, and they can be edited.
TEST_F(FeatureEditingTest, AnalysisSurvivesExitAndStartUp)
{
    session->erase(); // the features go on the base map
    drawLine(LineTool::WarmFront, {{40, 150}, {200, 120}, {360, 150}});
    session->chooseLineTool(LineTool::Isopleth);
    press(40, 40, {"Red", "3 px"});
    press(300, 60, {"Red", "3 px"});
    session->chooseMarker(PressMode::HighCentre);
    press(100, 250);
    session->chooseMarker(PressMode::Text);
    press(250, 200);
    session->exit(ChartSession::firstStartFields());
    const std::vector<DrawnFeature> features = session->features();
    const QImage kept = chart();

    ChartSession next(settings, Workspace(dir.path()));
    const ChartSession::StartUp startUp = next.startUp();
    ASSERT_TRUE(startUp.errors.isEmpty()) << startUp.errors.join(u'\n').toStdString();
    EXPECT_EQ(startUp.status, QString());
    // The label not yet kept at Exit is on the chart, and so among the features.
    ASSERT_EQ(next.features().size(), 4u);
    EXPECT_EQ(std::vector(next.features().begin(), next.features().begin() + 3), features);
    EXPECT_EQ(next.features()[3].text, QStringLiteral("Front"));
    EXPECT_EQ(next.chart().image(), kept);
    next.flipFeature(0);
    next.flipFeature(0);
    EXPECT_EQ(next.chart().image(), kept);
}

// An analysis file that is missing, damaged or not the chart's own leaves no features and
// the chart as it was kept, and says so naming the file; what is drawn next goes on it.
TEST_F(FeatureEditingTest, ChartIsKeptWhenItsAnalysisFileCannotBeUsed)
{
    drawLine(LineTool::ColdFront, {{40, 150}, {200, 120}, {360, 150}});
    session->exit(ChartSession::firstStartFields());
    const QImage kept = chart();
    const QByteArray otherChart = AnalysisDocument::write(
        {session->view(), {}, {}, {session->features()[0], session->features()[0]}});
    const std::pair<std::optional<QByteArray>, const char *> cases[] = {
        {std::nullopt, "No analysis.geojson"},
        {"{\"type\":\"Feature", "The analysis file is damaged"},
        {"{\"type\":\"FeatureCollection\",\"features\":[]}", "it has no view"},
        {otherChart, "does not give the chart kept with it"},
    };
    for (const auto &[file, message] : cases) {
        BmpCodec::writeFile(path("temp1.bmp"), kept, 0); // the last case's edits wrote it
        QFile::remove(path("analysis.geojson"));
        if (file)
            writeFile("analysis.geojson", *file);
        ChartSession next(settings, Workspace(dir.path()));
        const ChartSession::StartUp startUp = next.startUp();
        const QString said = startUp.status + startUp.errors.join(u'\n');
        EXPECT_TRUE(said.contains(QLatin1String(message))) << said.toStdString();
        EXPECT_TRUE(!file || said.contains(path("analysis.geojson"))) << said.toStdString();
        EXPECT_TRUE(next.features().empty());
        EXPECT_EQ(next.chart().image(), kept);
        next.chooseMarker(PressMode::LowCentre);
        next.press(100, 250, {}, labels);
        next.commit();
        next.moveFeature(0, {5, 5}); // drawn again on the kept chart, the front stays
        EXPECT_TRUE(
            Pixels::contains(next.chart().image(), settings.color(ChartSettings::ColdColor)));
    }
}

// Plotted observations become part of the base map: under the features, kept by Erase,
// gone with Undo; the plot is one step of the history.
TEST_F(FeatureEditingTest, PlottedObservationsJoinTheBaseMap)
{
    drawLine(LineTool::ColdFront, {{40, 150}, {200, 120}, {360, 150}});
    Observation report;
    report.station = QStringLiteral("DEN");
    report.time = QDateTime(QDate(2019, 7, 1), QTime(12, 0), Qt::UTC);
    report.position = GeoPoint{45, -93.5}; // the middle of the chart
    report.windDirection = 270;
    report.windSpeed = 15;
    report.temperature = 21;
    report.seaLevelPressure = 1013.2;
    const QImage before = chart();
    const auto summary = session->plotObservations({report}, report.time);
    EXPECT_EQ(summary.plotted, 1);
    EXPECT_EQ(session->undoName(), QStringLiteral("Plot observations"));
    const ChartColor green = settings.color(ChartSettings::ObservationColor);
    EXPECT_TRUE(Pixels::contains(chart(), green, QRect(180, 130, 40, 40)));
    EXPECT_TRUE(Pixels::contains(fileImage("temp0.bmp"), green));
    EXPECT_EQ(Pixels::differenceCount(redrawn(), chart()), 0);
    session->erase();
    EXPECT_TRUE(Pixels::contains(chart(), green));
    session->undo();
    session->undo();
    EXPECT_EQ(chart(), before);
    EXPECT_FALSE(Pixels::contains(fileImage("temp0.bmp"), green));
}

// The first guess analyses the plotted stations into isobars and a low that join the analysis
// as one step of ordinary features: drawn again from the features to the pixel, kept over
// Exit, and exported and imported as isobars with their values. Without plotted stations it
// is refused and nothing changes.
TEST_F(FeatureEditingTest, FirstGuessIsOneStepOfOrdinaryFeatures)
{
    const QDateTime time(QDate(2019, 7, 1), QTime(12, 0), Qt::UTC);
    std::vector<Observation> reports;
    for (int row = 0; row <= 10; ++row)
        for (int column = 0; column <= 10; ++column) {
            Observation report;
            report.station = QStringLiteral("S%1").arg(reports.size());
            report.time = time;
            report.position = GeoPoint{40.0 + row, -101 + 1.5 * column};
            const double dLat = row - 5;
            const double dLon = (column - 5) * 1.5 * 0.7;
            report.seaLevelPressure =
                1012 - 10 * std::exp(-(dLat * dLat + dLon * dLon) / 20) + 0.5 * dLat;
            reports.push_back(report);
        }
    session->erase(); // the features go on the base map, which the next run has too
    const QImage bare = chart();
    EXPECT_THROW(session->firstGuess({}, {"Black", "2 px"}), ChartError);
    EXPECT_EQ(chart(), bare);

    session->plotObservations(reports, time);
    const FirstGuess::Result result = session->firstGuess({}, {"Black", "2 px"});
    EXPECT_GT(result.isolines, 2);
    EXPECT_EQ(result.lows, 1);
    EXPECT_EQ(session->undoName(), QStringLiteral("First guess"));
    EXPECT_EQ(session->features(), result.features);
    EXPECT_TRUE(Pixels::contains(chart(), settings.color(ChartSettings::FirstGuessColor)));
    EXPECT_EQ(Pixels::differenceCount(redrawn(), chart()), 0);
    // An isobar changed into a front is a front, without a value.
    session->retypeFeature(0, LineTool::ColdFront);
    EXPECT_FALSE(session->exportAnalysis().lines[0].contour);
    session->undo();
    EXPECT_EQ(session->features(), result.features);

    // Exported and imported again, the isolines come back with their values; read without
    // the panel's width, they draw in one pixel, in any run.
    const Bulletin back =
        GeoJsonReader::read(GeoJsonWriter::write(session->exportAnalysis())).analysis;
    session->undo();
    EXPECT_TRUE(session->features().empty());
    session->importAnalysis(back);
    ASSERT_EQ(session->features().size(), result.features.size());
    for (size_t i = 0; i < result.features.size(); ++i) {
        EXPECT_EQ(session->features()[i].kind, result.features[i].kind);
        EXPECT_EQ(session->features()[i].contour, result.features[i].contour);
        EXPECT_EQ(session->features()[i].pressure, result.features[i].pressure);
    }
    const std::vector<DrawnFeature> imported = session->features();
    session->exit(ChartSession::firstStartFields());
    ChartSession next(settings, Workspace(dir.path()));
    const ChartSession::StartUp startUp = next.startUp();
    EXPECT_EQ(startUp.status + startUp.errors.join(u'\n'), QString());
    EXPECT_EQ(next.features(), imported);
}
