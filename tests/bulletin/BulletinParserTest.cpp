// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Reading coded surface bulletins: both resolutions, centres with and without pressure, the
// sample bulletin, lenient layout, refused input, and which side of a listed front is its left.
#include "bulletin/BulletinParser.h"
#include "analysis/SegmentRenderer.h"
#include "base/ChartError.h"
#include "mapgen/Projection.h"
#include "support/RecordingCanvas.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

using namespace brimlark;

namespace
{

Bulletin parseBody(const QByteArray &body)
{
    return BulletinParser::parse("VALID 062818Z\n" + body + "\n$$\n");
}

// The message of the ChartError the text gives, or "" when it parses.
QString errorOf(const QByteArray &text)
{
    try {
        BulletinParser::parse(text);
    } catch (const ChartError &e) {
        return e.message();
    }
    return {};
}

void expectAt(const GeoPoint &p, double latitude, double longitude)
{
    EXPECT_DOUBLE_EQ(p.latitude, latitude);
    EXPECT_DOUBLE_EQ(p.longitude, longitude);
}

struct KeywordRow {
    const char *keyword;
    LineTool tool;
};
const KeywordRow LineKeywords[] = {
    {"COLD", LineTool::ColdFront},        {"WARM", LineTool::WarmFront},
    {"STNRY", LineTool::StationaryFront}, {"OCFNT", LineTool::OccludedFront},
    {"TROF", LineTool::Trough},           {"DRYLINE", LineTool::Dryline},
};

} // namespace

// The excerpt of a high-resolution bulletin, every value worked by hand from its groups.
TEST(BulletinParser, HighResolutionExcerpt)
{
    const Bulletin b = BulletinParser::parse("VALID 062818Z\n"
                                             "HIGHS 1022 3961069 1020 3851069\n"
                                             "LOWS 1002 3441145\n"
                                             "COLD 5280837 5090871 5040890\n"
                                             "4980919\n"
                                             "$$\n");
    EXPECT_EQ(b.valid, QStringLiteral("062818Z"));
    ASSERT_EQ(b.centres.size(), 3u);
    EXPECT_TRUE(b.centres[0].high);
    EXPECT_EQ(b.centres[0].pressure, 1022);
    expectAt(b.centres[0].position, 39.6, -106.9);
    EXPECT_EQ(b.centres[1].pressure, 1020);
    expectAt(b.centres[1].position, 38.5, -106.9);
    EXPECT_FALSE(b.centres[2].high);
    EXPECT_EQ(b.centres[2].pressure, 1002);
    expectAt(b.centres[2].position, 34.4, -114.5);
    ASSERT_EQ(b.lines.size(), 1u);
    EXPECT_EQ(b.lines[0].tool, LineTool::ColdFront);
    EXPECT_TRUE(b.lines[0].strength.isEmpty());
    ASSERT_EQ(b.lines[0].points.size(), 4u); // the continuation line belongs to COLD
    expectAt(b.lines[0].points[0], 52.8, -83.7);
    expectAt(b.lines[0].points[3], 49.8, -91.9);
}

TEST(BulletinParser, EveryLineKeywordAtBothResolutions)
{
    for (const KeywordRow &row : LineKeywords) {
        SCOPED_TRACE(row.keyword);
        const QByteArray keyword(row.keyword);
        const Bulletin high = parseBody(keyword + " MDT 4350947 4401000 0000001");
        ASSERT_EQ(high.lines.size(), 1u);
        EXPECT_EQ(high.lines[0].tool, row.tool);
        EXPECT_EQ(high.lines[0].strength, QStringLiteral("MDT"));
        ASSERT_EQ(high.lines[0].points.size(), 3u);
        expectAt(high.lines[0].points[0], 43.5, -94.7);
        expectAt(high.lines[0].points[1], 44.0, -100.0);
        expectAt(high.lines[0].points[2], 0.0, -0.1);

        const Bulletin low = parseBody(keyword + " 3877 40107 0500");
        ASSERT_EQ(low.lines.size(), 1u);
        EXPECT_EQ(low.lines[0].tool, row.tool);
        EXPECT_TRUE(low.lines[0].strength.isEmpty());
        ASSERT_EQ(low.lines[0].points.size(), 3u);
        expectAt(low.lines[0].points[0], 38, -77);
        expectAt(low.lines[0].points[1], 40, -107);
        expectAt(low.lines[0].points[2], 5, 0);
        EXPECT_FALSE(std::signbit(low.lines[0].points[2].longitude)); // 0 W is 0, not -0
    }
    for (const char *strength : {"WK", "MDT", "STG"}) {
        const Bulletin b = parseBody(QByteArray("STNRY ") + strength + " 4485 4590");
        EXPECT_EQ(b.lines[0].strength, QString::fromLatin1(strength));
    }
}

