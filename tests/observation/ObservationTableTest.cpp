// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Tables of decoded observations: the sample of 12 March 1993 (data/sfc_obs_19930312.csv,
// 292 rows; its values quoted in each row below) and small tables for the edge cases.
#include "observation/ObservationTable.h"
#include "base/ChartError.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace brimlark;

namespace
{

const QString SamplePath = QStringLiteral(BRIMLARK_OBSERVATIONS_DIR "/sfc_obs_19930312.csv");

const ObservationTable &sample()
{
    static const ObservationTable table = ObservationTable::read(SamplePath);
    return table;
}

const Observation &sampleRow(const char *station, const char *time)
{
    const QDateTime valid = QDateTime::fromString(QLatin1String(time), Qt::ISODate).toUTC();
    const auto &rows = sample().observations();
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const Observation &o) {
        return o.station == QLatin1String(station) && o.time == valid;
    });
    if (it == rows.end())
        throw std::runtime_error(std::string("no row for ") + station + " at " + time);
    return *it;
}

double fahrenheitToCelsius(double f) { return (f - 32) * 5 / 9; }

// The message parse refuses the text with; empty when it reads.
QString refusalOf(const QByteArray &text)
{
    try {
        ObservationTable::parse(text);
        return {};
    } catch (const ChartError &e) {
        return e.message();
    }
}

} // namespace

TEST(ObservationTable, SampleReadsWhole)
{
    const auto &rows = sample().observations();
    EXPECT_EQ(rows.size(), 292u);
    EXPECT_EQ(sample().skippedRows(), 0);
    std::set<QString> stations;
    for (const Observation &o : rows)
        stations.insert(o.station);
    EXPECT_EQ(stations.size(), 169u);
    const auto atSix = std::count_if(rows.begin(), rows.end(), [](const Observation &o) {
        return o.time == QDateTime(QDate(1993, 3, 12), QTime(6, 0), Qt::UTC);
    });
    EXPECT_EQ(atSix, 169);
}

TEST(ObservationTable, RowsOfTheSample)
{
    using Sky = Observation::Sky;
    // YUM,1993-03-12 06:00:00,-114.606,32.6566,73.94,32.0,21.37,330.0,9.0,,29.96,1014.8,7.0,,
    //     CLR,   ,   ,   ,...
    const Observation &yuma = sampleRow("YUM", "1993-03-12T06:00:00Z");
    EXPECT_EQ(yuma.position, (GeoPoint{32.6566, -114.606}));
    EXPECT_DOUBLE_EQ(*yuma.temperature, fahrenheitToCelsius(73.94));
    EXPECT_DOUBLE_EQ(*yuma.dewPoint, 0.0);
    EXPECT_EQ(yuma.windDirection, 330);
    EXPECT_EQ(yuma.windSpeed, 9.0);
    EXPECT_EQ(yuma.gust, std::nullopt);
    EXPECT_NEAR(*yuma.altimeter, 1014.56, 0.005); // the sample's emsl: 1014.5620366461634
    EXPECT_EQ(yuma.seaLevelPressure, 1014.8);
    EXPECT_EQ(yuma.visibility, 7.0);
    EXPECT_EQ(yuma.sky, Sky::Clear);
    EXPECT_TRUE(yuma.weather.isEmpty());

    // PMD,1993-03-12 06:00:00,...,50.0,35.96,...,0.0,0.0,...: 50 F is 10 C; calm.
    const Observation &palmdale = sampleRow("PMD", "1993-03-12T06:00:00Z");
    EXPECT_DOUBLE_EQ(*palmdale.temperature, 10.0);
    EXPECT_EQ(palmdale.windDirection, 0);
    EXPECT_EQ(palmdale.windSpeed, 0.0);

    // PASY at 174.1169 east, across the date line from the rest of Alaska; sky SCT, BKN,
    // BKN: broken.
    const Observation &shemya = sampleRow("PASY", "1993-03-12T06:00:00Z");
    EXPECT_EQ(shemya.position, (GeoPoint{52.7141, 174.1169}));
    EXPECT_EQ(shemya.sky, Sky::Broken);
    EXPECT_EQ(shemya.seaLevelPressure, 993.1);
    // At 07:00 the third layer is OVC.
    EXPECT_EQ(sampleRow("PASY", "1993-03-12T07:00:00Z").sky, Sky::Overcast);

    // 87Q, the special at 06:08: no temperature or dew point.
    const Observation &special = sampleRow("87Q", "1993-03-12T06:08:00Z");
    EXPECT_EQ(special.temperature, std::nullopt);
    EXPECT_EQ(special.dewPoint, std::nullopt);
    EXPECT_EQ(special.windSpeed, 11.0);

    // TXK at 06:00: gust 22 knots, weather "-RA".
    const Observation &texarkana = sampleRow("TXK", "1993-03-12T06:00:00Z");
    EXPECT_EQ(texarkana.gust, 22.0);
    EXPECT_EQ(texarkana.weather, QStringList{QStringLiteral("-RA")});
}

