// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Reading GeoJSON: the writer's output back as it was (lines cut at the antimeridian joined
// again), other programs' collections, and what is refused or skipped.
#include "bulletin/GeoJsonReader.h"
#include "base/ChartError.h"
#include "bulletin/GeoJsonWriter.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace brimlark;

namespace brimlark
{
void PrintTo(const GeoPoint &p, std::ostream *out)
{
    *out << "(" << p.latitude << ", " << p.longitude << ")";
}
} // namespace brimlark

namespace
{

// Meridian 180 is written as 180 or -180, and read as written.
GeoPoint folded(const GeoPoint &p) { return {p.latitude, GeoPoint::foldedLongitude(p.longitude)}; }

void expectSameAnalysis(const Bulletin &read, const Bulletin &written)
{
    EXPECT_EQ(read.valid, written.valid);
    EXPECT_EQ(read.year, written.year);
    ASSERT_EQ(read.centres.size(), written.centres.size());
    for (size_t i = 0; i < read.centres.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read.centres[i].high, written.centres[i].high);
        EXPECT_EQ(read.centres[i].pressure, written.centres[i].pressure);
        EXPECT_EQ(read.centres[i].position, folded(written.centres[i].position));
    }
    ASSERT_EQ(read.lines.size(), written.lines.size());
    for (size_t i = 0; i < read.lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read.lines[i].tool, written.lines[i].tool);
        EXPECT_EQ(read.lines[i].strength, written.lines[i].strength);
        EXPECT_EQ(read.lines[i].contour, written.lines[i].contour);
        std::vector<GeoPoint> points;
        for (const GeoPoint &p : read.lines[i].points)
            points.push_back(folded(p));
        EXPECT_EQ(points, written.lines[i].points);
    }
}

QByteArray collectionOf(const QByteArray &features)
{
    return R"({"type":"FeatureCollection","features":[)" + features + "]}";
}

// A feature of that geometry and those properties, both JSON.
QByteArray feature(const QByteArray &geometry, const QByteArray &properties)
{
    return R"({"type":"Feature","geometry":)" + geometry + R"(,"properties":)" + properties + "}";
}

QByteArray line(const QByteArray &coordinates)
{
    return R"({"type":"LineString","coordinates":)" + coordinates + "}";
}

QByteArray point(const QByteArray &coordinates)
{
    return R"({"type":"Point","coordinates":)" + coordinates + "}";
}

const QByteArray Cold = feature(line("[[-90,40],[-91,41]]"), R"({"kind":"cold"})");

} // namespace

// Whatever the writer writes reads back as it was, positions exactly.
TEST(GeoJsonReader, ReadsBackWhatTheWriterWrote)
{
    Bulletin everything;
    everything.valid = QStringLiteral("062818Z");
    everything.year = 2021;
    everything.centres = {{true, 1022, {39.6, -106.9}},
                          {false, 870, {-34.4, 114.5}},
                          {true, std::nullopt, {90, -180}},
                          {false, 1090, {-90, 0}}};
    const char *strengths[] = {"", "WK", "MDT", "STG"};
    int n = 0;
    for (const LineToolNames &names : LineToolNames::all()) {
        everything.lines.push_back({names.tool,
                                    QLatin1StringView(strengths[n % 4]),
                                    {{52.8 - n, -83.7}, {50.9, -87.1 + n}, {-50.4, 89.123456789}}});
        ++n;
    }
    // Isolines with their values: an isobar, and isotherms in both units.
    using Q = ContourValue::Quantity;
    for (const ContourValue &contour : {ContourValue{Q::Pressure, 1012, QStringLiteral("hPa")},
                                        ContourValue{Q::Temperature, -7.5, QStringLiteral("C")},
                                        ContourValue{Q::DewPoint, 60, QStringLiteral("F")}})
        everything.lines.push_back({LineTool::Isopleth, {}, {{40, -100}, {41, -99}}, contour});
    Bulletin untimed;
    untimed.lines = {{LineTool::Trough, {}, {{1, 2}, {3, 4}}}};
    Bulletin leapDay = untimed;
    leapDay.valid = QStringLiteral("022900Z");
    leapDay.year = 2024;

    // Lines that the writer cuts at the antimeridian, each with the part before and after.
    Bulletin acrossTheAntimeridian;
    acrossTheAntimeridian.valid = QStringLiteral("123123Z");
    acrossTheAntimeridian.year = 1999;
    const std::vector<std::vector<GeoPoint>> across = {
        {{50, 170}, {50, -170}},                                  // eastward
        {{40, -175}, {50, 175}, {50, 170}},                       // westward
        {{30, 170}, {31, -170}, {32, 175}, {33, -175}, {34, 10}}, // over and back, twice
        {{50, 170}, {55, -180}, {50, -170}},                      // through a position on it
        {{50, 170}, {55, -180}, {50, 170}},                       // to it and back
        {{10, -180}, {-20, 175}, {-90, -170}},                    // from it, to the south pole
        {{50, -170}, {51, 170}, {52, -180}},                      // back to it at the end
    };
    for (const std::vector<GeoPoint> &points : across)
        acrossTheAntimeridian.lines.push_back({LineTool::ColdFront, QStringLiteral("WK"), points});

    const std::pair<const char *, Bulletin> rows[] = {
        {"every kind", everything},
        {"no time", untimed},
        {"29 February", leapDay},
        {"across the antimeridian", acrossTheAntimeridian},
    };
    for (const auto &[what, analysis] : rows) {
        SCOPED_TRACE(what);
        const GeoJsonReader::Result result = GeoJsonReader::read(GeoJsonWriter::write(analysis));
        EXPECT_EQ(result.skipped, 0);
        expectSameAnalysis(result.analysis, analysis);
    }
}

