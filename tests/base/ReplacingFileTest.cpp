// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Whole-file replacement: the new file's permissions and what a failure leaves behind.
#include "base/ReplacingFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace brimlark;

// The temporary file was made by mkstemp (owner only) and widened under a umask that was
// briefly set to 0 for the whole process; a new file now simply takes the process's umask.
TEST(ReplacingFile, NewFileTakesTheUsualPermissionsAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.bmp"));
    const mode_t previous = ::umask(022);
    ASSERT_TRUE(ReplacingFile::write(path, "abc"));
    ::umask(previous);
    struct stat info {
    };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("chart.bmp")});
}

TEST(ReplacingFile, FailureGivesTheSystemsReasonAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    int error = 0;
    EXPECT_FALSE(ReplacingFile::write(dir.filePath(QStringLiteral("none/chart.bmp")), "abc",
                                      ReplacingFile::Sync::ToDisk, &error));
    EXPECT_EQ(error, ENOENT);
    // A replacement abandoned before its commit leaves the old file and no temporary one.
    const QString path = dir.filePath(QStringLiteral("kept.txt"));
    ASSERT_TRUE(ReplacingFile::write(path, "old"));
    {
        ReplacingFile file(path);
        ASSERT_TRUE(file.open());
        EXPECT_EQ(file.device().write("new"), 3);
    }
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.txt")});
}
