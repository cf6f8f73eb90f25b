// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// brimlark-render: makes a chart without a window, through the same drawing code.
#include "RenderOptions.h"
#include "TerminalProgress.h"
#include "base/ChartError.h"
#include "canvas/ChartFonts.h"
#include "canvas/ChartMemory.h"
#include "editing/ChartSession.h"
#include "observation/ObservationFiles.h"
#include "observation/ObservationSelection.h"
#include "prefs/FileRegistryKey.h"
#include "prefs/SettingsStore.h"
#include "workspace/ChartFiles.h"
#include "workspace/SavedData.h"
#include "workspace/WorldFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <optional>
#include <sys/mman.h>
#include <unistd.h>

using namespace brimlark;

namespace
{

// A preferences file named on the command line must be there, readable and hold the
// preferences: a chart drawn with the defaults instead would look like a success.
ChartSettings settingsOf(const RenderOptions &options)
{
    ChartSettings settings;
    if (!options.prefsFile.isEmpty()) {
        FileRegistryKey key(options.prefsFile, SettingsStore::keyPath());
        if (key.fileState() != FileRegistryKey::FileState::Read)
            throw ChartError(key.readError());
        if (!key.hasSubkey(SettingsStore::section()))
            throw ChartError(
                QStringLiteral("%1 holds no preferences: it has no section "
                               "[HKEY_CURRENT_USER\\%2\\%3]")
                    .arg(options.prefsFile, SettingsStore::keyPath(), SettingsStore::section()));
        SettingsStore::load(key, settings);
    }
    return settings;
}

// The label texts of --text, handed to the session's presses one after another.
class LabelTexts : public PressPrompt
{
public:
    explicit LabelTexts(const std::vector<RenderOptions::Label> &labels) : m_labels(labels) {}
    QString labelText() override { return m_labels[m_next++].text; }

private:
    const std::vector<RenderOptions::Label> &m_labels;
    size_t m_next = 0;
};

// Lines and centres behind the globe or beyond the chart are left out of the chart (not of
// an export), as in the window, which says how many in its status line.
void reportOffChart(const ChartSession::ImportSummary &summary, const QString &source)
{
    if (summary.offChart > 0)
        std::fprintf(stderr, "brimlark-render: left out %d feature(s) of %s off the chart\n",
                     summary.offChart, qPrintable(source));
}

// Whether the message names the file: the path as a whole word, which a message like "Cannot
// open file PATH: reason" or "Invalid GIF signature: PATH" has.
bool names(const QString &message, const QString &path)
{
    for (qsizetype at = message.indexOf(path); at >= 0; at = message.indexOf(path, at + 1)) {
        const qsizetype end = at + path.size();
        if ((at == 0 || message[at - 1] == u' ')
            && (end == message.size() || message[end] == u':' || message[end] == u' '))
            return true;
    }
    return false;
}

// Some readers say what is wrong without saying which file ("Bitmap image is not valid",
// "Bulletin line 3: ..."); among the files of a command line, the message names it.
template <typename Step> auto readingFile(const QString &path, Step step) -> decltype(step())
{
    try {
        return step();
    } catch (const ChartError &e) {
        if (names(e.message(), path))
            throw;
        throw ChartError(QStringLiteral("%1: %2").arg(path, e.message()));
    }
}

// libpng writes its own account of a damaged picture on standard error ("libpng error: IDAT:
// CRC error") before the reader fails, which the run then reports in one line of its own.
// Standard error goes to /dev/null while a PNG is read.
class MutedStandardError
{
public:
    MutedStandardError()
    {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~MutedStandardError()
    {
        std::fflush(stderr);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }
    MutedStandardError(const MutedStandardError &) = delete;
    MutedStandardError &operator=(const MutedStandardError &) = delete;

private:
    int m_saved = -1;
};

std::optional<ViewValues> loadInput(ChartSession &session, const QString &input)
{
    // The chart reader's message names the file only; say why it cannot be read. A pipe or
    // a device is left to the reader, which opens it without waiting: opened here, a pipe
    // would wait for a writer, and closing it would cut the writer off.
    QFile file(input);
    const QFileInfo kind(file);
    if ((!kind.exists() || kind.isFile() || kind.isDir()) && !file.open(QIODevice::ReadOnly))
        throw ChartError(QStringLiteral("Cannot open file %1: %2").arg(input, file.errorString()));
    file.close();
    return readingFile(input, [&] {
        std::optional<MutedStandardError> muted;
        if (ChartFiles::extensionOf(input) == u".png")
            muted.emplace();
        return session.load(input);
    });
}

// The --input chart is placed on the globe with the view it carries, or with the one the
// options give; with neither, the positions drawn or read on it assume a view, which is said
// and not written into the chart.
void placeInput(ChartSession &session, const RenderOptions &options)
{
    const std::optional<ViewValues> stored = loadInput(session, options.input);
    const ViewValues view =
        options.inputView(stored, session.view(), session.chart().image().size());
    if (stored)
        return;
    session.setChartView(view, options.hasView);
    const bool usesGlobe = !options.geoAnalysis.lines.empty()
                           || !options.geoAnalysis.centres.empty() || !options.bulletins.empty()
                           || !options.observations.empty() || !options.exportAnalysis.isEmpty()
                           || options.worldFile;
    if (!options.hasView && usesGlobe) {
        const SavedFields texts = SavedFields::of(view);
        std::fprintf(stderr,
                     "brimlark-render: %s carries no view: positions on the globe assume "
                     "--center %s,%s --zoom %s --size %dx%d\n",
                     qPrintable(options.input), qPrintable(texts.lat()), qPrintable(texts.lon()),
                     qPrintable(texts.zoom()), view.chartWidth, view.chartHeight);
    }
}

// The observations of a file on the map, for the time asked or the hour most of them stand
// for; what was left out is said on standard error, as for analyses.
void plotObservations(ChartSession &session, const QString &file, QDateTime time)
{
    const ObservationFiles::Contents contents =
        readingFile(file, [&] { return ObservationFiles::read(file); });
    if (!time.isValid())
        time = ObservationSelection::commonHour(contents.observations);
    const ObservationPlot::Summary summary = session.plotObservations(contents.observations, time);
    if (summary.notInTable + summary.offChart + summary.hidden + contents.malformed > 0)
        std::fprintf(stderr,
                     "brimlark-render: %s: plotted %d station(s) at %s; left out %d not in the "
                     "station table, %d off the chart, %d to keep the chart legible; %d "
                     "report(s) unreadable\n",
                     qPrintable(file), summary.plotted, qPrintable(time.toString(Qt::ISODate)),
                     summary.notInTable, summary.offChart, summary.hidden, contents.malformed);
}

// The first guess from the stations plotted last; values left out are said on standard
// error.
void addFirstGuess(ChartSession &session, const FirstGuessChoice &choice, const PanelLine &panel)
{
    const FirstGuess::Result result = session.firstGuess(choice, panel);
    if (result.outOfBounds + result.outliers > 0)
        std::fprintf(stderr, "brimlark-render: %s\n", qPrintable(result.summary(choice.quantity)));
}

// The folder of the running program, which the application object would give, read here as
// it reads it on Linux: a plain map runs without one.
QString programFolder() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath(); }

// The chart is made as the window makes it, through a session on a scratch workspace: each
// segment drawn with its tool, then the L and H centres and the labels, each committed.
void render(const RenderOptions &options)
{
    const ChartSettings settings = settingsOf(options);
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        throw ChartError(
            QStringLiteral("Cannot create a temporary folder: %1").arg(scratch.errorString()));
    const QString dataDir = options.dataDir.isEmpty()
                                ? Workspace::mapDataOfProgramIn(programFolder())
                                : options.dataDir;
    ChartSession session(settings, Workspace(scratch.path(), dataDir, true));
    if (!options.input.isEmpty()) {
        placeInput(session, options);
    } else {
        TerminalProgress progress(!options.quiet && ::isatty(STDERR_FILENO));
        session.generate(options.view, progress);
    }
    for (const QString &file : options.observations)
        plotObservations(session, file, options.observationTime);
    const PanelLine isopleth{options.lineColor, options.lineWidth};
    if (options.firstGuess)
        addFirstGuess(session, *options.firstGuess, isopleth);
    for (const QString &bulletin : options.bulletins)
        reportOffChart(readingFile(bulletin, [&] { return session.importBulletin(bulletin); }),
                       bulletin);
    if (!options.geoAnalysis.lines.empty() || !options.geoAnalysis.centres.empty())
        reportOffChart(session.importAnalysis(options.geoAnalysis),
                       QStringLiteral("--draw-geo and --marker-geo"));
    LabelTexts labels(options.labels);
    const auto pressAt = [&](QPointF p) {
        session.press(qRound(p.x()), qRound(p.y()), isopleth, labels);
    };
    for (const RenderOptions::Segment &segment : options.segments) {
        session.chooseLineTool(segment.tool);
        for (const QPointF &point : segment.points)
            pressAt(point);
    }
    for (const RenderOptions::Marker &marker : options.markers) {
        session.chooseMarker(marker.letter == u'L' ? PressMode::LowCentre : PressMode::HighCentre);
        pressAt(marker.at);
    }
    for (const RenderOptions::Label &label : options.labels) {
        session.chooseMarker(PressMode::Text);
        pressAt(label.at);
    }
    // The chart is written first: an analysis that its file cannot hold, or an export file
    // that cannot be written, then fails the run without taking the chart with it. A batch
    // of charts leaves flushing to the disk to the system.
    session.save(options.output, ChartFiles::Sync::Later);
    if (options.worldFile)
        WorldFiles::write(options.output, session.view(), ChartFiles::Sync::Later);
    if (!options.exportAnalysis.isEmpty()) {
        session.commit();
        session.saveAnalysis(options.exportAnalysis);
    }
}

// The offscreen platform asks for the runtime folder, and Qt complains on standard error
// when XDG_RUNTIME_DIR does not name one, as under cron or a bare container. A private
// folder of our own (created owner-only) serves for the run and is removed after it.
class RuntimeFolder
{
public:
    RuntimeFolder()
    {
        if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            return;
        m_dir = std::make_unique<QTemporaryDir>();
        if (m_dir->isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->path()));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Text (letters, labels, a bulletin's centres) needs the font machinery of a GUI
// application. A plain map needs no application object at all, and starts faster without
// one: making it reads the locale's files and starts an event loop, a millisecond or more.
std::unique_ptr<QCoreApplication> application(int &argc, char **argv,
                                              std::optional<RuntimeFolder> &runtime)
{
    for (int i = 1; i < argc; ++i)
        if (!qstrcmp(argv[i], "--marker") || !qstrcmp(argv[i], "--text")
            || !qstrcmp(argv[i], "--marker-geo") || !qstrcmp(argv[i], "--bulletin")
            || !qstrcmp(argv[i], "--analysis") || !qstrcmp(argv[i], "--observations")) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            runtime.emplace();
            auto gui = std::make_unique<QGuiApplication>(argc, argv);
            ChartFonts::registerSubstitutions();
            return gui;
        }
    return nullptr;
}

// The arguments after the program's name, as the application object gives them or, without
// one, decoded as it decodes them.
QStringList argumentsOf(int argc, char **argv, const QCoreApplication *app)
{
    if (app)
        return QCoreApplication::arguments().mid(1);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Qt's PNG reader passes libpng's warnings on as messages of its own ("libpng warning:
// iCCP: known incorrect sRGB profile"): about the picture, not the run, and no failure.
QtMessageHandler defaultHandler = nullptr;
void withoutPictureWarnings(QtMsgType type, const QMessageLogContext &context,
                            const QString &message)
{
    if (message.startsWith(QLatin1String("libpng "))
        || QLatin1String(context.category ? context.category : "")
               .startsWith(QLatin1String("qt.gui.imageio")))
        return;
    defaultHandler(type, context, message);
}

// The heap in huge pages. Drawing a map takes and frees megabytes of rings, tables and
// buffers, and in pages of 4 KB each new page costs a fault on first use: about 900 of the
// 1,700 faults of a 1600 x 1200 map, 12 us each on a virtual machine. So the heap is grown
// by 30 MB at the start, and that range advised as huge pages; blocks up to 32 MB (the most
// glibc allows) come from the heap rather than from mappings of their own, and freed memory
// stays in it for the next block. The map then takes a few faults of 2 MB each. Nothing of
// the range is touched before it is used, and where the system gives no huge pages it has
// small ones as before.
void heapInHugePages()
{
    constexpr size_t HugePage = ChartMemory::HugePage;
    constexpr size_t Reserve = 15 * HugePage;
    if (!mallopt(M_MMAP_THRESHOLD, int(Reserve + HugePage))
        || !mallopt(M_TRIM_THRESHOLD, int(8 * Reserve)))
        return;
    void *block = std::malloc(Reserve);
    if (!block)
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t begin = (start + HugePage - 1) & ~std::uintptr_t(HugePage - 1);
    const std::uintptr_t end = (start + Reserve) & ~std::uintptr_t(HugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
    std::free(block);
}

int usageFailure(const RenderOptions::UsageError &error)
{
    std::fprintf(stderr, "brimlark-render: %s\nTry 'brimlark-render --help'.\n",
                 qPrintable(error.message));
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    heapInHugePages();
    defaultHandler = qInstallMessageHandler(withoutPictureWarnings);
    std::optional<RuntimeFolder> runtime; // outlives the application
    const auto app = application(argc, argv, runtime);
    RenderOptions options;
    try {
        options = RenderOptions::parse(argumentsOf(argc, argv, app.get()));
    } catch (const RenderOptions::UsageError &error) {
        return usageFailure(error);
    }
    if (options.action != RenderOptions::Action::Render) {
        const QString text = options.action == RenderOptions::Action::Help
                                 ? RenderOptions::usage()
                                 : RenderOptions::version() + u'\n';
        std::fputs(qPrintable(text), stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    try {
        render(options);
    } catch (const RenderOptions::UsageError &error) {
        return usageFailure(error); // options that contradict the --input chart
    } catch (const ChartError &error) {
        std::fprintf(stderr, "brimlark-render: %s\n", qPrintable(error.message()));
        return 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "brimlark-render: %s\n", error.what());
        return 1;
    }
    return 0;
}
