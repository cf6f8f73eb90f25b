// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The editing of a chart, headless: presses, tools, New segment, Undo and Erase on the
// workspace files, and the start-up read of the last run's workspace.
#include "editing/ChartSession.h"
#include "base/ChartError.h"
#include "formats/BmpCodec.h"
#include "support/Pixels.h"
#include "support/WorkspaceFixture.h"
#include "workspace/BitmapWriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>

using namespace brimlark;

namespace
{

using S = ChartSettings;

// Answers the Text tool's question from a list, then with an empty text.
class ScriptedPrompt : public PressPrompt
{
public:
    QString labelText() override
    {
        ++asked;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    int asked = 0;
};

class ChartSessionTest : public WorkspaceFixture
{
public:
    void SetUp() override
    {
        writeSmallChart();
        session = std::make_unique<ChartSession>(settings, Workspace(dir.path()));
        startUp = session->startUp();
    }
    bool press(int x, int y) { return session->press(x, y, {"Black", "1 px"}, prompt); }
    QImage chart() const { return session->chart().image(); }

    ChartSettings settings;
    ScriptedPrompt prompt;
    std::unique_ptr<ChartSession> session;
    ChartSession::StartUp startUp;
};

enum class Shows { Unchanged, Changed, Snapshot, SnapshotWithDrawing, BaseMap };
enum class File { Unchanged, Chart, BaseMap };

struct Row {
    const char *action;
    std::function<void(ChartSession &)> run;
    Shows chart;
    File temp1;
    File temp2;
    int countChange; // +1, or -1 for "back to 0"
    int tool;        // the line tool afterwards, -1 for unchanged
};

} // namespace

TEST_F(ChartSessionTest, StartsWithTheWorkspaceAndTheColdFront)
{
    EXPECT_TRUE(startUp.errors.isEmpty());
    ASSERT_TRUE(startUp.fields.has_value());
    EXPECT_EQ(startUp.fields->lon(), QStringLiteral("-93.5"));
    EXPECT_EQ(session->view().zoom, 2.5);
    EXPECT_EQ(chart(), fileImage("temp1.bmp"));
    EXPECT_EQ(session->lineTool(), LineTool::ColdFront);
    EXPECT_EQ(session->pressMode(), PressMode::Line);
}

// The state table of the drawing tools, walked as one sequence.
TEST_F(ChartSessionTest, StateTableOfPressesAndTools)
{
    const auto pressAt = [this](int x, int y) {
        return [=, this](ChartSession &) { press(x, y); };
    };
    const auto lineTool = [](LineTool t) { return [t](ChartSession &s) { s.chooseLineTool(t); }; };
    const Row rows[] = {
        {"press, first point", pressAt(50, 50), Shows::Snapshot, File::Unchanged, File::Chart, 1,
         -1},
        {"press", pressAt(150, 60), Shows::SnapshotWithDrawing, File::Unchanged, File::Chart, 1,
         -1},
        {"press", pressAt(250, 50), Shows::SnapshotWithDrawing, File::Unchanged, File::Chart, 1,
         -1},
        {"line tool", lineTool(LineTool::WarmFront), Shows::Unchanged, File::Chart, File::Unchanged,
         -1, 2},
        {"press", pressAt(60, 200), Shows::Snapshot, File::Unchanged, File::Chart, 1, -1},
        {"marker", [](ChartSession &s) { s.chooseMarker(PressMode::LowCentre); }, Shows::Unchanged,
         File::Chart, File::Unchanged, -1, -1},
        {"press", pressAt(300, 200), Shows::SnapshotWithDrawing, File::Unchanged, File::Chart, 1,
         -1},
        {"New segment", [](ChartSession &s) { s.commit(); }, Shows::Unchanged, File::Chart,
         File::Unchanged, -1, -1},
        {"press", pressAt(320, 100), Shows::SnapshotWithDrawing, File::Unchanged, File::Chart, 1,
         -1},
        {"Undo", [](ChartSession &s) { s.undo(); }, Shows::Snapshot, File::Unchanged,
         File::Unchanged, -1, -1},
        {"Undo again: back before the marker", [](ChartSession &s) { s.undo(); }, Shows::Changed,
         File::Chart, File::Unchanged, -1, -1},
        {"Erase", [](ChartSession &s) { s.erase(); }, Shows::BaseMap, File::BaseMap,
         File::Unchanged, -1, -1},
        {"Undo right after Erase: back across it", [](ChartSession &s) { s.undo(); },
         Shows::Changed, File::Chart, File::Unchanged, -1, -1},
        {"Redo", [](ChartSession &s) { s.redo(); }, Shows::BaseMap, File::BaseMap, File::Unchanged,
         -1, -1},
    };
    for (const Row &row : rows) {
        const QImage chartBefore = chart();
        const QImage snapshot = fileImage("temp1.bmp");
        const QByteArray temp1Before = readFile("temp1.bmp");
        const QByteArray temp2Before = readFile("temp2.bmp");
        const int countBefore = session->segment().count();
        const int toolBefore = int(session->lineTool());
        row.run(*session);
        SCOPED_TRACE(row.action);
        switch (row.chart) {
        case Shows::Unchanged:
            EXPECT_EQ(chart(), chartBefore);
            break;
        case Shows::Changed:
            EXPECT_NE(chart(), chartBefore);
            break;
        case Shows::Snapshot:
            EXPECT_EQ(chart(), snapshot);
            break;
        case Shows::SnapshotWithDrawing:
            EXPECT_NE(chart(), snapshot);
            break;
        case Shows::BaseMap:
            EXPECT_EQ(chart(), fileImage("temp0.bmp"));
            break;
        }
        const auto expectFile = [&](const char *name, File what, const QByteArray &before) {
            if (what == File::Unchanged)
                EXPECT_EQ(readFile(name), before) << name;
            else if (what == File::Chart)
                EXPECT_EQ(fileImage(name), chart()) << name;
            else
                EXPECT_EQ(readFile(name), readFile("temp0.bmp")) << name;
        };
        expectFile("temp1.bmp", row.temp1, temp1Before);
        expectFile("temp2.bmp", row.temp2, temp2Before);
        EXPECT_EQ(session->segment().count(), row.countChange > 0 ? countBefore + 1 : 0);
        EXPECT_EQ(int(session->lineTool()), row.tool < 0 ? toolBefore : row.tool);
    }
}

// Three committed segments on a base map: with nothing drawn since the last New segment,
// each Undo steps back one of them to the base map, and Redo steps forward again, the chart
// and temp1.bmp equal pixel for pixel to what they were.
TEST_F(ChartSessionTest, UndoHistoryStepsBackAndForthThroughCommittedSegments)
{
    session->erase(); // the base map
    std::vector<QImage> states{chart()};
    const QPoint segments[3][3] = {{{40, 150}, {200, 120}, {360, 150}},
                                   {{40, 50}, {200, 80}, {360, 40}},
                                   {{60, 250}, {200, 200}, {300, 280}}};
    for (const auto &segment : segments) {
        for (const QPoint p : segment)
            press(p.x(), p.y());
        session->commit();
        states.push_back(chart());
    }
    for (int back = 2; back >= 0; --back) {
        session->undo();
        EXPECT_EQ(chart(), states[size_t(back)]) << back;
        EXPECT_EQ(fileImage("temp1.bmp"), states[size_t(back)]) << back;
    }
    for (size_t forward = 1; forward <= 2; ++forward) {
        session->redo();
        EXPECT_EQ(chart(), states[forward]) << forward;
        EXPECT_EQ(fileImage("temp1.bmp"), states[forward]) << forward;
    }
    press(100, 100); // a new press forgets the steps forward
    EXPECT_EQ(session->history().redoSteps(), 0u);
}

// A segment thrown away by the first Undo comes back with Redo; Generate and Load are steps
// like any other, the view with them.
TEST_F(ChartSessionTest, RedoBringsBackAThrownAwaySegmentAndUndoCrossesLoad)
{
    press(40, 150);
    press(200, 120);
    const QImage drawn = chart();
    session->undo();
    EXPECT_EQ(chart(), fileImage("temp1.bmp"));
    session->redo();
    EXPECT_EQ(chart(), drawn);
    EXPECT_EQ(fileImage("temp1.bmp"), drawn);

    const QImage small = Pixels::plain(30, 20, qRgb(9, 90, 190));
    BmpCodec::writeFile(path("small.bmp"), small, 0);
    session->load(path("small.bmp"));
    session->undo();
    EXPECT_EQ(chart(), drawn);
    session->redo();
    EXPECT_EQ(chart(), small);
}

// Undo and Redo name the step they would take: the drawing not yet kept first, then the
// kept steps, each under the tool or command that made it.
TEST_F(ChartSessionTest, UndoAndRedoNameTheirNextStep)
{
    const std::pair<QString, QString> none;
    EXPECT_EQ(std::pair(session->undoName(), session->redoName()), none);
    press(40, 150);
    press(200, 120);
    EXPECT_EQ(session->undoName(), QStringLiteral("cold front"));
    session->chooseMarker(PressMode::LowCentre); // keeps the front
    press(100, 100);
    session->chooseLineTool(LineTool::Isopleth); // keeps the low
    session->erase();
    const std::pair<QString, QString> steps[] = {
        {QStringLiteral("low centre"), QStringLiteral("Erase")},
        {QStringLiteral("cold front"), QStringLiteral("low centre")},
        {QString(), QStringLiteral("cold front")}};
    EXPECT_EQ(std::pair(session->undoName(), session->redoName()),
              std::pair(QStringLiteral("Erase"), QString()));
    for (const auto &names : steps) {
        session->undo();
        EXPECT_EQ(std::pair(session->undoName(), session->redoName()), names);
    }
    session->redo();
    press(10, 10); // one point of a line draws nothing yet: Undo would take the front back
    EXPECT_EQ(session->undoName(), QStringLiteral("cold front"));
    press(50, 10);
    EXPECT_EQ(std::pair(session->undoName(), session->redoName()),
              std::pair(QStringLiteral("isopleth"), QString()));
    session->undo(); // throws the isopleth away, for Redo to bring back
    EXPECT_EQ(std::pair(session->undoName(), session->redoName()),
              std::pair(QStringLiteral("cold front"), QStringLiteral("isopleth")));
}

// Undoing a Load brings back the base map it replaced, so that Erase returns to the base map
// of the chart shown, on disk too; redoing it brings the loaded one back.
TEST_F(ChartSessionTest, UndoingALoadBringsBackTheBaseMapItReplaced)
{
    const QImage white = fileImage("temp0.bmp");
    press(40, 150);
    press(200, 120);
    session->commit();
    const QImage drawn = chart();
    const QImage small = Pixels::plain(30, 20, qRgb(9, 90, 190));
    BmpCodec::writeFile(path("small.bmp"), small, 0);
    session->load(path("small.bmp"));

    session->undo(); // the drawn chart before the load
    EXPECT_EQ(chart(), drawn);
    EXPECT_EQ(fileImage("temp0.bmp"), white);
    session->redo();
    EXPECT_EQ(chart(), small);
    EXPECT_EQ(fileImage("temp0.bmp"), small);
    session->undo();
    EXPECT_EQ(chart(), drawn);
    session->erase();
    EXPECT_EQ(chart(), white);
    EXPECT_EQ(fileImage("temp0.bmp"), white);
}

// When the base map cannot be written back, the failure is reported once the writes are
// waited for, and the chart shown is the one the history stepped back to, so that the next
// Undo steps on from there.
TEST_F(ChartSessionTest, UndoWhoseBaseMapCannotBeWrittenKeepsChartAndHistoryTogether)
{
    const QImage start = chart();
    press(40, 150);
    press(200, 120);
    session->commit();
    const QImage drawn = chart();
    BmpCodec::writeFile(path("small.bmp"), Pixels::plain(30, 20, qRgb(9, 90, 190)), 0);
    session->load(path("small.bmp"));
    session->finishWrites(); // the load's base map is on disk before it is taken away
    ASSERT_TRUE(QFile::remove(path("temp0.bmp")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("temp0.bmp"))); // cannot be replaced

    // The undo returns with the chart drawn; the base map's write fails behind it, and
    // says so when the writes are waited for.
    session->undo();
    EXPECT_THROW(session->finishWrites(), ChartError);
    EXPECT_EQ(chart(), drawn);
    EXPECT_EQ(fileImage("temp1.bmp"), drawn);
    session->undo();
    EXPECT_EQ(chart(), start);
}

TEST_F(ChartSessionTest, ColdFrontThroughThreePointsIsDrawnInColdColour)
{
    press(40, 150);
    press(200, 120);
    press(360, 150);
    EXPECT_TRUE(Pixels::contains(fileImage("temp2.bmp"), settings.color(S::ColdColor)));
}

TEST_F(ChartSessionTest, MarkersMoveUntilCommitted)
{
    session->chooseMarker(PressMode::LowCentre);
    press(60, 60);
    press(300, 200);
    const ChartColor warm = settings.color(S::WarmColor);
    EXPECT_FALSE(Pixels::contains(chart(), warm, QRect(30, 30, 60, 60)));
    EXPECT_TRUE(Pixels::contains(chart(), warm, QRect(270, 170, 60, 60)));
    session->commit();
    press(60, 60);
    EXPECT_TRUE(Pixels::contains(chart(), warm, QRect(30, 30, 60, 60)));
    EXPECT_TRUE(Pixels::contains(chart(), warm, QRect(270, 170, 60, 60)));
    EXPECT_EQ(session->lineTool(), LineTool::ColdFront); // markers keep the line tool
    session->chooseMarker(PressMode::HighCentre);
    press(200, 100);
    EXPECT_TRUE(Pixels::contains(chart(), settings.color(S::ColdColor), QRect(170, 70, 60, 60)));
}

TEST_F(ChartSessionTest, TextLabelStartsAtThePressAndAnEmptyTextShowsTheSnapshot)
{
    session->chooseMarker(PressMode::Text);
    prompt.answers = {QStringLiteral("Front")};
    press(100, 100);
    EXPECT_EQ(prompt.asked, 1);
    EXPECT_TRUE(Pixels::contains(chart(), 0, QRect(100, 100, 60, 20)));
    EXPECT_FALSE(Pixels::contains(chart(), 0, QRect(60, 60, 40, 40)));
    press(150, 150);
    EXPECT_EQ(chart(), fileImage("temp1.bmp"));
    EXPECT_EQ(fileImage("temp2.bmp"), chart());
    EXPECT_EQ(session->segment().count(), 2);
}

TEST_F(ChartSessionTest, WidthThatIsNotAnIntegerStopsThePress)
{
    settings.setText(S::ColdWidth, QStringLiteral("thick"));
    for (const QPoint p : {QPoint(40, 150), QPoint(200, 120), QPoint(360, 150)}) {
        try {
            press(p.x(), p.y());
            ADD_FAILURE() << "drew with a width of words";
        } catch (const ChartError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("'thick' is not a valid integer value"));
        }
    }
    EXPECT_EQ(chart(), fileImage("temp1.bmp"));
    EXPECT_FALSE(QFile::exists(path("temp2.bmp")));
    EXPECT_EQ(session->segment().count(), 3); // each point was added before the drawing failed
}

