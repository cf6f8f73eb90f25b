// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Reading any kind of file within a limit: regular files, devices, pipes and folders.
#include "base/DataFile.h"
#include "base/ChartError.h"
#include "support/Deadline.h"
#include "support/Fifo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

using namespace brimlark;

namespace
{

constexpr FileLimit Small{1000, "a test file"};

QByteArray pattern(qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 26);
    return bytes;
}

} // namespace

// Each kind of file: what readAll gives, within a deadline, as a pipe or a device that
// holds the read would otherwise hang the suite.
TEST(DataFile, ReadsAnyKindOfFileUpToTheLimitAndOneByteMore)
{
    QTemporaryDir dir;
    const auto file = [&](const char *name) { return dir.filePath(QLatin1String(name)); };
    const auto writeRegular = [&](const char *name, qsizetype size) {
        QFile out(file(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(pattern(size));
        return file(name);
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    Fifo idle(file("idle"));
    Fifo full(file("full"));
    Fifo over(file("over"));
    ASSERT_TRUE(idle.valid() && full.valid() && over.valid());
    full.write(pattern(1000));
    over.write(pattern(5000));

    const struct {
        const char *name;
        QString path;
        int error;
        qsizetype size;
    } cases[] = {
        {"regular file at the limit", writeRegular("at", 1000), 0, 1000},
        {"regular file one byte over", writeRegular("over1", 1001), EFBIG, 0},
        {"empty regular file", writeRegular("empty", 0), 0, 0},
        {"endless device", QStringLiteral("/dev/zero"), EFBIG, 0},
        {"empty device", QStringLiteral("/dev/null"), 0, 0},
        {"pipe without a writer", file("idle"), 0, 0},
        {"pipe with a writer", file("full"), 0, 1000},
        {"pipe with a writer of too much", file("over"), EFBIG, 0},
        {"folder", file("folder"), EISDIR, 0},
        {"missing file", file("missing"), ENOENT, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const DataFile::Contents read =
            withinSeconds(20, [&] { return DataFile::readAll(c.path, Small); });
        EXPECT_EQ(read.error, c.error);
        EXPECT_EQ(read.bytes, c.error ? QByteArray() : pattern(c.size));
        EXPECT_EQ(read.reason, c.error == EFBIG ? QStringLiteral("larger than 1000 bytes, too "
                                                                 "large for a test file")
                               : c.error        ? qt_error_string(c.error)
                                                : QString());
    }
}

// Map data files are read in records: map.gin linked to /dev/zero was an endless line of
// points at 0 N 0 E that grew until memory ran out.
TEST(DataFile, RecordsOfAnEndlessDeviceStopAtTheLimit)
{
    qint64 records = 0;
    const QString message = withinSeconds(20, [&] {
        try {
            DataFile file(QStringLiteral("/dev/zero"));
            file.forEachRecord(6, [&](const uchar *) { ++records; });
        } catch (const ChartError &e) {
            return e.message();
        }
        return QStringLiteral("no error");
    });
    EXPECT_EQ(message,
              QStringLiteral("File larger than 64 MiB, too large for a map data file: /dev/zero"));
    EXPECT_LE(records * 6, FileLimit::MapData.bytes());
    EXPECT_GT(records * 6, FileLimit::MapData.bytes() - 65536);

    // A regular file is read the same way, up to the byte past the limit.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.gis"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(pattern(1003));
    out.close();
    records = 0;
    try {
        DataFile file(path, Small);
        file.forEachRecord(6, [&](const uchar *) { ++records; });
        ADD_FAILURE() << "read past the limit";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("File larger than 1000 bytes, too large for a "
                                              "test file: ")
                                   + path);
    }
    EXPECT_EQ(records, 0); // the block with the byte past the limit is not visited
}
