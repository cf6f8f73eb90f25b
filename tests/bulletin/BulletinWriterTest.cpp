// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Writing bulletins (layout, round trip to a tenth of a degree, what the format cannot hold)
// and GeoJSON (structure, [lon, lat] order, the antimeridian).
#include "bulletin/BulletinWriter.h"
#include "base/ChartError.h"
#include "bulletin/BulletinParser.h"
#include "bulletin/GeoJsonWriter.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace brimlark;

namespace
{

// The high-resolution excerpt as a model, its centres not grouped by kind.
Bulletin excerpt()
{
    Bulletin b;
    b.valid = QStringLiteral("062818Z");
    b.centres = {{true, 1022, {39.6, -106.9}},
                 {false, 1002, {34.4, -114.5}},
                 {true, std::nullopt, {38.5, -106.9}}};
    b.lines = {
        {LineTool::ColdFront, {}, {{52.8, -83.7}, {50.9, -87.1}, {50.4, -89}, {49.8, -91.9}}},
        {LineTool::WarmFront, QStringLiteral("WK"), {{53, -84}, {52, -83}}}};
    return b;
}

// A bulletin of every tool and many positions anywhere in range, from a fixed-seed generator,
// with positions that do not fall on tenths.
Bulletin scattered()
{
    quint32 seed = 12345;
    const auto next = [&seed](double low, double high) {
        seed = seed * 1664525u + 1013904223u; // the Numerical Recipes LCG
        return low + (high - low) * (seed >> 8) / double(1u << 24);
    };
    Bulletin b;
    b.valid = QStringLiteral("010100Z");
    for (int i = 0; i < 40; ++i) {
        std::optional<int> pressure;
        if (i % 3)
            pressure = int(next(870, 1090.99));
        b.centres.push_back({i % 2 == 0, pressure, {next(0, 90), next(-180, 0)}});
    }
    const LineTool tools[] = {LineTool::ColdFront,       LineTool::WarmFront,
                              LineTool::StationaryFront, LineTool::OccludedFront,
                              LineTool::Trough,          LineTool::Dryline};
    const char *strengths[] = {"", "WK", "MDT", "STG"};
    for (int i = 0; i < 24; ++i) {
        Bulletin::Line line{tools[i % 6], QString::fromLatin1(strengths[i % 4]), {}};
        for (int k = 0; k < 2 + i * 3; ++k)
            line.points.push_back({next(0, 90), next(-180, 0)});
        b.lines.push_back(line);
    }
    return b;
}

// Positions agree to the tenth of a degree the high-resolution form keeps.
void expectSame(const Bulletin &read, const Bulletin &written)
{
    constexpr double Tenth = 0.05 + 1e-9;
    EXPECT_EQ(read.valid, written.valid);
    // Highs are written before lows.
    std::vector<Bulletin::Centre> centres;
    for (const bool high : {true, false})
        for (const Bulletin::Centre &c : written.centres)
            if (c.high == high)
                centres.push_back(c);
    ASSERT_EQ(read.centres.size(), centres.size());
    for (size_t i = 0; i < centres.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read.centres[i].high, centres[i].high);
        EXPECT_EQ(read.centres[i].pressure, centres[i].pressure);
        EXPECT_NEAR(read.centres[i].position.latitude, centres[i].position.latitude, Tenth);
        EXPECT_NEAR(read.centres[i].position.longitude, centres[i].position.longitude, Tenth);
    }
    ASSERT_EQ(read.lines.size(), written.lines.size());
    for (size_t i = 0; i < read.lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read.lines[i].tool, written.lines[i].tool);
        EXPECT_EQ(read.lines[i].strength, written.lines[i].strength);
        ASSERT_EQ(read.lines[i].points.size(), written.lines[i].points.size());
        for (size_t k = 0; k < read.lines[i].points.size(); ++k) {
            EXPECT_NEAR(read.lines[i].points[k].latitude, written.lines[i].points[k].latitude,
                        Tenth);
            EXPECT_NEAR(read.lines[i].points[k].longitude, written.lines[i].points[k].longitude,
                        Tenth);
        }
    }
}

