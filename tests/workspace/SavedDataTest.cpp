// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// "saveddat.txt": its lines, its view values and its failures; the data file reader
// beneath it.
#include "workspace/SavedData.h"
#include "base/ChartError.h"
#include "base/DataFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

using namespace brimlark;

TEST(SavedData, FiveLinesGiveTheTextsAndTheView)
{
    const SavedFields f = SavedData::parse("45\r\n-93.5\r\n800\r\n600\r\n2.5\r\n");
    EXPECT_EQ(f.lat(), QStringLiteral("45"));
    EXPECT_EQ(f.zoom(), QStringLiteral("2.5"));
    const ViewValues v = f.view();
    EXPECT_EQ(v.centerLat, 45.0);
    EXPECT_EQ(v.centerLon, -93.5);
    EXPECT_EQ(v.chartWidth, 800);
    EXPECT_EQ(v.chartHeight, 600);
    EXPECT_EQ(v.zoom, 2.5);
    EXPECT_EQ(SavedData::parse("1\r\n2\r\n640.5\r\n641.5\r\n0\r\n").view().chartWidth, 640);
    EXPECT_EQ(SavedData::parse("1\r\n2\r\n640.5\r\n641.5\r\n0\r\n").view().chartHeight, 642);
}

TEST(SavedData, LineEndsOfEveryKindAndMissingLines)
{
    const SavedFields lf = SavedData::parse("1\n2\n3\n4\n5\n");
    EXPECT_EQ(lf.lines[4], QStringLiteral("5"));
    const SavedFields cr = SavedData::parse("1\r2\r3");
    EXPECT_EQ(cr.lines[2], QStringLiteral("3"));
    EXPECT_TRUE(cr.lines[3].isEmpty());
    const SavedFields unended = SavedData::parse("45\r\n-93");
    EXPECT_EQ(unended.lon(), QStringLiteral("-93"));
    EXPECT_TRUE(unended.zoom().isEmpty());
    EXPECT_EQ(SavedData::parse("a\r\n\r\nc\r\n").lines[2], QStringLiteral("c"));
    EXPECT_EQ(SavedData::parse("").view().chartWidth, 0);
}

TEST(SavedData, TextsStayAsTyped)
{
    const QByteArray longLine(1 << 20, '7');
    const SavedFields f = SavedData::parse("  12abc\r\nnan\r\n1e300\r\n-1e300\r\n" + longLine);
    EXPECT_EQ(f.lat(), QStringLiteral("  12abc"));
    EXPECT_EQ(f.lon(), QStringLiteral("nan"));
    EXPECT_EQ(f.zoom().size(), 1 << 20);
    const ViewValues v = f.view();
    EXPECT_EQ(v.centerLat, 0.0);
    EXPECT_EQ(v.chartWidth, std::numeric_limits<qint32>::max());
    EXPECT_EQ(v.chartHeight, std::numeric_limits<qint32>::min());
    EXPECT_TRUE(std::isinf(v.zoom));
}

TEST(SavedData, WriteAndReadBackByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saveddat.txt"));
    const SavedFields fields{{QStringLiteral("45"), QStringLiteral("west"), QString(),
                              QStringLiteral(" 600 "), QStringLiteral("2.5")}};
    SavedData::write(path, fields);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("45\r\nwest\r\n\r\n 600 \r\n2.5\r\n"));
    EXPECT_EQ(SavedData::read(path).lines, fields.lines);
}

TEST(SavedData, MissingFileIsFileNotFound)
{
    QTemporaryDir dir;
    try {
        SavedData::read(dir.filePath(QStringLiteral("saveddat.txt")));
        ADD_FAILURE() << "read a missing file";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("File not found"));
    }
    try {
        SavedData::write(dir.filePath(QStringLiteral("none/saveddat.txt")), SavedFields{});
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("File not found"));
    }
}