// The corners of the range are positions; a tenth or a degree beyond is refused. East
// longitudes are degrees west beyond 180, up to 359.9.
TEST(BulletinParser, PositionRangeEndsAtNinetyNorthAndBelowThreeSixtyWest)
{
    expectAt(parseBody("TROF 9001800 0000000").lines[0].points[0], 90, -180);
    expectAt(parseBody("WARM 90180 0000").lines[0].points[0], 90, -180);
    const Bulletin east = parseBody("TROF 4401801 4401850 4403599 4403000");
    expectAt(east.lines[0].points[0], 44, 179.9);
    expectAt(east.lines[0].points[1], 44, 175);
    expectAt(east.lines[0].points[2], 44, 0.1);
    expectAt(east.lines[0].points[3], 44, 60);
    expectAt(parseBody("TROF 4485\n45181 45359").lines[0].points[2], 45, 1);
    EXPECT_EQ(errorOf("VALID 062818Z\nTROF 9011000 4401000\n$$"),
              QStringLiteral("Bulletin line 2: position \"9011000\" has latitude 90.1, over 90"));
    EXPECT_EQ(errorOf("VALID 062818Z\nTROF 4401000 4403600\n$$"),
              QStringLiteral("Bulletin line 2: position \"4403600\" has longitude 360 W, 360 or "
                             "over"));
    EXPECT_EQ(errorOf("VALID 062818Z\nTROF 4485 9185\n$$"),
              QStringLiteral("Bulletin line 2: position \"9185\" has latitude 91, over 90"));
    EXPECT_EQ(errorOf("VALID 062818Z\nTROF 4485\n45360\n$$"),
              QStringLiteral("Bulletin line 3: position \"45360\" has longitude 360 W, 360 or "
                             "over"));
}

TEST(BulletinParser, CentresWithAndWithoutPressure)
{
    const Bulletin high = parseBody("HIGHS 1022 3961069 3851069\nLOWS 995 3441145 870 0011800");
    ASSERT_EQ(high.centres.size(), 4u);
    EXPECT_TRUE(high.centres[0].high);
    EXPECT_EQ(high.centres[0].pressure, 1022);
    EXPECT_TRUE(high.centres[1].high);
    EXPECT_EQ(high.centres[1].pressure, std::nullopt);
    expectAt(high.centres[1].position, 38.5, -106.9);
    EXPECT_FALSE(high.centres[2].high);
    EXPECT_EQ(high.centres[2].pressure, 995); // three digits
    EXPECT_EQ(high.centres[3].pressure, 870);

    // A pressure is followed by a position; a position follows a pressure or a position.
    const Bulletin low = parseBody("LOWS 1015 5482 61108 1018 66105");
    ASSERT_EQ(low.centres.size(), 3u);
    EXPECT_EQ(low.centres[0].pressure, 1015);
    expectAt(low.centres[0].position, 54, -82);
    EXPECT_EQ(low.centres[1].pressure, std::nullopt);
    expectAt(low.centres[1].position, 61, -108);
    EXPECT_EQ(low.centres[2].pressure, 1018);
    expectAt(low.centres[2].position, 66, -105);
}

