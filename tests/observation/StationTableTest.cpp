// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The shipped station table (data/sfstns.tbl): worked values are its own lines, quoted in
// each row; counts are those of its description (4,841 station lines, 14 identifiers
// listed twice).
#include "observation/StationTable.h"
#include "base/ChartError.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

const StationTable &shippedTable()
{
    static const StationTable table =
        StationTable::read(QStringLiteral(BRIMLARK_DATA_DIR "/sfstns.tbl"));
    return table;
}

// A station line of the table, the columns of one field replaced (counted from 1).
QByteArray denverWith(int column = 1, const char *text = "")
{
    QByteArray line =
        "DEN      725650 DENVER_INTNL_ARPT_(ASOS)         CO US  3987 -10467  1656 99";
    return line.replace(column - 1, qsizetype(qstrlen(text)), text);
}

} // namespace

TEST(StationTable, ShippedTableReadsWhole)
{
    const StationTable &table = shippedTable();
    EXPECT_EQ(table.stations().size(), 4841u - 14u);
    EXPECT_EQ(table.duplicates(), 14);
    EXPECT_EQ(table.skippedLines(), 0);
}

TEST(StationTable, StationsOfTheShippedTable)
{
    struct Row {
        const char *reportId;
        const char *id; // the table's line it finds
        double latitude;
        double longitude;
        int priority;
        const char *name;
        const char *state;
        const char *country;
        std::optional<int> wmoNumber;
        int elevation;
    };
    const Row rows[] = {
        // DEN      725650 DENVER_INTNL_ARPT_(ASOS)         CO US  3987 -10467  1656 99
        {"KDEN", "DEN", 39.87, -104.67, 99, "DENVER INTNL ARPT (ASOS)", "CO", "US", 725650, 1656},
        {"DEN", "DEN", 39.87, -104.67, 99, "DENVER INTNL ARPT (ASOS)", "CO", "US", 725650, 1656},
        // KC24            CREEDE                           CO US  3782 -10693  2645  0
        {"KC24", "KC24", 37.82, -106.93, 0, "CREEDE", "CO", "US", std::nullopt, 2645},
        // KS71     999999 CHINOOK                          MT US  4859 -10925   736  0
        {"KS71", "KS71", 48.59, -109.25, 0, "CHINOOK", "MT", "US", std::nullopt, 736},
        // HUKS            KASESE                              UG  0018   3010   961  0
        {"HUKS", "HUKS", 0.18, 30.10, 0, "KASESE", "", "UG", std::nullopt, 961},
        // EGDG     038170 SAINT_MAWGAN_RAF                 -- UK  5043   -500   119  0
        {"EGDG", "EGDG", 50.43, -5.00, 0, "SAINT MAWGAN RAF", "", "UK", 38170, 119},
        // ESGP, lines 384 and 3755: the first is kept.
        // ESGP     999999 GOTHENBURG/SAVE                  -- SE  5777   1187    18  0
        {"ESGP", "ESGP", 57.77, 11.87, 0, "GOTHENBURG/SAVE", "", "SE", std::nullopt, 18},
        // PASY     704140 SHEMYA_AFB                       AK US  5272  17412    30  0
        {"PASY", "PASY", 52.72, 174.12, 0, "SHEMYA AFB", "AK", "US", 704140, 30},
        // SKAS     999999 PUERTO_ASÍS                         CO    51  -7650   254  0
        // (columns counted in characters: the Í is two bytes)
        {"SKAS", "SKAS", 0.51, -76.50, 0, "PUERTO ASÍS", "", "CO", std::nullopt, 254},
        // K16J, and KIKT and IKT are both listed: the four letters win.
        // K16J            DAWSON                           GA US  3174  -8442   101  0
        {"K16J", "K16J", 31.74, -84.42, 0, "DAWSON", "GA", "US", std::nullopt, 101},
        // KIKT     999999 MISSISSIPPI_CANYON_474/NA_KIKA_( -- US  2852  -8829    37  0
        {"KIKT", "KIKT", 28.52, -88.29, 0, "MISSISSIPPI CANYON 474/NA KIKA (", "", "US",
         std::nullopt, 37},
        // PHNL     911820 HONOLULU_INTL/OAHU_(ASOS)        HI US  2135 -15793     5  0
        {"PHNL", "PHNL", 21.35, -157.93, 0, "HONOLULU INTL/OAHU (ASOS)", "HI", "US", 911820, 5},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.reportId);
        const Station *station = shippedTable().find(QString::fromLatin1(row.reportId));
        ASSERT_NE(station, nullptr);
        EXPECT_EQ(station->id, QLatin1String(row.id));
        EXPECT_DOUBLE_EQ(station->position.latitude, row.latitude);
        EXPECT_DOUBLE_EQ(station->position.longitude, row.longitude);
        EXPECT_EQ(station->priority, row.priority);
        EXPECT_EQ(station->name, QString::fromUtf8(row.name));
        EXPECT_EQ(station->state, QLatin1String(row.state));
        EXPECT_EQ(station->country, QLatin1String(row.country));
        EXPECT_EQ(station->wmoNumber, row.wmoNumber);
        EXPECT_EQ(station->elevation, row.elevation);
    }
}