TEST_F(ChartSessionTest, HundredAndFirstPressChangesNothing)
{
    session->chooseLineTool(LineTool::Isopleth);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(press(2 + i * 3, 100 + (i % 2) * 20));
    const QByteArray temp2 = readFile("temp2.bmp");
    const QImage drawn = chart();
    EXPECT_FALSE(press(390, 290));
    EXPECT_EQ(session->segment().count(), 100);
    EXPECT_EQ(chart(), drawn);
    EXPECT_EQ(readFile("temp2.bmp"), temp2);
}

TEST_F(ChartSessionTest, LoadMakesTheChartTheBaseMapAndExitKeepsIt)
{
    press(40, 150);
    const QImage picture = Pixels::plain(400, 300, qRgb(9, 90, 190));
    BmpCodec::writeFile(path("picture.bmp"), picture, 0);
    session->load(path("picture.bmp"));
    EXPECT_EQ(chart(), picture);
    EXPECT_EQ(session->segment().count(), 0);
    for (const char *name : {"temp0.bmp", "temp1.bmp", "temp2.bmp"})
        EXPECT_EQ(fileImage(name), picture) << name;
    SavedFields fields = ChartSession::firstStartFields();
    fields.lines[0] = QStringLiteral("12.5");
    session->exit(fields);
    EXPECT_EQ(readFile("saveddat.txt"), QByteArray("12.5\r\n-96\r\n800\r\n600\r\n1.2\r\n"));
}

