// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace brimlark
{

namespace
{

// A workspace file is written to "<name>.XXXXXX" beside it and then renamed over it. Even a
// chart at the size limit is written in seconds; a temporary file untouched for longer
// than this belongs to a write that will never finish.
constexpr qint64 StaleSeconds = 60;

} // namespace

namespace
{

QString folderOf(const QString &dir)
{
    const QString folder = QDir::fromNativeSeparators(dir);
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

Workspace::Workspace(const QString &appDir) : Workspace(appDir, appDir) {}

Workspace::Workspace(const QString &appDir, const QString &mapDataDir, bool scratch)
    : m_appDir(folderOf(appDir)), m_mapDataDir(folderOf(mapDataDir)), m_scratch(scratch)
{
}

Workspace Workspace::ofProgram() { return Workspace(QCoreApplication::applicationDirPath()); }

QString Workspace::keepUnreadable(const QString &path) const
{
    const QString kept = path + QStringLiteral(".bad");
    if (!QFile::exists(path)
        || std::rename(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData())
               != 0)
        return QString();
    return kept;
}

void Workspace::removeStaleTemporaries() const
{
    const QDir dir(m_appDir);
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-StaleSeconds);
    for (const QString &path : {savedDataPath(), baseMapPath(), snapshotPath(), latestPath()}) {
        const QString pattern = QFileInfo(path).fileName() + QStringLiteral(".??????");
        for (const QFileInfo &file : dir.entryInfoList({pattern}, QDir::Files | QDir::Hidden)) {
            if (file.lastModified().toUTC() < stale)
                QFile::remove(file.filePath());
        }
    }
}

} // namespace brimlark