// Low-resolution groups in the pressure range: the place in the sequence decides.
TEST(BulletinParser, PressureOrLowResolutionPositionByPlace)
{
    struct Row {
        const char *body;
        std::vector<std::optional<int>> pressures;
        std::vector<GeoPoint> positions;
    };
    const Row rows[] = {
        // Last in the list, a group outside the pressure range is a position.
        {"HIGHS 1022 4485 1117", {1022, std::nullopt}, {{44, -85}, {11, -17}}},
        // 995 can only be a pressure, so 1012 before it is a position without one.
        {"LOWS 1012 995 5482", {std::nullopt, 995}, {{10, -12}, {54, -82}}},
        // Two readings fit; the first group followed by a position is taken as the pressure.
        {"LOWS 1017 1018 66105", {1017, std::nullopt}, {{10, -18}, {66, -105}}},
        // Outside the pressure range a 4-digit group is a position.
        {"HIGHS 1200 4485", {std::nullopt, std::nullopt}, {{12, 0}, {44, -85}}},
        // The pressure at the end of a line goes with the position on the next.
        {"LOWS 1016 4593 1012\n33100 1011 31103",
         {1016, 1012, 1011},
         {{45, -93}, {33, -100}, {31, -103}}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.body);
        const Bulletin b = parseBody(row.body);
        ASSERT_EQ(b.centres.size(), row.pressures.size());
        for (size_t i = 0; i < b.centres.size(); ++i) {
            EXPECT_EQ(b.centres[i].pressure, row.pressures[i]);
            expectAt(b.centres[i].position, row.positions[i].latitude, row.positions[i].longitude);
        }
    }
}

TEST(BulletinParser, SampleBulletin)
{
    QFile file(QStringLiteral(BRIMLARK_SAMPLE_BULLETIN));
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no sample bulletin at " << BRIMLARK_SAMPLE_BULLETIN;
    const Bulletin b = BulletinParser::parse(file.readAll());
    EXPECT_EQ(b.valid, QStringLiteral("062818Z"));
    EXPECT_EQ(b.year, 2021); // "342 PM EDT MON JUN 28 2021"

    int highs = 0, lows = 0, lowsWithoutPressure = 0;
    for (const Bulletin::Centre &c : b.centres) {
        (c.high ? highs : lows) += 1;
        lowsWithoutPressure += !c.high && !c.pressure;
    }
    EXPECT_EQ(highs, 16);
    EXPECT_EQ(lows, 24);
    EXPECT_EQ(lowsWithoutPressure, 2); // 61108 and 50121
    std::map<LineTool, int> tools;
    for (const Bulletin::Line &line : b.lines)
        ++tools[line.tool];
    EXPECT_EQ(tools, (std::map<LineTool, int>{{LineTool::ColdFront, 8},
                                              {LineTool::WarmFront, 3},
                                              {LineTool::OccludedFront, 3},
                                              {LineTool::StationaryFront, 13},
                                              {LineTool::Trough, 22}}));
    for (const Bulletin::Line &line : b.lines)
        EXPECT_EQ(line.strength, line.tool == LineTool::Trough ? QString() : QStringLiteral("WK"));

    // "LOWS ... 1012 $" then "33100 ...": the pressure waits for the next line.
    const auto found = std::find_if(b.centres.begin(), b.centres.end(), [](const auto &c) {
        return c.position.latitude == 33 && c.position.longitude == -100;
    });
    ASSERT_NE(found, b.centres.end());
    EXPECT_EQ(found->pressure, 1012);
    // The last low, and the 16-point trough that runs over a continuation line.
    expectAt(b.centres.back().position, 32, -79);
    EXPECT_EQ(b.centres.back().pressure, 1013);
    EXPECT_EQ(b.lines[10].points.size(), 16u);
    expectAt(b.lines[10].points.back(), 52, -120);
}

// Layout that real files have: CR LF, tabs, runs of blanks, blank lines, lower case, a byte
// order mark, the SOH and ETX that frame a bulletin off the wire, a header full of numbers
// and words, keywords inside a line, and whatever follows $$.
TEST(BulletinParser, LenientLayout)
{
    const QByteArray text = "\xEF\xBB\xBF\x01\r\r\n663 \r\r\n"
                            "ASUS01 KWBC 281943\r\n"
                            "CODED SURFACE FRONTAL POSITIONS\r\n"
                            "  \t \r\n"
                            "valid   062818z\r\n"
                            "\r\n"
                            "HIGHS\t1022  3961069   \r\n"
                            "  cold wk 5280837 5090871 Warm 5280837\r\n"
                            "\t5290800  \r\n"
                            "$$\r\n"
                            "\x03 TROF and anything else 12\r\n";
    const Bulletin b = BulletinParser::parse(text);
    EXPECT_EQ(b.valid, QStringLiteral("062818Z"));
    ASSERT_EQ(b.centres.size(), 1u);
    EXPECT_EQ(b.centres[0].pressure, 1022);
    ASSERT_EQ(b.lines.size(), 2u);
    EXPECT_EQ(b.lines[0].tool, LineTool::ColdFront);
    EXPECT_EQ(b.lines[0].strength, QStringLiteral("WK"));
    EXPECT_EQ(b.lines[0].points.size(), 2u);
    EXPECT_EQ(b.lines[1].tool, LineTool::WarmFront);
    ASSERT_EQ(b.lines[1].points.size(), 2u);
    expectAt(b.lines[1].points[1], 52.9, -80.0);
}