QJsonObject geoJsonOf(const Bulletin &b)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(GeoJsonWriter::write(b), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

QJsonArray lonLat(double longitude, double latitude) { return {longitude, latitude}; }

} // namespace

TEST(BulletinWriter, WritesTheExcerptInHighResolution)
{
    EXPECT_EQ(BulletinWriter::write(excerpt()), QByteArray("CODED SURFACE FRONTAL POSITIONS\n"
                                                           "VALID 062818Z\n"
                                                           "HIGHS 1022 3961069 3851069\n"
                                                           "LOWS 1002 3441145\n"
                                                           "COLD 5280837 5090871 5040890 4980919\n"
                                                           "WARM WK 5300840 5200830\n"
                                                           "$$\n"));
}

// Long entries go on over continuation lines within 69 characters, and a pressure is never
// left at the end of a line apart from its position.
TEST(BulletinWriter, LongEntriesWrapWithinSixtyNineCharacters)
{
    const Bulletin b = scattered();
    const QByteArray text = BulletinWriter::write(b);
    const QList<QByteArray> lines = text.split('\n');
    int continuations = 0;
    for (const QByteArray &line : lines) {
        SCOPED_TRACE(line.toStdString());
        EXPECT_LE(line.size(), 69);
        EXPECT_FALSE(line.endsWith(' '));
        const QList<QByteArray> groups = line.split(' ');
        const qsizetype lastDigits = groups.back().size();
        EXPECT_TRUE(lastDigits != 3 && lastDigits != 4) << "a pressure ends the line";
        continuations += !line.isEmpty() && line[0] >= '0' && line[0] <= '9';
    }
    EXPECT_GT(continuations, 20);
    expectSame(BulletinParser::parse(text), b);
}

TEST(BulletinWriter, RoundTripKeepsPositionsToATenth)
{
    expectSame(BulletinParser::parse(BulletinWriter::write(excerpt())), excerpt());

    // Rounding at the ends of the range, and longitudes given the long way round.
    Bulletin edges;
    edges.valid = QStringLiteral(" 123123z ");
    edges.lines = {{LineTool::Trough,
                    QStringLiteral("stg"),
                    {{89.96, -179.96}, {-0.04, -0.04}, {0.04, 180}, {45, 200}, {45, -540}}}};
    const Bulletin read = BulletinParser::parse(BulletinWriter::write(edges));
    EXPECT_EQ(read.valid, QStringLiteral("123123Z"));
    EXPECT_EQ(read.lines[0].strength, QStringLiteral("STG"));
    const std::vector<std::pair<double, double>> expected = {
        {90, -180}, {0, 0}, {0, -180}, {45, -160}, {45, -180}};
    ASSERT_EQ(read.lines[0].points.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_DOUBLE_EQ(read.lines[0].points[k].latitude, expected[k].first);
        EXPECT_DOUBLE_EQ(read.lines[0].points[k].longitude, expected[k].second);
    }
}

TEST(BulletinWriter, SampleBulletinRoundTrip)
{
    QFile file(QStringLiteral(BRIMLARK_SAMPLE_BULLETIN));
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no sample bulletin at " << BRIMLARK_SAMPLE_BULLETIN;
    const Bulletin sample = BulletinParser::parse(file.readAll());
    const QByteArray written = BulletinWriter::write(sample);
    expectSame(BulletinParser::parse(written), sample);
    // Written again from what was read, the text is the same.
    EXPECT_EQ(BulletinWriter::write(BulletinParser::parse(written)), written);
}