TEST(GeoJsonReader, ValidTimeInUtc)
{
    const std::tuple<const char *, const char *, std::optional<int>> rows[] = {
        {R"("2021-06-28T18:00:00Z")", "062818Z", 2021},
        {R"("2021-06-28T18:00:00.000+02:00")", "062816Z", 2021},
        {R"("2021-12-31T23:00:00-05:00")", "010104Z", 2022},
        {R"("2021-06-28T06:00")", "062806Z", 2021}, // no offset: UTC
        {"null", "", std::nullopt},
    };
    for (const auto &[valid, expected, year] : rows) {
        SCOPED_TRACE(valid);
        const Bulletin read =
            GeoJsonReader::read(R"({"type":"FeatureCollection","features":[],"valid":)"
                                + QByteArray(valid) + "}")
                .analysis;
        EXPECT_EQ(read.valid, QLatin1StringView(expected));
        EXPECT_EQ(read.year, year);
    }
}

// Features of other kinds are skipped and counted; a document that is not a collection of
// features, or a feature of the analysis that is not as it must be, is refused with a message
// naming the fault (and the feature, counted from 1).
TEST(GeoJsonReader, RefusesOrSkips)
{
    struct Row {
        QByteArray json;
        const char *error; // empty when the document is read
        int read = 0;      // centres and lines
        int skipped = 0;
    };
    const auto timed = [](const char *valid) {
        return R"({"type":"FeatureCollection","features":[],"valid":)" + QByteArray(valid) + "}";
    };
    const auto withCold = [](const QByteArray &properties) {
        return collectionOf(feature(line("[[-90,40],[-91,41]]"), properties));
    };
    const auto high = [](const QByteArray &geometry, const QByteArray &properties) {
        return collectionOf(feature(geometry, R"({"kind":"high",)" + properties + "}"));
    };
    const Row rows[] = {
        // Accepted as they are, or with what is no part of an analysis skipped.
        {collectionOf(Cold + "," + feature(point("[10,20,300]"), R"({"kind":"low"})")), "", 2},
        {collectionOf(feature(R"({"type":"MultiLineString","coordinates":[[[1,2],[3,4]],)"
                              R"([[5,6],[7,8]]]})",
                              R"({"kind":"dryline","strength":null})")),
         "", 2},
        {high(point("[1,2]"), R"("pressure":null,"name":"Azores")"), "", 1},
        {collectionOf(feature(point("[1,2]"), R"({"kind":"station"})") + ","
                      + feature(point("[1,2]"), "null") + "," + feature(line("[[1,2],[3,4]]"), "{}")
                      + "," + feature("null", "{}") + ","
                      + feature(R"({"type":"Polygon","coordinates":[]})", R"({"kind":"squall"})")
                      + "," + Cold),
         "", 1, 5},

        // The document.
        {"", "Not a GeoJSON file: illegal value at byte 0"},
        {R"({"type":"FeatureCollection","features":[)", "Not a GeoJSON file: "},
        {"[]", "Not a GeoJSON FeatureCollection: the document is an array"},
        {Cold, R"(Not a GeoJSON FeatureCollection: its type is "Feature")"},
        {R"({"type":"FeatureCollection"})", "features null are not a list"},
        {timed(R"("yesterday")"), R"("valid" time "yesterday" is not an ISO 8601 time)"},
        {timed(R"("2021-06-28")"), "is not an ISO 8601 time"},
        {timed(R"("2021-02-29T00:00:00Z")"), "is not an ISO 8601 time"},
        {timed("2021"), R"(time 2021 is not an ISO 8601 time)"},
        {timed(R"("2021-06-28T18:30:00Z")"), "is not on the hour"},

        // A feature's structure.
        {collectionOf("5"), "GeoJSON feature 1: 5 is not a Feature"},
        {collectionOf(Cold + R"(,{"type":"Feature","properties":{"kind":"cold"}})"),
         R"(GeoJSON feature 2 (kind "cold"): the feature has no geometry member)"},
        {collectionOf(feature("[]", "{}")), "its geometry [] is not an object or null"},
        {collectionOf(feature(point("[1,2]"), "[]")), "its properties [] are not an object"},
        {high(line("[[1,2],[3,4]]"), "\"x\":0"),
         R"((kind "high"): its geometry must be a Point, not of type "LineString")"},
        {high(R"({"type":"MultiPoint","coordinates":[[1,2]]})", "\"x\":0"), "must be a Point"},
        {collectionOf(feature("null", R"({"kind":"warm"})")),
         "its geometry must be a LineString or MultiLineString, not of type null"},

        // Positions and lines.
        {high(point("[1]"), "\"x\":0"), "position 1 is [1], not [longitude, latitude]"},
        {high(R"({"type":"Point"})", "\"x\":0"), "position 1 is null, not"},
        {collectionOf(feature(line(R"([[1,2],["3",4]])"), R"({"kind":"cold"})")),
         R"(position 2 is ["3",4], not)"},
        {collectionOf(feature(line("[[1,2],[3,90.5]]"), R"({"kind":"cold"})")),
         "position 2 [3, 90.5] is outside longitude -180 to 180 and latitude -90 to 90"},
        {high(point("[-180.001,2]"), "\"x\":0"), "position 1 [-180.001, 2] is outside"},
        {collectionOf(feature(line("[[1,2]]"), R"({"kind":"cold"})")),
         "a line needs at least two positions, not 1"},
        {collectionOf(feature(line("{}"), R"({"kind":"cold"})")),
         "its coordinates {} are not a list of positions"},
        {collectionOf(feature(R"({"type":"MultiLineString","coordinates":[[[1,2],[3,4]],[]]})",
                              R"({"kind":"cold"})")),
         "at least two positions, not 0"},
        {collectionOf(
             feature(R"({"type":"MultiLineString","coordinates":[]})", R"({"kind":"cold"})")),
         "its coordinates [] are not a list of lines"},

        // Properties.
        {withCold(R"({"kind":"squall"})"),
         R"(the line's kind "squall" is none of isopleth, cold, warm, occluded, stationary, )"
         R"(trough, dryline, isobar, isotherm, isodrosotherm, "high" or "low")"},
        {withCold(R"({"kind":"isobar"})"), "its value null is not a number"},
        {withCold(R"({"kind":"isobar","value":"1012"})"), R"(its value "1012" is not)"},
        {withCold(R"({"kind":"isobar","value":1012,"units":"C"})"),
         R"(its units "C" are none of hPa)"},
        {withCold(R"({"kind":"isotherm","value":5,"units":"K"})"),
         R"(its units "K" are none of C, F)"},
        {withCold(R"({"kind":"Cold"})"), R"(kind "Cold" is none of)"},
        {withCold(R"({"kind":1})"), "kind 1 is none of"},
        {withCold(R"({"kind":"cold","strength":"STRONG"})"),
         R"(its strength "STRONG" is none of WK, MDT, STG)"},
        {withCold(R"({"kind":"cold","strength":"wk"})"), "strength \"wk\" is none"},
        {high(point("[1,2]"), R"("pressure":869)"),
         "its pressure 869 is not a whole number of hPa within 870 to 1090"},
        {high(point("[1,2]"), R"("pressure":1022.5)"), "its pressure 1022.5 is not"},
        {high(point("[1,2]"), R"("pressure":"1022")"), R"(its pressure "1022" is not)"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.json.toStdString());
        const QString error = QString::fromUtf8(row.error);
        try {
            const GeoJsonReader::Result result = GeoJsonReader::read(row.json);
            EXPECT_TRUE(error.isEmpty()) << "read, not refused";
            EXPECT_EQ(result.analysis.centres.size() + result.analysis.lines.size(),
                      size_t(row.read));
            EXPECT_EQ(result.skipped, row.skipped);
        } catch (const ChartError &e) {
            EXPECT_FALSE(error.isEmpty()) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(error)) << e.message().toStdString();
        }
    }
}