// With "saveddat.txt" missing the chart was left unread, and the next exit then wrote an
// empty chart over it.
TEST_F(ChartSessionTest, ChartIsReadEvenWhenTheSavedFieldsAreMissing)
{
    QFile::remove(path("saveddat.txt"));
    ChartSession next(settings, Workspace(dir.path()));
    const ChartSession::StartUp result = next.startUp();
    EXPECT_EQ(result.errors,
              QStringList{QStringLiteral("File not found: ") + path("saveddat.txt")});
    EXPECT_FALSE(result.fields.has_value());
    EXPECT_EQ(next.chart().image(), Pixels::plain(400, 300, qRgb(200, 230, 255)));
    next.exit(ChartSession::firstStartFields());
    EXPECT_EQ(fileImage("temp1.bmp"), Pixels::plain(400, 300, qRgb(200, 230, 255)));
}

// A chart file that cannot be read is moved aside, replacing an older one, so that nothing
// written later destroys it.
TEST_F(ChartSessionTest, UnreadableChartIsKeptBesideTheNewOne)
{
    const QByteArray damaged = "BM" + QByteArray(5000, '\x11');
    writeFile("temp1.bmp", damaged);
    writeFile("temp1.bmp.bad", "older");
    ChartSession next(settings, Workspace(dir.path()));
    const ChartSession::StartUp result = next.startUp();
    ASSERT_EQ(result.errors.size(), 1);
    EXPECT_EQ(result.errors[0], QStringLiteral("Bitmap image is not valid. The chart file was "
                                               "kept as ")
                                    + path("temp1.bmp.bad") + u'.');
    EXPECT_TRUE(next.chart().isEmpty());
    next.exit(ChartSession::firstStartFields());
    EXPECT_EQ(readFile("temp1.bmp.bad"), damaged);
    EXPECT_TRUE(QFile::exists(path("temp1.bmp")));
}

