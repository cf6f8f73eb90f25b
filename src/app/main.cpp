// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/PreferencesWindow.h"
#include "app/ProgramArguments.h"
#include "app/WorkspaceClaim.h"
#include "canvas/ChartFonts.h"
#include "prefs/FileRegistryKey.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QScreen>

#include <cstdio>

using namespace brimlark;

namespace
{

// The command line as given, read before QApplication takes out the options it knows.
QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// Prints the help, the version or a usage error; the exit status of the program.
int answer(const ProgramArguments &arguments)
{
    const bool error = arguments.action() == ProgramArguments::Action::UsageError;
    std::FILE *out = error ? stderr : stdout;
    std::fputs(arguments.text().toLocal8Bit().constData(), out);
    if (error)
        return 2;
    return std::fflush(out) == 0 && !std::ferror(out) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // --help and --version answer before anything needs a display. Other arguments are read
    // once QApplication has taken out its own (-platform, -style ...).
    const ProgramArguments early = ProgramArguments::parse(argumentsOf(argc, argv));
    if (early.action() == ProgramArguments::Action::Help
        || early.action() == ProgramArguments::Action::Version)
        return answer(early);
    QApplication app(argc, argv);
    const ProgramArguments arguments = ProgramArguments::parse(QCoreApplication::arguments());
    if (arguments.action() != ProgramArguments::Action::Run)
        return answer(arguments);
    QApplication::setApplicationName(QStringLiteral("Brimlark"));
    QGuiApplication::setDesktopFileName(QStringLiteral("brimlark"));
    // The icon from the desktop's theme, where an install under any prefix puts one too;
    // without either, the copy built into the program.
    QIcon::setThemeSearchPaths(
        QIcon::themeSearchPaths()
        << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/icons")));
    QIcon builtIn;
    builtIn.addFile(QStringLiteral(":/icons/brimlark-48.png"));
    builtIn.addFile(QStringLiteral(":/icons/brimlark-256.png"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("brimlark"), builtIn));
    ChartFonts::registerSubstitutions();

    const Workspace ofProgram = Workspace::ofProgram();
    WorkspaceLock lock(ofProgram);
    const std::optional<Workspace> workspace = WorkspaceClaim::claim(ofProgram, lock);
    if (!workspace)
        return 0;
    ChartSettings settings;
    MainWindow form(settings, *workspace);
    PreferencesWindow pref(settings, FileRegistryKey::defaultFilePath());
    AboutBox about;
    form.attachWindows(&pref, &about);
    // Without a window manager to honour the maximized state, fill the screen ourselves.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    for (const QString &chart : arguments.charts())
        form.loadChart(chart);
    return app.exec();
}