TEST(ObservationTable, SampleWeatherGroupsAreSplit)
{
    // The sample's only two-group weather is "-SN FG".
    const auto &rows = sample().observations();
    const auto it = std::find_if(rows.begin(), rows.end(),
                                 [](const Observation &o) { return o.weather.size() == 2; });
    ASSERT_NE(it, rows.end());
    EXPECT_EQ(it->weather, (QStringList{QStringLiteral("-SN"), QStringLiteral("FG")}));
}

TEST(ObservationTable, ValuesConverted)
{
    using Sky = Observation::Sky;
    struct Row {
        const char *what;
        const char *fields; // tmpf,alti,drct,sknt,skyc1,skyc2,skyc3
        std::optional<double> temperature;
        std::optional<double> altimeter;
        std::optional<int> direction;
        std::optional<double> speed;
        Sky sky;
    };
    const Row rows[] = {
        // 29.92 inches of mercury at 33.8639 hPa an inch: 1013.2 hPa, near the standard
        // atmosphere's 1013.25.
        {"standard", "50,29.92,270,12,FEW,,SCT", 10.0, 1013.208, 270, 12.0, Sky::Scattered},
        {"cold", "-40,30.00,360,0,CLR,   ,   ", -40.0, 1015.917, 360, 0.0, Sky::Clear},
        {"obscured", "32,,0,5,VV,OVC,", 0.0, std::nullopt, 0, 5.0, Sky::Obscured},
        {"rounded direction", "212,28.00,89.6,3.5,SKC,,", 100.0, 948.1892, 90, 3.5, Sky::Clear},
        {"out of range", "x,-1,361,-2,BKN,XYZ,OVC", std::nullopt, std::nullopt, std::nullopt,
         std::nullopt, Sky::Overcast},
        {"not numbers", "M,nan,inf,1e999,,,", std::nullopt, std::nullopt, std::nullopt,
         std::nullopt, Sky::Unknown},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const QByteArray text = QByteArray("tmpf,alti,drct,sknt,skyc1,skyc2,skyc3,station,valid,"
                                           "lat,lon\n")
                                + row.fields + ",KDEN,2024-01-02 03:04,39.87,-104.67\n";
        const Observation o = ObservationTable::parse(text).observations().at(0);
        if (row.temperature)
            EXPECT_NEAR(o.temperature.value_or(999), *row.temperature, 1e-9);
        else
            EXPECT_EQ(o.temperature, std::nullopt);
        if (row.altimeter)
            EXPECT_NEAR(o.altimeter.value_or(999), *row.altimeter, 0.001);
        else
            EXPECT_EQ(o.altimeter, std::nullopt);
        EXPECT_EQ(o.windDirection, row.direction);
        EXPECT_EQ(o.windSpeed, row.speed);
        EXPECT_EQ(o.sky, row.sky);
    }
}

TEST(ObservationTable, ColumnsByNameQuotedFieldsAndTime)
{
    // Columns in another order and letter case, a byte-order mark, quoted fields (one with a
    // comma, one with a doubled quote), CR LF line ends and seconds-less times.
    const QByteArray text = "\xef\xbb\xbfLAT,Valid,wxcodes,Station,lon,extra\r\n"
                            "39.87,\"2024-01-02 03:04\",\"-RA  BR\",KDEN,-104.67,\"a,b\"\r\n"
                            "\r\n"
                            "-0.5,2024-02-29T23:59:59,,\"X\"\"Y\",180,\n";
    const ObservationTable table = ObservationTable::parse(text);
    ASSERT_EQ(table.observations().size(), 2u);
    const Observation &first = table.observations()[0];
    EXPECT_EQ(first.station, QStringLiteral("KDEN"));
    EXPECT_EQ(first.time, QDateTime(QDate(2024, 1, 2), QTime(3, 4), Qt::UTC));
    EXPECT_EQ(first.position, (GeoPoint{39.87, -104.67}));
    EXPECT_EQ(first.weather, (QStringList{QStringLiteral("-RA"), QStringLiteral("BR")}));
    const Observation &second = table.observations()[1];
    EXPECT_EQ(second.station, QStringLiteral("X\"Y"));
    EXPECT_EQ(second.time, QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59), Qt::UTC));
    EXPECT_EQ(second.position, (GeoPoint{-0.5, 180}));
}