// Writes killed half-way left their temporary files behind, hundreds of megabytes of them.
TEST_F(ChartSessionTest, StaleTemporaryFilesOfOurWritesAreRemoved)
{
    const QStringList stale = {"temp1.bmp.a1B2c3", "temp0.bmp.zzzzzz", "saveddat.txt.Q9q9Q9"};
    const QStringList kept = {"temp2.bmp.fresh1", "temp1.bmp.bad", "notes.txt.abcdef",
                              "temp1.bmp.toolong7"};
    for (const QString &name : stale + kept) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.write("x");
        file.flush(); // before the time is set, or the write would set it again
        if (name != QStringLiteral("temp2.bmp.fresh1")) {
            ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                         QFileDevice::FileModificationTime));
        }
    }
    ChartSession(settings, Workspace(dir.path())).startUp();
    for (const QString &name : stale)
        EXPECT_FALSE(QFile::exists(dir.filePath(name))) << name.toStdString();
    for (const QString &name : kept)
        EXPECT_TRUE(QFile::exists(dir.filePath(name))) << name.toStdString();
}

// brimlark-render's scratch workspace writes no bitmaps: the same edits give the same charts
// as in a workspace on disk, with the base map and snapshot held in memory.
TEST(ScratchWorkspaceTest, EditsGiveTheSameChartsWithNoBitmapFiles)
{
    QTemporaryDir onDisk, scratch, pictures;
    const QString picture = pictures.filePath(QStringLiteral("base.bmp"));
    BmpCodec::writeFile(picture, Pixels::plain(120, 90, qRgb(200, 230, 255)), 0);
    const ChartSettings settings;
    ChartSession filed(settings, Workspace(onDisk.path()));
    ChartSession held(settings, Workspace(scratch.path(), scratch.path(), true));
    ScriptedPrompt prompt;
    const std::function<void(ChartSession &)> steps[] = {
        [&](ChartSession &s) { s.load(picture); },
        [&](ChartSession &s) {
            for (const QPoint p : {QPoint(10, 10), QPoint(60, 70), QPoint(110, 20)})
                s.press(p.x(), p.y(), {"Black", "1 px"}, prompt);
        },
        [](ChartSession &s) { s.chooseLineTool(LineTool::WarmFront); },
        [&](ChartSession &s) {
            s.press(30, 80, {"Black", "1 px"}, prompt);
        },
        [](ChartSession &s) { s.undo(); },
        [](ChartSession &s) { s.erase(); },
        [](ChartSession &s) { s.undo(); },
        [&](ChartSession &s) { s.load(picture); },
        [](ChartSession &s) { s.undo(); },
        [](ChartSession &s) { s.undo(); },
        [](ChartSession &s) { s.erase(); },
    };
    int step = 0;
    for (const auto &run : steps) {
        run(filed);
        run(held);
        EXPECT_EQ(held.chart().image(), filed.chart().image()) << "step " << step++;
    }
    BitmapWriter::finishAll();
    EXPECT_TRUE(QDir(scratch.path()).entryList({QStringLiteral("*.bmp*")}, QDir::Files).isEmpty());
    EXPECT_TRUE(QFile::exists(onDisk.filePath(QStringLiteral("temp0.bmp"))));
}

