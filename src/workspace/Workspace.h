// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

/// The program's own folder, AppDir, and the workspace files in it.
class Workspace
{
public:
    /// A workspace in a folder given with or without its trailing separator.
    explicit Workspace(const QString &appDir);
    /// The folder of the running program.
    static Workspace ofProgram();

    /// AppDir: the folder, ending in the path separator.
    const QString &appDir() const { return m_appDir; }
    /// AppDir followed by a bare file name.
    QString path(const QString &fileName) const { return m_appDir + fileName; }

    QString savedDataPath() const { return path(QStringLiteral("saveddat.txt")); }
    /// The base map as last generated or loaded.
    QString baseMapPath() const { return path(QStringLiteral("temp0.bmp")); }
    /// The chart before the current segment; also the chart kept between runs.
    QString snapshotPath() const { return path(QStringLiteral("temp1.bmp")); }
    /// The chart after the latest press.
    QString latestPath() const { return path(QStringLiteral("temp2.bmp")); }

    /// Moves a workspace file that could not be read out of the way of the next write, to
    /// its name with ".bad" appended (replacing an older one). Returns the new path, or an
    /// empty string when the file is missing or could not be moved.
    QString keepUnreadable(const QString &path) const;
    /// Removes the temporary files that writes interrupted by a crash or a kill left beside
    /// the workspace files, once they are old enough that no write can still be using them.
    void removeStaleTemporaries() const;

private:
    QString m_appDir;
};
