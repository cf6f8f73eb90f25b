// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ReplacingFile.h"

#include <QString>

namespace brimlark
{

/// The program's own folder, AppDir, and the workspace files in it; and the folder the map
/// data files are read from, the same one unless given apart.
class Workspace
{
public:
    /// A workspace in a folder given with or without its trailing separator, with the map
    /// data beside it.
    explicit Workspace(const QString &appDir);
    /// A workspace whose map data lie in another folder. A scratch workspace, thrown away
    /// after one run, leaves flushing its files to the disk to the system and keeps no
    /// chart bitmaps in files: its session holds them in memory.
    Workspace(const QString &appDir, const QString &mapDataDir, bool scratch = false);
    /// The workspace of the running program: ofProgramIn() its own folder.
    static Workspace ofProgram();
    /// The workspace of a program in this folder. Run from an install (its map data in
    /// ../share/brimlark/) it is the user's data folder; with the map data beside the
    /// program, the program's folder when it may write there, the user's data folder
    /// otherwise.
    static Workspace ofProgramIn(const QString &programDir);
    /// The folder of the map data that come with the running program.
    static QString mapDataOfProgram();
    /// The folder of the map data of a program in this folder: beside it, or in
    /// ../share/brimlark/ of an install.
    static QString mapDataOfProgramIn(const QString &programDir);

    /// AppDir: the folder, ending in the path separator.
    const QString &appDir() const { return m_appDir; }
    /// AppDir followed by a bare file name.
    QString path(const QString &fileName) const { return m_appDir + fileName; }
    /// How the workspace files are written: to the disk before they replace the old ones, or
    /// for a scratch workspace when the system sees fit.
    ReplacingFile::Sync sync() const
    {
        return m_scratch ? ReplacingFile::Sync::Later : ReplacingFile::Sync::ToDisk;
    }
    /// The same workspace for a run that writes nothing to it, while another program holds
    /// it: the session keeps its bitmaps in memory and Exit writes no file.
    Workspace readOnly() const;
    /// Whether the session writes the chart bitmaps (temp0.bmp, temp1.bmp, temp2.bmp) here.
    bool keepsBitmapFiles() const { return !m_scratch && !m_readOnly; }
    /// Whether anything of this run is written to the workspace files.
    bool writesFiles() const { return !m_readOnly; }
    /// The path of a map data file ("map.gin", "map.cgf", ...).
    QString mapDataPath(const QString &fileName) const { return m_mapDataDir + fileName; }

    QString savedDataPath() const { return path(QStringLiteral("saveddat.txt")); }
    /// The base map as last generated or loaded.
    QString baseMapPath() const { return path(QStringLiteral("temp0.bmp")); }
    /// The chart before the current segment; also the chart kept between runs.
    QString snapshotPath() const { return path(QStringLiteral("temp1.bmp")); }
    /// The chart after the latest press.
    QString latestPath() const { return path(QStringLiteral("temp2.bmp")); }
    /// The features of the chart kept between runs.
    QString analysisPath() const { return path(QStringLiteral("analysis.geojson")); }

    /// Moves a workspace file that could not be read out of the way of the next write, to
    /// its name with ".bad" appended (replacing an older one). Returns the new path, or an
    /// empty string when the file is missing or could not be moved.
    QString keepUnreadable(const QString &path) const;
    /// Removes the temporary files that writes interrupted by a crash or a kill left beside
    /// the workspace files, once they are old enough that no write can still be using them.
    void removeStaleTemporaries() const;

private:
    QString m_appDir;
    QString m_mapDataDir;
    bool m_scratch = false;
    bool m_readOnly = false;
};

} // namespace brimlark