// The first Undo after keeping a segment changed nothing; only the second stepped back.
TEST_F(ChartSessionTest, UndoRightAfterKeepingASegmentRemovesIt)
{
    const std::pair<const char *, std::function<void(ChartSession &)>> keeps[] = {
        {"New segment", [](ChartSession &s) { s.commit(); }},
        {"another line tool", [](ChartSession &s) { s.chooseLineTool(LineTool::Trough); }},
        {"a marker", [](ChartSession &s) { s.chooseMarker(PressMode::HighCentre); }}};
    for (const auto &[how, keep] : keeps) {
        SCOPED_TRACE(how);
        session->chooseLineTool(LineTool::ColdFront);
        const QImage before = chart();
        for (const QPoint p : {QPoint(40, 150), QPoint(200, 120), QPoint(360, 150)})
            press(p.x(), p.y());
        keep(*session);
        ASSERT_NE(chart(), before);
        session->undo();
        EXPECT_EQ(chart(), before);
        EXPECT_EQ(fileImage("temp1.bmp"), before);
    }
}

// Generate, Load, Erase and an import threw away a segment or label not yet kept: no Undo
// brought it back.
TEST_F(ChartSessionTest, ReplacingTheChartKeepsTheUnkeptDrawingInTheHistory)
{
    BmpCodec::writeFile(path("picture.bmp"), Pixels::plain(400, 300, qRgb(9, 90, 190)), 0);
    Bulletin low;
    low.centres.push_back({false, 996, GeoPoint{45, -93.5}});
    const std::pair<const char *, std::function<void(ChartSession &)>> replacements[] = {
        {"Erase", [](ChartSession &s) { s.erase(); }},
        {"Load", [this](ChartSession &s) { s.load(path("picture.bmp")); }},
        {"import", [&low](ChartSession &s) { s.importAnalysis(low); }}};
    for (const auto &[how, replace] : replacements) {
        for (const PressMode mode : {PressMode::Line, PressMode::Text}) {
            SCOPED_TRACE(std::string(how) + (mode == PressMode::Text ? ", a label" : ", a front"));
            if (mode == PressMode::Line)
                session->chooseLineTool(LineTool::ColdFront);
            else
                session->chooseMarker(PressMode::Text);
            prompt.answers = {QStringLiteral("Front")};
            press(40, 150);
            if (mode == PressMode::Line) {
                press(200, 120);
                press(360, 150);
            }
            const QImage drawn = chart();
            replace(*session);
            ASSERT_NE(chart(), drawn);
            session->undo();
            EXPECT_EQ(chart(), drawn);
            EXPECT_EQ(session->segment().count(), 0);
        }
    }
}

