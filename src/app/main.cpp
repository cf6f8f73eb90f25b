// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/TAboutForm.h"
#include "app/TForm1.h"
#include "app/TPref.h"
#include "app/WorkspaceClaim.h"
#include "canvas/ChartFonts.h"
#include "prefs/FileRegistryKey.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QScreen>

using namespace brimlark;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brimlark"));
    QGuiApplication::setDesktopFileName(QStringLiteral("brimlark"));
    // The icon from the desktop's theme, where an install under any prefix puts one too;
    // without either, the copy built into the program.
    QIcon::setThemeSearchPaths(QIcon::themeSearchPaths()
                               << QDir(QCoreApplication::applicationDirPath())
                                      .filePath(QStringLiteral("../share/icons")));
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
    TForm1 form(settings, *workspace);
    TPref pref(settings, FileRegistryKey::defaultFilePath());
    TAboutForm about;
    form.attachWindows(&pref, &about);
    // Without a window manager to honour the maximized state, fill the screen ourselves.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    return app.exec();
}