// What the format cannot hold is refused rather than written as something else.
TEST(BulletinWriter, RefusesWhatTheFormatCannotHold)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const auto withLine = [](LineTool tool, QString strength, std::vector<GeoPoint> points) {
        Bulletin b = excerpt();
        b.lines.push_back({tool, std::move(strength), std::move(points)});
        return b;
    };
    const auto withCentre = [](std::optional<int> pressure, GeoPoint position) {
        Bulletin b = excerpt();
        b.centres.push_back({false, pressure, position});
        return b;
    };
    struct Row {
        const char *what;
        Bulletin bulletin;
    };
    Bulletin noTime = excerpt();
    noTime.valid.clear();
    Bulletin badTime = excerpt();
    badTime.valid = QStringLiteral("0628Z");
    const Row rows[] = {
        {"no time", noTime},
        {"bad time", badTime},
        {"south", withLine(LineTool::Trough, {}, {{45, -90}, {-0.06, -90}})},
        {"not a number", withLine(LineTool::Trough, {}, {{45, -90}, {nan, -90}})},
        {"infinite", withLine(LineTool::Trough, {}, {{45, inf}, {45, -90}})},
        {"one point", withLine(LineTool::ColdFront, {}, {{45, -90}})},
        {"isopleth", withLine(LineTool::Isopleth, {}, {{45, -90}, {46, -90}})},
        {"strength",
         withLine(LineTool::ColdFront, QStringLiteral("STRONG"), {{45, -90}, {46, -90}})},
        {"pressure below", withCentre(869, {45, -90})},
        {"pressure above", withCentre(1091, {45, -90})},
        {"centre south", withCentre(1000, {-45, 10})},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_THROW(BulletinWriter::write(row.bulletin), ChartError);
    }
    EXPECT_NO_THROW(BulletinWriter::write(withCentre(870, {45, -90})));
    EXPECT_NO_THROW(BulletinWriter::write(withCentre(1090, {45, -90})));
}