// Enter or N with nothing to keep rewrote temp1.bmp and waited for the disk.
TEST_F(ChartSessionTest, NewSegmentWithNothingDrawnWritesNothing)
{
    press(40, 150);
    press(200, 120);
    session->commit();
    session->finishWrites();
    writeFile("temp1.bmp", "left alone");
    session->commit();
    session->chooseLineTool(LineTool::WarmFront);
    EXPECT_EQ(readFile("temp1.bmp"), QByteArray("left alone"));
}

// A file of another type loaded nothing, said nothing, and still became the base map.
TEST_F(ChartSessionTest, LoadOfAnotherFileTypeIsRefusedAndChangesNothing)
{
    press(40, 150);
    press(200, 120);
    writeFile("notes.txt", "not a picture");
    const QImage drawn = chart();
    const QByteArray baseMap = readFile("temp0.bmp");
    const size_t steps = session->history().undoSteps();
    try {
        session->load(path("notes.txt"));
        ADD_FAILURE() << "loaded a text file";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot load %1: a chart can be loaded from .gif, "
                                              ".jpg, .jpeg, .bmp or .png")
                                   .arg(path("notes.txt")));
    }
    EXPECT_EQ(chart(), drawn);
    EXPECT_EQ(session->segment().count(), 2);
    EXPECT_EQ(readFile("temp0.bmp"), baseMap);
    EXPECT_EQ(session->history().undoSteps(), steps);
}