TEST(ObservationTable, UnreadableRowsAreSkipped)
{
    const QByteArray header = "station,valid,lon,lat,tmpf\n";
    const QByteArray good = "DEN,2024-01-02 03:04,-104.67,39.87,50\n";
    const struct {
        const char *what;
        const char *row;
    } rows[] = {
        {"too few fields", "DEN,2024-01-02 03:04,-104.67,39.87\n"},
        {"too many fields", "DEN,2024-01-02 03:04,-104.67,39.87,50,\n"},
        {"no station", ",2024-01-02 03:04,-104.67,39.87,50\n"},
        {"no time", "DEN,,-104.67,39.87,50\n"},
        {"no such day", "DEN,2023-02-29 03:04,-104.67,39.87,50\n"},
        {"no such hour", "DEN,2024-01-02 24:00,-104.67,39.87,50\n"},
        {"time as a date only", "DEN,2024-01-02,-104.67,39.87,50\n"},
        {"time with a zone", "DEN,2024-01-02 03:04+01,-104.67,39.87,50\n"},
        {"no longitude", "DEN,2024-01-02 03:04,,39.87,50\n"},
        {"latitude beyond the pole", "DEN,2024-01-02 03:04,-104.67,90.01,50\n"},
        {"longitude beyond 180", "DEN,2024-01-02 03:04,-180.5,39.87,50\n"},
        {"quote left open", "\"DEN,2024-01-02 03:04,-104.67,39.87,50\n"},
        {"text after a quote", "\"DEN\"X,2024-01-02 03:04,-104.67,39.87,50\n"},
    };
    for (const auto &row : rows) {
        const ObservationTable table = ObservationTable::parse(header + good + row.row + good);
        EXPECT_EQ(table.observations().size(), 2u) << row.what;
        EXPECT_EQ(table.skippedRows(), 1) << row.what;
    }
}

TEST(ObservationTable, TablesWithoutObservationsAreRefused)
{
    const QByteArray header = "station,valid,lon,lat\n";
    const struct {
        const char *what;
        QByteArray text;
        const char *message;
    } rows[] = {
        {"empty", "", "no header line naming the columns"},
        {"blank lines only", "\n \r\n", "no header line naming the columns"},
        {"header alone", header, "no observation in it"},
        {"only unreadable rows", header + "DEN,then,1,2\n", "no row can be read (1 skipped)"},
        {"no position columns", "station,valid,tmpf\nDEN,2024-01-02 03:04,50\n",
         "the header line has no column lon, lat"},
        {"header quote left open", "\"station,valid,lon,lat\n", "the header line cannot be read"},
        {"a NUL byte", header + QByteArray("DEN,2024-01-02 03:04,1,2\0\n", 26), "not a text file"},
        {"not UTF-8", header + "D\xe9N,2024-01-02 03:04,1,2\n", "not a text file"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(refusalOf(row.text), QLatin1String(row.message)) << row.what;
}

TEST(ObservationTable, RefusalNamesTheFile)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("chart.png"));
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    file.close();
    const QString missing = dir.filePath(QStringLiteral("missing.csv"));
    const std::pair<QString, QString> files[] = {
        {picture, QStringLiteral("Cannot read observations from %1: not a text file").arg(picture)},
        {missing, QStringLiteral("Cannot open file %1: No such file or directory").arg(missing)},
    };
    for (const auto &[path, message] : files) {
        try {
            ObservationTable::read(path);
            ADD_FAILURE() << qPrintable(path) << " was read";
        } catch (const ChartError &e) {
            EXPECT_EQ(e.message(), message);
        }
    }
}