// East longitudes go out as degrees west beyond 180 and come back as they were: every
// position north of the equator round-trips.
TEST(BulletinWriter, EastLongitudesAreDegreesWestBeyondOneEighty)
{
    Bulletin b;
    b.valid = QStringLiteral("062818Z");
    b.centres = {{false, 1002, {55, 165}}, {true, std::nullopt, {45, 0.06}}};
    b.lines = {{LineTool::ColdFront, QStringLiteral("WK"), {{50, 175}, {45, -175}, {40, 179.94}}}};
    const QByteArray text = BulletinWriter::write(b);
    EXPECT_TRUE(text.contains("HIGHS 4503599\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("LOWS 1002 5501950\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("COLD WK 5001850 4501750 4001801\n")) << text.toStdString();
    expectSame(BulletinParser::parse(text), b);
}

// A feature the format cannot hold is named, with the reason.
TEST(BulletinWriter, RefusalNamesTheFeatureAndTheReason)
{
    const auto errorOf = [](const Bulletin &b) {
        try {
            BulletinWriter::write(b);
        } catch (const ChartError &e) {
            return e.message();
        }
        return QString();
    };
    Bulletin b = excerpt();
    b.centres.push_back({false, 995, {-30, 120}});
    EXPECT_EQ(errorOf(b), QStringLiteral("Cannot write the low at -30, 120 in a bulletin: its "
                                         "position -30, 120 is south of the equator, and a "
                                         "bulletin holds only 0 to 90 N"));
    b = excerpt();
    b.lines.push_back({LineTool::Trough, {}, {{45, -90}, {-0.5, -90}}});
    EXPECT_EQ(errorOf(b), QStringLiteral("Cannot write the TROF line from 45, -90 in a bulletin: "
                                         "its position -0.5, -90 is south of the equator, and a "
                                         "bulletin holds only 0 to 90 N"));
    b = excerpt();
    b.lines.push_back({LineTool::Isopleth, {}, {{45, -90}, {46, -90}}});
    EXPECT_EQ(errorOf(b), QStringLiteral("Cannot write the isopleth from 45, -90 in a bulletin: "
                                         "a bulletin holds fronts, troughs and drylines, not "
                                         "isopleths"));
    b = excerpt();
    b.centres.push_back({true, 1091, {45, -90}});
    EXPECT_EQ(errorOf(b), QStringLiteral("Cannot write the high at 45, -90 in a bulletin: its "
                                         "pressure 1091 hPa is outside 870 to 1090 hPa"));
}

TEST(GeoJsonWriter, FeatureCollectionOfPointsAndLineStrings)
{
    const QJsonObject json = geoJsonOf(excerpt());
    EXPECT_EQ(json[u"type"].toString(), QStringLiteral("FeatureCollection"));
    EXPECT_EQ(
        json[u"valid"].toString(),
        QStringLiteral("%1-06-28T18:00:00Z")
            .arg(BulletinParser::yearNear("062818Z", QDateTime::currentDateTimeUtc().date())));
    const QJsonArray features = json[u"features"].toArray();
    ASSERT_EQ(features.size(), 5);
    for (const QJsonValue &f : features)
        EXPECT_EQ(f[u"type"].toString(), QStringLiteral("Feature"));

    const QJsonObject high = features[0].toObject();
    EXPECT_EQ(high[u"geometry"][u"type"].toString(), QStringLiteral("Point"));
    EXPECT_EQ(high[u"geometry"][u"coordinates"].toArray(), lonLat(-106.9, 39.6));
    EXPECT_EQ(high[u"properties"].toObject(),
              (QJsonObject{{QStringLiteral("kind"), QStringLiteral("high")},
                           {QStringLiteral("pressure"), 1022}}));
    EXPECT_EQ(features[1][u"properties"][u"kind"].toString(), QStringLiteral("low"));
    // A centre without a pressure has no pressure member, not a null or a zero.
    EXPECT_EQ(features[2][u"properties"].toObject(),
              (QJsonObject{{QStringLiteral("kind"), QStringLiteral("high")}}));

    const QJsonObject cold = features[3].toObject();
    EXPECT_EQ(cold[u"geometry"][u"type"].toString(), QStringLiteral("LineString"));
    EXPECT_EQ(cold[u"geometry"][u"coordinates"].toArray(),
              (QJsonArray{lonLat(-83.7, 52.8), lonLat(-87.1, 50.9), lonLat(-89, 50.4),
                          lonLat(-91.9, 49.8)}));
    EXPECT_EQ(cold[u"properties"].toObject(),
              (QJsonObject{{QStringLiteral("kind"), QStringLiteral("cold")}}));
    EXPECT_EQ(features[4][u"properties"].toObject(),
              (QJsonObject{{QStringLiteral("kind"), QStringLiteral("warm")},
                           {QStringLiteral("strength"), QStringLiteral("WK")}}));
}

// The valid time is ISO 8601 with the year: the bulletin's, or else the one nearest to now.
TEST(GeoJsonWriter, ValidTimeWithTheYear)
{
    const QDate today = QDateTime::currentDateTimeUtc().date();
    int leapYear = BulletinParser::yearNear("022900Z", today);
    while (!QDate::isLeapYear(leapYear))
        --leapYear;
    struct Row {
        const char *valid;
        std::optional<int> year;
        QString expected;
    };
    const Row rows[] = {
        {"062818Z", 2021, QStringLiteral("2021-06-28T18:00:00Z")},
        {" 123123z ", 1999, QStringLiteral("1999-12-31T23:00:00Z")},
        {"022900Z", 2024, QStringLiteral("2024-02-29T00:00:00Z")},
        {"010100Z", std::nullopt,
         QStringLiteral("%1-01-01T00:00:00Z").arg(BulletinParser::yearNear("010100Z", today))},
        // 29 February without the year: in the nearest leap year before the year nearest now.
        {"022900Z", std::nullopt, QStringLiteral("%1-02-29T00:00:00Z").arg(leapYear)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.valid);
        Bulletin b = excerpt();
        b.valid = QLatin1String(row.valid);
        b.year = row.year;
        EXPECT_EQ(geoJsonOf(b)[u"valid"].toString(), row.expected);
    }
    Bulletin untimed = excerpt();
    untimed.valid.clear();
    EXPECT_FALSE(geoJsonOf(untimed).contains(u"valid"));
    for (const auto &[valid, year] :
         {std::pair("0628Z", std::optional<int>()), std::pair("022900Z", std::optional(2023))}) {
        Bulletin b = excerpt();
        b.valid = QLatin1String(valid);
        b.year = year;
        EXPECT_THROW(GeoJsonWriter::write(b), ChartError) << valid;
    }
}

TEST(GeoJsonWriter, KindOfEveryTool)
{
    const std::pair<LineTool, const char *> rows[] = {
        {LineTool::ColdFront, "cold"},
        {LineTool::WarmFront, "warm"},
        {LineTool::StationaryFront, "stationary"},
        {LineTool::OccludedFront, "occluded"},
        {LineTool::Trough, "trough"},
        {LineTool::Dryline, "dryline"},
        {LineTool::Isopleth, "isopleth"},
    };
    Bulletin b;
    for (const auto &row : rows)
        b.lines.push_back({row.first, {}, {{40, -100}, {41, -101}}});
    const QJsonArray features = geoJsonOf(b)[u"features"].toArray();
    ASSERT_EQ(features.size(), qsizetype(std::size(rows)));
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(features[qsizetype(i)][u"properties"][u"kind"].toString(),
                  QString::fromLatin1(rows[i].second));
}

// A line across the antimeridian is cut there, not drawn the long way round the globe.
TEST(GeoJsonWriter, LineAcrossTheAntimeridianIsCut)
{
    Bulletin b;
    b.lines = {{LineTool::ColdFront, {}, {{50, 170}, {50, -170}}},         // eastward
               {LineTool::Trough, {}, {{40, -175}, {50, 175}, {50, 170}}}, // westward
               {LineTool::WarmFront, {}, {{50, 170}, {50, 180}}},          // ends on it
               {LineTool::Dryline, {}, {{30, 190}, {31, 200}}}};           // east of 180
    const QJsonArray features = geoJsonOf(b)[u"features"].toArray();
    ASSERT_EQ(features.size(), 4);
    const QJsonValue eastward = features[0][u"geometry"];
    EXPECT_EQ(eastward[u"type"].toString(), QStringLiteral("MultiLineString"));
    EXPECT_EQ(eastward[u"coordinates"].toArray(),
              (QJsonArray{QJsonArray{lonLat(170, 50), lonLat(180, 50)},
                          QJsonArray{lonLat(-180, 50), lonLat(-170, 50)}}));
    EXPECT_EQ(features[1][u"geometry"][u"coordinates"].toArray(),
              (QJsonArray{QJsonArray{lonLat(-175, 40), lonLat(-180, 45)},
                          QJsonArray{lonLat(180, 45), lonLat(175, 50), lonLat(170, 50)}}));
    const QJsonValue onIt = features[2][u"geometry"];
    EXPECT_EQ(onIt[u"type"].toString(), QStringLiteral("LineString"));
    EXPECT_EQ(onIt[u"coordinates"].toArray(), (QJsonArray{lonLat(170, 50), lonLat(180, 50)}));
    EXPECT_EQ(features[3][u"geometry"][u"coordinates"].toArray(),
              (QJsonArray{lonLat(-170, 30), lonLat(-160, 31)}));
}

TEST(GeoJsonWriter, RefusesWhatGeoJsonCannotHold)
{
    Bulletin nan = excerpt();
    nan.centres[0].position.latitude = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(GeoJsonWriter::write(nan), ChartError);
    Bulletin onePoint = excerpt();
    onePoint.lines[0].points.resize(1);
    EXPECT_THROW(GeoJsonWriter::write(onePoint), ChartError);
}
