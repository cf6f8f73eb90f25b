// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The shipped map data files, read with the program's own readers: formats and ranges.
#include "base/DataFile.h"
#include "mapgen/OverlayFile.h"
#include "mapgen/VectorMapFile.h"
#include "support/RecordingCanvas.h"
#include "support/RecordingProgress.h"

#include <QFileInfo>
#include <cstring>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

QString dataFile(const char *name)
{
    return QStringLiteral(BRIMLARK_DATA_DIR "/") + QLatin1String(name);
}

} // namespace

TEST(MapData, VectorFilesAreWholeRecordsOfLinesWithinRange)
{
    for (const char *name : {"map.gin", "map.gis", "map.gil", "map.gii", "map.gir", "map.gic"}) {
        SCOPED_TRACE(name);
        const QString path = dataFile(name);
        ASSERT_TRUE(QFileInfo::exists(path));
        EXPECT_EQ(QFileInfo(path).size() % 6, 0);
        EXPECT_GT(QFileInfo(path).size(), 0);
        DataFile file(path);
        qint64 records = 0;
        int lineLength = 0;
        int longest = 0;
        int badRanges = 0;
        file.forEachRecord(6, [&](const uchar *r) {
            const qint16 code = DataFile::int16At(r);
            const qint16 lat = DataFile::int16At(r + 2);
            const qint16 lon = DataFile::int16At(r + 4);
            if (records++ == 0) {
                EXPECT_GE(code, 1000); // the file starts with a line
            }
            lineLength = code >= 1000 ? 1 : lineLength + 1;
            longest = std::max(longest, lineLength);
            if (lat < -5400 || lat > 5400 || lon < -10800 || lon > 10800)
                ++badRanges;
        });
        EXPECT_EQ(badRanges, 0);
        EXPECT_LE(longest, VectorMapFile::BufferPoints);
    }
}

TEST(MapData, OverlayFilesHaveWholeRecordsAndOnlyDeliberateBreaks)
{
    for (const char *name : {"map.cgf", "map.hwy"}) {
        SCOPED_TRACE(name);
        const QString path = dataFile(name);
        ASSERT_TRUE(QFileInfo::exists(path));
        EXPECT_EQ(QFileInfo(path).size() % 4, 0);
        DataFile file(path);
        int points = 0;
        int strays = 0;
        file.forEachRecord(4, [&](const uchar *r) {
            const qint16 lat = DataFile::int16At(r);
            const qint16 lon = DataFile::int16At(r + 2);
            if (lat == 9999)
                return; // the converter's break between lines
            ++points;
            // A point whose latitude reads as a break would be lost.
            if (OverlayFile::isBreak(lat) || lat < -9000 || lat > 9000 || lon < -18000
                || lon > 18000)
                ++strays;
        });
        EXPECT_EQ(strays, 0);
        if (QByteArray(name) == "map.cgf") {
            EXPECT_GT(points, 10000);
        }
    }
}

// Every shipped file draws without an error over a whole-globe view.
TEST(MapData, EveryFileDraws)
{
    const ViewValues view{40, -100, 0.45, 400, 400};
    RecordingCanvas canvas(400, 400);
    RecordingProgress progress;
    for (const char *name : {"map.gin", "map.gis", "map.gil", "map.gii", "map.gir", "map.gic"})
        EXPECT_NO_THROW(VectorMapFile(canvas, view, progress)
                            .drawMapFile(dataFile(name), !strcmp(name, "map.gin")));
    for (const char *name : {"map.cgf", "map.hwy"})
        EXPECT_NO_THROW(OverlayFile(canvas, view, progress).drawOverlay(dataFile(name), 0, "1"));
    EXPECT_GT(canvas.callsOf({QStringLiteral("polygon")}).size(), 100);
}