// Each refusal names the line and the text at fault; nothing is returned for a bulletin with
// a fault anywhere, even after many good entries.
TEST(BulletinParser, RefusedInputNamesTheLine)
{
    struct Row {
        QByteArray text;
        const char *message;
    };
    const Row rows[] = {
        {"VALID 062818Z\nHIGHS 1022 4485\nCOOL 4485 4590\n$$",
         "Bulletin line 3: unknown keyword \"COOL\""},
        {"VALID 062818Z\nCOLD 4485\n438094 4590\n$$",
         "Bulletin line 3: position group \"438094\" has 6 digits; it must have 4, 5 or 7"},
        {"VALID 062818Z\nCOLD 448 4590\n$$",
         "Bulletin line 2: position group \"448\" has 3 digits; it must have 4, 5 or 7"},
        {"VALID 062818Z\nCOLD 44.5 4590\n$$",
         "Bulletin line 2: \"44.5\" is not a position group of digits"},
        {"HEADER\nHIGHS 1022 4485\n", "The bulletin has no VALID line (VALID MMDDHHZ)"},
        {"", "The bulletin has no VALID line (VALID MMDDHHZ)"},
        {"HEADER\n$$\nVALID 062818Z\n", "Bulletin line 2: the bulletin ends at $$ before its "
                                        "VALID line"},
        {"X\nVALID 062860Z\n$$", "Bulletin line 2: VALID needs a time as MMDDHHZ, found "
                                 "\"062860Z\": there is no hour 60"},
        {"X\nVALID 132818Z\n$$", "Bulletin line 2: VALID needs a time as MMDDHHZ, found "
                                 "\"132818Z\": there is no month 13"},
        {"VALID 0628181\n$$", "Bulletin line 1: VALID needs a time as MMDDHHZ, found "
                              "\"0628181\": it must read MMDDHHZ"},
        // The day is checked against the month; without the year 29 February is allowed.
        {"VALID 023018Z\n$$", "Bulletin line 1: VALID needs a time as MMDDHHZ, found "
                              "\"023018Z\": February has no day 30"},
        {"VALID 043118Z\n$$", "Bulletin line 1: VALID needs a time as MMDDHHZ, found "
                              "\"043118Z\": April has no day 31"},
        {"VALID 060018Z\n$$", "Bulletin line 1: VALID needs a time as MMDDHHZ, found "
                              "\"060018Z\": June has no day 0"},
        // With the year of the issue line, 29 February only in a leap year.
        {"342 PM EST MON FEB 28 2021\nVALID 022918Z\n$$",
         "Bulletin line 2: VALID needs a time as MMDDHHZ, found \"022918Z\": February 2021 "
         "has no day 29"},
        {"VALID\n$$", "Bulletin line 1: VALID needs a time as MMDDHHZ, found nothing"},
        {"VALID 062818Z\nCOLD 4485 4590\nVALID 062900Z\n$$", "Bulletin line 3: a second VALID "
                                                             "line"},
        {"VALID 062818Z\nCOLD 4485 4590\n", "Bulletin line 2: the bulletin ends without $$; it "
                                            "may be cut short"},
        {"VALID 062818Z\n4485 4590\n$$", "Bulletin line 2: \"4485\" comes before any keyword"},
        {"VALID 062818Z\nCOLD 4485 WK 4590\n$$",
         "Bulletin line 2: strength \"WK\" must follow a front keyword"},
        {"VALID 062818Z\nHIGHS WK 1022 4485\n$$",
         "Bulletin line 2: strength \"WK\" must follow a front keyword"},
        {"VALID 062818Z\nTROF\n4485\n$$",
         "Bulletin line 2: TROF has 1 position(s); a line needs at least two"},
        {"VALID 062818Z\nLOWS 1002 3441145 995\n$$",
         "Bulletin line 2: pressure \"995\" is not followed by a position"},
        // In low resolution too: a trailing pressure is not a centre at 10 N 20 W.
        {"VALID 062818Z\nHIGHS 1022 4593 1020\nLOWS 1002 3441\n$$",
         "Bulletin line 2: pressure \"1020\" is not followed by a position"},
        {"VALID 062818Z\nLOWS 1016 4593\n1012\n$$",
         "Bulletin line 3: pressure \"1012\" is not followed by a position"},
        {"VALID 062818Z\nLOWS 1002 3441145 850 3441145\n$$",
         "Bulletin line 2: \"850\" is neither a pressure (870 to 1090 hPa) nor a position group"},
        // In high resolution a lost position leaves a pressure, not a centre near Africa.
        {"VALID 062818Z\nHIGHS 1022 1020 3851069\n$$",
         "Bulletin line 2: pressure \"1022\" is not followed by a position"},
        {"VALID 062818Z\nCOLD 4350947 4401000 4501000\nWARM 4485 4590\n$$",
         "Bulletin line 3: position group \"4485\" does not match the bulletin's other "
         "positions, which have 7 digits (LLLNNNN)"},
        {"VALID 062818Z\nCOLD 4485 4590 4690\nWARM 4350947 4485\n$$",
         "Bulletin line 3: position group \"4350947\" does not match the bulletin's other "
         "positions, which have 4 or 5 digits (LLNN or LLNNN)"},
        // Not text: the byte and its place are named.
        {QByteArray("VALID 062818Z\nCOLD 4485\0 4590\n$$", 32),
         "Bulletin line 2 is not text: byte 0x00 at column 10"},
        {"HEAD\xFF\nVALID 062818Z\n$$", "Bulletin line 1 is not text: byte 0xff at column 5"},
        {"\x89PNG\r\n\x1a\n", "Bulletin line 1 is not text: byte 0x89 at column 1"},
        {"VALID 062818Z\n$$\n\xC3", "Bulletin line 3 is not text: byte 0xc3 at column 1"},
        {"VALID 062818Z\n\xC0\xAF\n$$", "Bulletin line 2 is not text: byte 0xc0 at column 1"},
        {"VALID 062818Z\n\xED\xA0\x80\n$$", "Bulletin line 2 is not text: byte 0xed at column 1"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        EXPECT_EQ(errorOf(row.text), QString::fromUtf8(row.message));
    }
}

TEST(BulletinParser, LineNumbersCountCrLfLinesOnce)
{
    EXPECT_EQ(errorOf("A\r\nB\r\nVALID 062818Z\r\nCOLD 4485 4590\r\nFOO\r\n$$\r\n"),
              QStringLiteral("Bulletin line 5: unknown keyword \"FOO\""));
    EXPECT_EQ(errorOf("A\r\r\nB\r\r\nVALID 062818Z\r\r\nFOO\r\r\n$$\r\r\n"),
              QStringLiteral("Bulletin line 4: unknown keyword \"FOO\""));
}

// A CR alone ends a line, as LF and CR LF do: the entries are read apart, and line numbers
// count every line, blank ones included.
TEST(BulletinParser, CarriageReturnsAloneEndLines)
{
    const Bulletin b = BulletinParser::parse("HEADER\rVALID 062818Z\rHIGHS 1022 4593\r"
                                             "COLD WK 4593 4690\r4790\r$$\r");
    ASSERT_EQ(b.centres.size(), 1u);
    EXPECT_EQ(b.centres[0].pressure, 1022);
    ASSERT_EQ(b.lines.size(), 1u);
    EXPECT_EQ(b.lines[0].strength, QStringLiteral("WK"));
    EXPECT_EQ(b.lines[0].points.size(), 3u);
    EXPECT_EQ(errorOf("A\r\rVALID 062818Z\rCOLD 4485 4590\rFOO\r$$\r"),
              QStringLiteral("Bulletin line 5: unknown keyword \"FOO\""));
    EXPECT_EQ(errorOf(QByteArray("VALID 062818Z\rCOLD 4485\0 4590\r$$", 32)),
              QStringLiteral("Bulletin line 2 is not text: byte 0x00 at column 10"));
}

// The issue line gives the year of the VALID time: the one nearest the issue, so that a
// bulletin issued on New Year's Eve may be valid in January. Without one the year is unknown.
TEST(BulletinParser, YearFromTheIssueLine)
{
    struct Row {
        const char *text;
        std::optional<int> year;
    };
    const Row rows[] = {
        {"CODED SURFACE FRONTAL POSITIONS\n342 PM EDT MON JUN 28 2021\nVALID 062818Z\n$$", 2021},
        {"1000 PM EST FRI DEC 31 2021\nVALID 010100Z\n$$", 2022},
        {"100 AM EST SAT JAN 1 2022\nVALID 123121Z\n$$", 2021},
        {"Issued thu feb 29 2024\nVALID 022900Z\n$$", 2024},
        {"CODED SURFACE FRONTAL POSITIONS\nVALID 062818Z\n$$", std::nullopt},
        // Not a date: the year is unknown rather than guessed.
        {"MON JUN 31 2021\nVALID 062818Z\n$$", std::nullopt},
        {"ISSUED JUN 28 2021 AT NOON\nVALID 062818Z\n$$", std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        const QString fault = errorOf(row.text);
        ASSERT_TRUE(fault.isEmpty()) << fault.toStdString();
        EXPECT_EQ(BulletinParser::parse(row.text).year, row.year);
    }
}

TEST(BulletinParser, TextInTheHeaderMayBeAnyUtf8)
{
    const Bulletin b = BulletinParser::parse("Météo – analyse\nVALID 123100Z\nTROF 4485 4590\n$$");
    EXPECT_EQ(b.valid, QStringLiteral("123100Z"));
    EXPECT_EQ(b.lines.size(), 1u);
}

// Lines are drawn in the listed order: the chart's cold-front triangles stand on the left
// of the drawing direction, and in the sample the cold front runs south-west from the end
// of the occlusion of the low at 54 N 82 W, with the warm air to its south-east.
TEST(BulletinDirection, LeftOfTheListedColdFrontIsSouthEast)
{
    const Bulletin b = parseBody("COLD WK 5384 5187 5089 5092\nWARM WK 5384 5283 5081 4978");
    // The first step in a local frame: x east (shrunk by the cosine of the latitude), y north.
    // Its left is (-dy, dx).
    const auto leftOfFirstStep = [](const Bulletin::Line &line) {
        const GeoPoint a = line.points[0];
        const GeoPoint c = line.points[1];
        const double cosLat = std::cos((a.latitude + c.latitude) / 2 * std::numbers::pi / 180);
        const double east = (c.longitude - a.longitude) * cosLat;
        const double north = c.latitude - a.latitude;
        return std::pair{-north, east}; // (east, north) of the left normal
    };
    const auto [coldEast, coldNorth] = leftOfFirstStep(b.lines[0]);
    EXPECT_GT(coldEast, 0);
    EXPECT_LT(coldNorth, 0);
    // The warm front runs south-east; its semicircles, also on the left, face north-east.
    const auto [warmEast, warmNorth] = leftOfFirstStep(b.lines[1]);
    EXPECT_GT(warmEast, 0);
    EXPECT_GT(warmNorth, 0);
}

// The same through the chart: the listed cold front projected on a view over the Great Lakes
// and drawn with the cold-front tool puts every triangle's apex toward the south-east of its
// base, east and south on the first leg and south where the front turns due west.
TEST(BulletinDirection, DrawnColdFrontTrianglesFaceSouthEast)
{
    const Bulletin b = parseBody("COLD WK 5384 5187 5089 5092");
    const ViewValues view{52, -87, 3, 1000, 1000};
    std::vector<QPointF> knots;
    for (const GeoPoint &p : b.lines[0].points)
        knots.emplace_back(Projection::projectToChart(view, p.latitude, p.longitude));
    RecordingCanvas canvas(1000, 1000);
    ChartSettings settings;
    SegmentRenderer(canvas, settings)
        .drawSegment(LineTool::ColdFront, knots, {QStringLiteral("Black"), QStringLiteral("1")});
    const QStringList triangles = canvas.callsOf({QStringLiteral("polygon")});
    ASSERT_GE(triangles.size(), 3);
    const QRegularExpression point(QStringLiteral(R"(\((-?\d+),(-?\d+)\))"));
    for (const QString &triangle : triangles) {
        SCOPED_TRACE(triangle.toStdString());
        std::vector<QPoint> corners;
        for (const auto &m : point.globalMatch(triangle))
            corners.emplace_back(m.captured(1).toInt(), m.captured(2).toInt());
        ASSERT_EQ(corners.size(), 3u);
        // East is right and south is down on the chart.
        const QPoint apex = corners[2] - (corners[0] + corners[1]) / 2;
        EXPECT_GT(apex.x() + apex.y(), 0);
    }
}
