// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace brimlark
{

namespace
{

// A workspace file is written to "<name>.XXXXXX" beside it and then renamed over it. Even a
// chart at the size limit is written in seconds; a temporary file untouched for longer
// than this belongs to a write that will never finish.
constexpr qint64 StaleSeconds = 60;

QString folderOf(const QString &dir)
{
    const QString folder = QDir::fromNativeSeparators(dir);
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// Whether the program in this folder runs from an install into a prefix: no map data beside
// it, and the map data in share/brimlark/, where the program sits in bin/.
bool isInstalled(const QString &programDir)
{
    const QDir dir(programDir);
    return !QFileInfo::exists(dir.filePath(QStringLiteral("map.gin")))
           && QFileInfo::exists(dir.filePath(QStringLiteral("../share/brimlark/map.gin")));
}

} // namespace

Workspace::Workspace(const QString &appDir) : Workspace(appDir, appDir) {}

Workspace::Workspace(const QString &appDir, const QString &mapDataDir, bool scratch)
    : m_appDir(folderOf(appDir)), m_mapDataDir(folderOf(mapDataDir)), m_scratch(scratch)
{
}

Workspace Workspace::ofProgram() { return ofProgramIn(QCoreApplication::applicationDirPath()); }

// A build tree or an unpacked folder keeps its workspace in the program's own folder, as it
// always has, when it may write there. An install never does, even where its folder is
// writable (as /usr/bin is for root): each user gets a workspace in their own data folder
// (~/.local/share/Brimlark/), so nothing is left among the installed files.
Workspace Workspace::ofProgramIn(const QString &programDir)
{
    const QString mapData = mapDataOfProgramIn(programDir);
    if (!isInstalled(programDir) && QFileInfo(programDir).isWritable())
        return Workspace(programDir, mapData);
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(userDir);
    return Workspace(userDir, mapData);
}

QString Workspace::mapDataOfProgram()
{
    return mapDataOfProgramIn(QCoreApplication::applicationDirPath());
}

QString Workspace::mapDataOfProgramIn(const QString &programDir)
{
    if (isInstalled(programDir))
        return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral("../share/brimlark")));
    return programDir;
}

Workspace Workspace::readOnly() const
{
    Workspace workspace = *this;
    workspace.m_readOnly = true;
    return workspace;
}

QString Workspace::keepUnreadable(const QString &path) const
{
    const QString kept = path + QStringLiteral(".bad");
    if (m_readOnly || !QFile::exists(path)
        || std::rename(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData())
               != 0)
        return QString();
    return kept;
}

void Workspace::removeStaleTemporaries() const
{
    if (m_readOnly)
        return;
    const QDir dir(m_appDir);
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-StaleSeconds);
    for (const QString &path :
         {savedDataPath(), baseMapPath(), snapshotPath(), latestPath(), analysisPath()}) {
        const QString pattern = QFileInfo(path).fileName() + QStringLiteral(".??????");
        for (const QFileInfo &file : dir.entryInfoList({pattern}, QDir::Files | QDir::Hidden)) {
            if (file.lastModified().toUTC() < stale)
                QFile::remove(file.filePath());
        }
    }
}

} // namespace brimlark
