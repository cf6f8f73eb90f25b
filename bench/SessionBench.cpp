// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// What the window's user waits on, through the chart session in a workspace that keeps its
// bitmap files, as the window's does: Generate of the United States at 1600 x 1200 (to set
// beside GenerateMapShipped, the map alone), undo and redo of a committed front, and the
// import of the sample surface bulletin.
#include "SilentProgress.h"
#include "editing/ChartSession.h"
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace brimlark;

namespace
{

class NoLabels : public PressPrompt
{
public:
    QString labelText() override { return {}; }
};

const ViewValues UnitedStates{39, -96, 1.2, 1600, 1200};

// A session in a fresh workspace of its own, reading the map data beside the program.
struct WorkspaceSession {
    WorkspaceSession()
    {
        SilentProgress progress;
        session.generate(UnitedStates, progress);
    }
    QTemporaryDir dir;
    const ChartSettings settings;
    ChartSession session{settings, Workspace(dir.path(), QCoreApplication::applicationDirPath())};
};

void GenerateInSession1600x1200(benchmark::State &state)
{
    WorkspaceSession workspace;
    SilentProgress progress;
    for (auto _ : state)
        workspace.session.generate(UnitedStates, progress);
}
BENCHMARK(GenerateInSession1600x1200)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// Each iteration is one Undo and one Redo of a cold front of five points.
void UndoRedoFrontInSession1600x1200(benchmark::State &state)
{
    WorkspaceSession workspace;
    ChartSession &session = workspace.session;
    NoLabels prompt;
    session.chooseLineTool(LineTool::ColdFront);
    for (int i = 0; i < 5; ++i)
        session.press(300 + i * 200, 500 + (i % 2) * 80, {"Black", "1 px"}, prompt);
    session.commit();
    for (auto _ : state) {
        session.undo();
        session.redo();
    }
}
BENCHMARK(UndoRedoFrontInSession1600x1200)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// The sample bulletin (its 28 fronts, troughs and centres) read and drawn on the chart.
void ImportSampleBulletin1600x1200(benchmark::State &state)
{
    const QString bulletin = QStringLiteral(BRIMLARK_SAMPLE_BULLETIN);
    if (!QFileInfo::exists(bulletin)) {
        state.SkipWithError("the sample bulletin is not beside the project");
        return;
    }
    WorkspaceSession workspace;
    for (auto _ : state) {
        workspace.session.importBulletin(bulletin);
        state.PauseTiming();
        workspace.session.undo();
        state.ResumeTiming();
    }
}
BENCHMARK(ImportSampleBulletin1600x1200)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

} // namespace