TEST(StationTable, UnlistedIdentifiersFindNothing)
{
    // ZZZ is not listed, so neither KZZZ nor its three letters find a station; a K before
    // four letters is not taken off, nor a lower-case k.
    for (const char *id : {"KZZZ", "ZZZ", "KPHNL", "kDEN", "", "K"})
        EXPECT_EQ(shippedTable().find(QString::fromLatin1(id)), nullptr) << id;
}

TEST(StationTable, LinesOutOfTheColumnsAreSkipped)
{
    struct Row {
        const char *what;
        QByteArray text;
        int stations;
        int skipped;
    };
    const Row rows[] = {
        {"the line as listed", denverWith(), 1, 0},
        {"trailing blanks and a carriage return", denverWith() + "   \r\n", 1, 0},
        {"a blank line and a remark", "\n  \n! remark\n" + denverWith(), 1, 0},
        {"no WMO number", denverWith(10, "      "), 1, 0},
        {"negative elevation", denverWith(69, "  -28"), 1, 0},
        {"cut short", denverWith().left(74), 0, 1},
        {"text after the priority", denverWith() + " X", 0, 1},
        {"slipped a column", " " + denverWith().left(75), 0, 1},
        {"blank in the identifier", denverWith(1, "DE N"), 0, 1},
        {"letter in the WMO number", denverWith(10, "72A650"), 0, 1},
        // 725650 in Arabic-Indic digits, two bytes each but one column each.
        {"other digits in the WMO number",
         denverWith().replace(9, 6, "\xd9\xa7\xd9\xa2\xd9\xa5\xd9\xa6\xd9\xa5\xd9\xa0"), 0, 1},
        {"latitude not a number", denverWith(56, "39N7"), 0, 1},
        {"latitude beyond the pole", denverWith(56, " 9001"), 0, 1},
        {"longitude beyond 180", denverWith(62, "-18001"), 0, 1},
        {"no priority", denverWith(75, "  "), 0, 1},
        {"elevation empty", denverWith(69, "     "), 0, 1},
        {"field run into the gap", denverWith(52, "XUS"), 0, 1},
        {"binary", QByteArray("\0\x01\xff\n", 4), 0, 1},
    };
    for (const Row &row : rows) {
        const StationTable table = StationTable::parse(row.text);
        EXPECT_EQ(int(table.stations().size()), row.stations) << row.what;
        EXPECT_EQ(table.skippedLines(), row.skipped) << row.what;
    }
}

TEST(StationTable, FileWithoutStationsIsRefused)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.tbl"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString missing = dir.filePath(QStringLiteral("missing.tbl"));
    const std::pair<QString, QString> files[] = {
        {empty, QStringLiteral("Cannot open file %1: no station in it").arg(empty)},
        {missing, QStringLiteral("Cannot open file %1: No such file or directory").arg(missing)},
    };
    for (const auto &[path, message] : files) {
        try {
            StationTable::read(path);
            ADD_FAILURE() << qPrintable(path) << " was read";
        } catch (const ChartError &e) {
            EXPECT_EQ(e.message(), message);
        }
    }
}
