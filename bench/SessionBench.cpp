// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// What the window's user waits on, through the chart session in a workspace that keeps its
// bitmap files, as the window's does: Generate of the United States at 1600 x 1200 (to set
// beside GenerateMapShipped, the map alone), undo and redo of a committed front, and the
// import of the sample surface bulletin.
#include "SilentProgress.h"
#include "editing/ChartSession.h"
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QFile>
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

// A user's Generates are seconds apart: what one leaves for the pause after it (the three
// bitmaps written, the replaced chart coded for Undo, as the window's timer does it) is done
// before the next, outside the timing.
void GenerateInSession1600x1200(benchmark::State &state)
{
    WorkspaceSession workspace;
    SilentProgress progress;
    for (auto _ : state) {
        workspace.session.generate(UnitedStates, progress);
        state.PauseTiming();
        workspace.session.finishWrites();
        workspace.session.workInPause();
        workspace.session.workInPause();
        state.ResumeTiming();
    }
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

// Real memory that the undo history costs: 20 Generates, each followed by seven or eight
// fronts across the chart (150 in all), then the growth of the process's resident memory since the
// session's first map. The history keeps at most 100 MB of steps, and the session a base map beside
// the chart; anything more is room in the codes or memory freed and not handed back.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

void HistoryMemoryInSession1600x1200(benchmark::State &state)
{
    NoLabels prompt;
    SilentProgress progress;
    for (auto _ : state) {
        WorkspaceSession workspace;
        ChartSession &session = workspace.session;
        session.finishWrites();
        const qint64 before = residentKiB();
        for (int generate = 0; generate < 20; ++generate) {
            ViewValues view = UnitedStates;
            view.centerLon += generate;
            session.generate(view, progress);
            const int fronts = generate % 2 ? 7 : 8;
            for (int front = 0; front < fronts; ++front) {
                session.chooseLineTool(front % 2 ? LineTool::ColdFront : LineTool::WarmFront);
                for (int i = 0; i < 5; ++i)
                    session.press(100 + i * 350, 100 + i * 250 + front * 10, {"Black", "1 px"},
                                  prompt);
                session.commit();
            }
        }
        session.finishWrites();
        // The window's timer, ticking twice in the pause after the last edit.
        session.workInPause();
        session.workInPause();
        state.counters["growth_MB"] = double(residentKiB() - before) / 1024;
        state.counters["history_MB"] = double(session.history().bytes()) / (1 << 20);
        state.counters["steps"] = double(session.history().undoSteps());
    }
}
BENCHMARK(HistoryMemoryInSession1600x1200)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