// A second program on the same workspace wrote its chart over the first one's at Exit.
TEST_F(ChartSessionTest, ReadOnlyWorkspaceWritesNoWorkspaceFile)
{
    QStringList names = {"saveddat.txt", "temp0.bmp", "temp1.bmp"};
    std::map<QString, QByteArray> before;
    for (const QString &name : names)
        before[name] = readFile(name);
    ChartSession reader(settings, Workspace(dir.path()).readOnly());
    EXPECT_TRUE(reader.startUp().errors.isEmpty());
    EXPECT_EQ(reader.chart().image(), fileImage("temp1.bmp"));
    for (const QPoint p : {QPoint(40, 150), QPoint(200, 120)})
        reader.press(p.x(), p.y(), {"Black", "1 px"}, prompt);
    reader.commit();
    reader.erase();
    reader.undo();
    reader.exit(ChartSession::firstStartFields());
    for (const QString &name : names)
        EXPECT_EQ(readFile(name), before[name]) << name.toStdString();
    EXPECT_FALSE(QFile::exists(path("temp2.bmp")));
}

// Neither workspace file: a first start, no error; either one alone is read and the other
// reported by name.
TEST(ChartSessionStartUpTest, NewWorkspaceIsNoError)
{
    QTemporaryDir empty;
    const ChartSettings settings;
    ChartSession session(settings, Workspace(empty.path()));
    const ChartSession::StartUp result = session.startUp();
    EXPECT_TRUE(result.newWorkspace);
    EXPECT_TRUE(result.errors.isEmpty());
    EXPECT_FALSE(result.fields.has_value());
    EXPECT_TRUE(session.chart().isEmpty());
}

// The workspace bitmaps are written behind the editing: a program killed right after a press
// returns leaves each of them readable, the picture before or the one after. The child is
// this test program again, running KilledSession.PressesUntilKilled in a workspace of its
// own; it says when its presses have returned, and is killed then.
TEST(KilledSession, PressesUntilKilled)
{
    const QString folder = qEnvironmentVariable("BRIMLARK_KILLED_WORKSPACE");
    if (folder.isEmpty())
        GTEST_SKIP() << "the child of KillRightAfterAPressLeavesEveryBitmapReadable";
    ChartSettings settings;
    ChartSession session(settings, Workspace(folder));
    session.startUp();
    session.load(QDir(folder).filePath(QStringLiteral("picture.bmp")));
    ScriptedPrompt prompt;
    for (int i = 0; i < 3; ++i)
        session.press(40 + 100 * i, 150 - 20 * (i % 2), {"Black", "1 px"}, prompt);
    std::fputs("pressed\n", stdout);
    std::fflush(stdout);
    QThread::sleep(60);
}

TEST(KilledSession, KillRightAfterAPressLeavesEveryBitmapReadable)
{
    for (int run = 0; run < 5; ++run) {
        SCOPED_TRACE(run);
        QTemporaryDir dir;
        BmpCodec::writeFile(dir.filePath(QStringLiteral("picture.bmp")),
                            Pixels::plain(1600, 1200, qRgb(200, 230, 255)), 0);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("BRIMLARK_KILLED_WORKSPACE"), dir.path());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=KilledSession.PressesUntilKilled")});
        while (!child.readAllStandardOutput().contains("pressed"))
            ASSERT_TRUE(child.waitForReadyRead(60000)) << "the child never pressed";
        child.kill();
        ASSERT_TRUE(child.waitForFinished(60000));
        for (const char *name : {"temp0.bmp", "temp1.bmp", "temp2.bmp"}) {
            const QString path = dir.filePath(QLatin1String(name));
            if (!QFile::exists(path))
                continue; // not written yet: the start of the workspace
            EXPECT_NO_THROW(EXPECT_EQ(BmpCodec::readFile(path).image.size(), QSize(1600, 1200)))
                << name;
        }
    }
}
