// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// brimlark-render: makes a chart without a window, through the same drawing code.
#include "RenderOptions.h"
#include "TerminalProgress.h"
#include "analysis/ChartMarkers.h"
#include "analysis/SegmentRenderer.h"
#include "canvas/ChartError.h"
#include "canvas/ChartFonts.h"
#include "canvas/RasterCanvas.h"
#include "mapgen/MapGenerator.h"
#include "prefs/FileRegistryKey.h"
#include "prefs/SettingsStore.h"
#include "workspace/ChartFiles.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace
{

// A preferences file named on the command line must be there and readable: a chart drawn
// with the defaults instead would look like a success.
ChartSettings settingsOf(const RenderOptions &options)
{
    ChartSettings settings;
    if (!options.prefsFile.isEmpty()) {
        FileRegistryKey key(options.prefsFile, SettingsStore::keyPath());
        if (key.fileState() != FileRegistryKey::FileState::Read)
            throw ChartError(key.readError());
        SettingsStore::load(key, settings);
    }
    return settings;
}

void render(const RenderOptions &options)
{
    const ChartSettings settings = settingsOf(options);
    ChartBitmap chart;
    RasterCanvas canvas(chart);
    if (!options.input.isEmpty()) {
        ChartFiles::load(chart, canvas, options.input);
    } else {
        TerminalProgress progress(!options.quiet && ::isatty(STDERR_FILENO));
        const Workspace data(options.dataDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                                       : options.dataDir);
        ChartBitmap::checkSize(options.view.ChartWidth, options.view.ChartHeight);
        MapGenerator(chart, canvas, settings, data, progress).GenerateMap(options.view);
    }
    SegmentRenderer segments(canvas, settings);
    for (const RenderOptions::Segment &segment : options.segments)
        segments.DrawSegment(segment.tool, segment.points, {options.lineColor, options.lineWidth});
    for (const RenderOptions::Marker &marker : options.markers)
        ChartMarkers::placeLetter(canvas, settings, marker.letter, marker.at.x(), marker.at.y());
    for (const RenderOptions::Label &label : options.labels)
        ChartMarkers::placeText(canvas, label.text, label.at.x(), label.at.y());
    // A batch of charts leaves flushing to the disk to the system.
    ChartFiles::save(chart, options.output, settings.text(ChartSettings::JPEGComp),
                     ChartFiles::Sync::Later);
}

// Text needs the font machinery of a GUI application; plain maps start faster without it.
std::unique_ptr<QCoreApplication> application(int &argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (!qstrcmp(argv[i], "--marker") || !qstrcmp(argv[i], "--text")) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            auto gui = std::make_unique<QGuiApplication>(argc, argv);
            ChartFonts::registerSubstitutions();
            return gui;
        }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char **argv)
{
    const auto app = application(argc, argv);
    RenderOptions options;
    try {
        options = RenderOptions::parse(QCoreApplication::arguments().mid(1));
    } catch (const RenderOptions::UsageError &error) {
        std::fprintf(stderr, "brimlark-render: %s\n%s", qPrintable(error.message),
                     qPrintable(RenderOptions::usage()));
        return 2;
    }
    try {
        render(options);
    } catch (const ChartError &error) {
        std::fprintf(stderr, "brimlark-render: %s\n", qPrintable(error.message()));
        return 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "brimlark-render: %s\n", error.what());
        return 1;
    }
    return 0;
}
