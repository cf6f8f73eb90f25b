// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Benchmark entry: a headless GUI application, so fonts work, then Google Benchmark.
#include "canvas/ChartFonts.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

using namespace brimlark;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ChartFonts::registerSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