// Generating a map reads eight data files: a failure says which one, and why where the
// number alone would not. The fields file keeps the message alone.
TEST(DataFile, FailuresNameTheFile)
{
    QTemporaryDir dir;
    const auto messageOf = [](const std::function<void()> &read) {
        try {
            read();
        } catch (const ChartError &e) {
            return e.message();
        }
        return QStringLiteral("no error");
    };
    const QString missing = dir.filePath(QStringLiteral("map.gin"));
    EXPECT_EQ(messageOf([&] { DataFile file(missing); }),
              QStringLiteral("File not found: ") + missing);
    EXPECT_EQ(messageOf([&] { SavedData::read(missing); }), QStringLiteral("File not found"));

    const QString folder = dir.filePath(QStringLiteral("map.gis"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(messageOf([&] {
                  DataFile file(folder);
                  file.forEachRecord(6, [](const uchar *) {});
              }),
              QStringLiteral("I/O error %1: %2: Is a directory").arg(EISDIR).arg(folder));

    const QString broken = dir.filePath(QStringLiteral("map.gil"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x01\x02\x03\x04\x05\x06\x07", 7);
    file.close();
    int records = 0;
    EXPECT_EQ(messageOf([&] {
                  DataFile data(broken);
                  data.forEachRecord(6, [&](const uchar *) { ++records; });
              }),
              QStringLiteral("Read beyond end of file: ") + broken);
    EXPECT_EQ(records, 1);
}

// Fields that were not numbers, or out of range, made an all-ocean, upside-down or empty
// chart and said "Map completed". Each row changes one field of a good view.
TEST(SavedData, CheckedViewRefusesFieldsThatAreNotNumbersInRange)
{
    const SavedFields good{{"45", "-93.5", "800", "600", "2.5"}};
    const struct {
        size_t field;
        const char *text;
        const char *message; // empty: accepted
    } rows[] = {
        {4, "1,2", "Zoom \"1,2\" is not a number"},
        {4, "1.3c", "Zoom \"1.3c\" is not a number"},
        {4, "0", "Zoom 0 is out of range: it must be above 0"},
        {4, "-1", "Zoom -1 is out of range: it must be above 0"},
        {4, "", "Zoom \"\" is not a number"},
        {0, "abc", "Latitude \"abc\" is not a number"},
        {0, "95", "Latitude 95 is out of range: it must be from -90 to 90"},
        {0, "-90.0001", "Latitude -90.0001 is out of range: it must be from -90 to 90"},
        {1, "180.5", "Longitude 180.5 is out of range: it must be from -180 to 180"},
        {1, "1e999", "Longitude 1e999 is out of range: it must be from -180 to 180"},
        {2, "abc", "Chart width \"abc\" is not a number"},
        {2, "0.4", "Chart width 0.4 is out of range: it must be from 1 to 32767"},
        {3, "32768", "Chart height 32768 is out of range: it must be from 1 to 32767"},
        {3, "6 00", "Chart height \"6 00\" is not a number"},
        // Wholly a number, blanks around it allowed: exactly the view of before.
        {0, " 90 ", ""},
        {1, "-180", ""},
        {2, "640.5", ""},
        {3, "1e3", ""},
        {4, "+.5", ""},
    };
    for (const auto &row : rows) {
        SavedFields fields = good;
        fields.lines[row.field] = QLatin1String(row.text);
        SCOPED_TRACE(row.text);
        if (*row.message == '\0') {
            const ViewValues checked = fields.checkedView();
            const ViewValues lenient = fields.view();
            EXPECT_EQ(checked.centerLat, lenient.centerLat);
            EXPECT_EQ(checked.centerLon, lenient.centerLon);
            EXPECT_EQ(checked.chartWidth, lenient.chartWidth);
            EXPECT_EQ(checked.chartHeight, lenient.chartHeight);
            EXPECT_EQ(checked.zoom, lenient.zoom);
            continue;
        }
        try {
            fields.checkedView();
            ADD_FAILURE() << "accepted";
        } catch (const ChartError &e) {
            EXPECT_EQ(e.message(), QLatin1String(row.message));
        }
    }
}
