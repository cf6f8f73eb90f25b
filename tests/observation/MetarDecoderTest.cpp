// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Decoding single reports: real reports of the sample feed (tests/observation/data), each value
// worked by hand from the groups, then made-up reports for the groups the sample lacks and for
// the reports that give no observation.
#include "observation/MetarDecoder.h"

#include <gtest/gtest.h>

#include <optional>

using namespace brimlark;

namespace
{

using Sky = Observation::Sky;
constexpr std::nullopt_t none = std::nullopt;
const QDate July2019(2019, 7, 1);

struct Row {
    const char *report;
    const char *station;
    int hour;
    int minute;
    std::optional<int> direction;
    std::optional<double> speed;
    std::optional<double> gust;
    std::optional<double> visibility; // statute miles
    const char *weather;              // the groups joined by blanks
    Sky sky;
    std::optional<double> temperature;
    std::optional<double> dewPoint;
    std::optional<double> seaLevel;
    std::optional<double> altimeter; // hPa
};

// Metres are divided by 1609.344 (9999 counts as 10 km), inHg multiplied by 33.8639, m/s by
// 1.943844. Reports that wrap in the file are joined as the splitter joins them.
const Row SampleReports[] = {
    {"KDAG 011150Z AUTO 26008KT 10SM CLR 24/02 A2995 RMK AO2 SLP111 T02390017 10283 20233 53002",
     "KDAG", 11, 50, 260, 8, none, 10, "", Sky::Clear, 23.9, 1.7, 1011.1, 1014.224},
    // Calm: speed 0 and no direction.
    {"KRCM 011155Z AUTO 00000KT 10SM CLR 21/20 A3005 RMK AO2", "KRCM", 11, 55, none, 0, none, 10,
     "", Sky::Clear, 21, 20, none, 1017.610},
    // No wind, no visibility.
    {"K0CO 011148Z AUTO CLR 05/00 A3063 RMK AO2 PWINO", "K0CO", 11, 48, none, none, none, none, "",
     Sky::Clear, 5, 0, none, 1037.251},
    {"METAR SVMG 011200Z /////KT 9000 DZ OVC010 27/25 Q1013 TEMPO", "SVMG", 12, 0, none, none, none,
     5.5923, "DZ", Sky::Overcast, 27, 25, none, 1013},
    // Two blanks before the sky.
    {"METAR MMPN 011140Z 00000KT 15SM  OVC090 15/14 A3020", "MMPN", 11, 40, none, 0, none, 15, "",
     Sky::Overcast, 15, 14, none, 1022.690},
    {"METAR ZMUB 011200Z VRB02MPS 9999 FEW030CB FEW033 19/07 Q1013 NOSIG RMK QFE653.0 43 MOP",
     "ZMUB", 12, 0, none, 3.8877, none, 6.2137, "", Sky::Few, 19, 7, none, 1013},
    // "A02" in the remarks is no altimeter.
    {"METAR KQEN 011150Z AUTO 25009G17KT 9999 FEW028 18/16 A2978 RMK A02", "KQEN", 11, 50, 250, 9,
     17, 6.2137, "", Sky::Few, 18, 16, none, 1008.467},
    // The gust of the TEMPO trend is a forecast.
    {"METAR EEEI 011150Z 25017KT 9999 BKN030 21/13 Q0999 TEMPO 25017G27KT", "EEEI", 11, 50, 250, 17,
     none, 6.2137, "", Sky::Broken, 21, 13, none, 999},
    {"METAR OAMS 011150Z VRB02KT 9999 SKC 40/04 Q1002 BLU+BLU+", "OAMS", 11, 50, none, 2, none,
     6.2137, "", Sky::Clear, 40, 4, none, 1002},
    // SLP989 is 998.9 hPa, below 1000.
    {"METAR OKAS 011156Z 34013G26KT 300V360 9999 CLR 45/05 A2952 RMK AO2A SLP989 WND DATA ESTMD "
     "T04500051 10461 20404 57012",
     "OKAS", 11, 56, 340, 13, 26, 6.2137, "", Sky::Clear, 45.0, 5.1, 998.9, 999.662},
    {"METAR KSMX 011151Z AUTO 28004KT 5SM BR OVC003 12/12 A3002 RMK AO2 SLP169 T01220117 10133 "
     "20122 55003 $",
     "KSMX", 11, 51, 280, 4, none, 5, "BR", Sky::Overcast, 12.2, 11.7, 1016.9, 1016.594},
    {"KSLK 011151Z AUTO 21005KT 1/4SM FG VV002 14/13 A2999 RMK AO2 SLP151 70043 T01390133 10139 "
     "20094 53002",
     "KSLK", 11, 51, 210, 5, none, 0.25, "FG", Sky::Obscured, 13.9, 13.3, 1015.1, 1015.578},
    {"KCON 011151Z AUTO A2987 RMK AO2 SLPNO 54000 PWINO $", "KCON", 11, 51, none, none, none, none,
     "", Sky::Unknown, none, none, none, 1011.515},
    // T1006: the dew point -0.6 in tenths.
    {"KSNT 011148Z AUTO 00000KT 02/M01 A3022 RMK AO1 SLP158 T00221006", "KSNT", 11, 48, none, 0,
     none, none, "", Sky::Unknown, 2.2, -0.6, 1015.8, 1023.367},
    {"METAR KIGM 011151Z AUTO 00000KT 10SM CLR 17/M03 A3001 RMK AO2 SLP088", "KIGM", 11, 51, none,
     0, none, 10, "", Sky::Clear, 17, -3, 1008.8, 1016.256},
    {"METAR EKAH 011150Z AUTO 26016G29KT 200V290 9999NDV SCT044/// 21/11 Q1008", "EKAH", 11, 50,
     260, 16, 29, 6.2137, "", Sky::Scattered, 21, 11, none, 1008},
    // SHRA and SCT030CB belong to the trend.
    {"METAR EKCH 011150Z 26017KT 230V300 9999 SCT052CB BKN084 21/11 Q1009 TEMPO 26018G28KT SHRA "
     "SCT030CB",
     "EKCH", 11, 50, 260, 17, none, 6.2137, "", Sky::Broken, 21, 11, none, 1009},
    // 0800S is the least visibility towards the south; runway ranges are passed over.
    {"METAR SCEL 011200Z 01002KT 3000 0800S R17L/2000N R17R/2000N BCFG NSC M01/M01 Q1022 NOSIG",
     "SCEL", 12, 0, 10, 2, none, 1.8641, "BCFG", Sky::Clear, -1, -1, none, 1022},
    {"METAR SBMO 011200Z 08002KT 9999 4000SE -RA SCT009 SCT015 BKN080 24/22 Q1017", "SBMO", 12, 0,
     80, 2, none, 6.2137, "-RA", Sky::Broken, 24, 22, none, 1017},
    {"KOVL 011145Z AUTO 00000KT 7SM -RA BKN048 BKN060 OVC070 20/18 A2998 RMK AO2 P0006", "KOVL", 11,
     45, none, 0, none, 7, "-RA", Sky::Overcast, 20, 18, none, 1015.240},
    {"OSKL 011200Z 29012KT CAVOK 36/M04 Q1004", "OSKL", 12, 0, 290, 12, none, 6.2137, "",
     Sky::Clear, 36, -4, none, 1004},
    {"TJIG 011145Z 10006KT 7SM HZ SCT035 29/23 A3009", "TJIG", 11, 45, 100, 6, none, 7, "HZ",
     Sky::Scattered, 29, 23, none, 1018.965},
    {"KJFK 011151Z 01011G18KT 10SM CLR 22/15 A2993 RMK AO2 SLP134 70006 T02170150 10217 20183 "
     "53007 $",
     "KJFK", 11, 51, 10, 11, 18, 10, "", Sky::Clear, 21.7, 15.0, 1013.4, 1013.547},
    {"KRYY 011150Z 29007KT 10SM CLR 24/21 A3006 RMK AO2 SLP899 T02440206 10250 20228 53007 $",
     "KRYY", 11, 50, 290, 7, none, 10, "", Sky::Clear, 24.4, 20.6, 989.9, 1017.949},
    // The dew point is missing, in the body and in the T group.
    {"KBFF 011153Z AUTO 01010KT 10SM CLR 19/ A3007 RMK AO2 SLP133 70010 T0189 10189 20172 53012 $",
     "KBFF", 11, 53, 10, 10, none, 10, "", Sky::Clear, 18.9, none, 1013.3, 1018.287},
    {"KMLU 011153Z 00000KT 1 1/2SM BR BKN002 22/22 A3008 RMK AO2 SLP183 70096 T02220222 10233 "
     "20217 53004",
     "KMLU", 11, 53, none, 0, none, 1.5, "BR", Sky::Broken, 22.2, 22.2, 1018.3, 1018.626},
};

// Groups the sample holds no example of, as the format writes them.
const Row MadeUpReports[] = {
    {"KXYZ 151756Z 18020KMH M1/4SM +TSRAGR VCFG BKN008CB OVC020 M05/M07 Q0987", "KXYZ", 17, 56, 180,
     10.7991, none, 0.25, "+TSRAGR VCFG", Sky::Overcast, -5, -7, none, 987},
    {"KXYZ 151756Z 22035G50KMH P6SM FZDZ FEW010 05/M02 A2992", "KXYZ", 17, 56, 220, 18.8985,
     26.9979, 6, "FZDZ", Sky::Few, 5, -2, none, 1013.208},
    {"SPECI KXYZ 151756Z 36005KT 3SM VCSH SCT030 NCD 10/09 A3000", "KXYZ", 17, 56, 360, 5, none, 3,
     "VCSH", Sky::Scattered, 10, 9, none, 1015.917},
};

void expectNear(std::optional<double> actual, std::optional<double> expected, const char *what)
{
    ASSERT_EQ(actual.has_value(), expected.has_value()) << what;
    if (expected) {
        EXPECT_NEAR(*actual, *expected, 0.001) << what;
    }
}

void expectRow(const Row &row, QDate month)
{
    SCOPED_TRACE(row.report);
    const std::optional<Observation> o =
        MetarDecoder::decode(QString::fromLatin1(row.report), month);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->station, QLatin1String(row.station));
    EXPECT_EQ(o->time.time(), QTime(row.hour, row.minute));
    EXPECT_EQ(o->time.timeSpec(), Qt::UTC);
    EXPECT_EQ(o->windDirection, row.direction);
    expectNear(o->windSpeed, row.speed, "speed");
    expectNear(o->gust, row.gust, "gust");
    expectNear(o->visibility, row.visibility, "visibility");
    EXPECT_EQ(o->weather.join(u' '), QLatin1String(row.weather));
    EXPECT_EQ(o->sky, row.sky);
    expectNear(o->temperature, row.temperature, "temperature");
    expectNear(o->dewPoint, row.dewPoint, "dew point");
    expectNear(o->seaLevelPressure, row.seaLevel, "sea-level pressure");
    expectNear(o->altimeter, row.altimeter, "altimeter");
    EXPECT_FALSE(o->correction);
}

} // namespace

TEST(MetarDecoder, SampleReports)
{
    for (const Row &row : SampleReports)
        expectRow(row, July2019);
}

TEST(MetarDecoder, MadeUpReports)
{
    for (const Row &row : MadeUpReports)
        expectRow(row, QDate(2024, 2, 1));
}

// The day comes from the report, the year and month from the caller.
TEST(MetarDecoder, TimeIsTheReportsDayOfTheMonthGiven)
{
    const auto o = MetarDecoder::decode(u"KDEN 290553Z 00000KT", QDate(2024, 2, 10));
    ASSERT_TRUE(o);
    EXPECT_EQ(o->time, QDateTime(QDate(2024, 2, 29), QTime(5, 53), Qt::UTC));
}

TEST(MetarDecoder, NoObservation)
{
    const char *reports[] = {
        "METAR HLLT NIL=",         // NIL without a time
        "METAR MSSS 011150Z NIL=", // NIL after the time
        "KDEN 00000KT 10SM",       // no time
        "KDEN 011150 00000KT",     // time without Z
        "KDEN 290553Z 00000KT",    // no 29 February in 2019
        "KDEN 012460Z 00000KT",    // hour 24
        "KDEN 011261Z 00000KT",    // minute 61
        "011150Z KDEN 00000KT",    // station after the time
        "K-EN 011150Z 00000KT",    // not a station id
        "",                        //
        "=KDEN 011150Z 00000KT",   // all after the end mark
    };
    for (const char *report : reports)
        EXPECT_FALSE(MetarDecoder::decode(QString::fromLatin1(report), QDate(2019, 2, 1)))
            << report;
}

TEST(MetarDecoder, CorrectionFlag)
{
    const char *reports[] = {"METAR COR KDEN 011153Z 00000KT", "KDEN 011153Z COR 00000KT",
                             "SPECI KDEN 011153Z CCA 00000KT"};
    for (const char *report : reports) {
        const auto o = MetarDecoder::decode(QString::fromLatin1(report), July2019);
        ASSERT_TRUE(o) << report;
        EXPECT_TRUE(o->correction) << report;
        EXPECT_EQ(o->windSpeed, 0) << report;
    }
}

// The text kept is the report as decoded: blanks made single, nothing from "=" on.
TEST(MetarDecoder, KeepsTheReportText)
{
    const auto o =
        MetarDecoder::decode(u"METAR BKPR 011200Z 10004KT CAVOK  31/09\n Q1021 NOSIG =", July2019);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->report, u"METAR BKPR 011200Z 10004KT CAVOK 31/09 Q1021 NOSIG");
    EXPECT_EQ(o->altimeter, 1021);
}

// Broken groups are passed over, and the groups after them still count.
TEST(MetarDecoder, SkipsGroupsItCannotDecode)
{
    const auto o = MetarDecoder::decode(u"KDEN 011153Z 99999KT 2701234KT /SM 1/0SM XYZ - +FOO FEW1 "
                                        u"Q10 A1 T/12 M5/M3 06012KT 5SM OVC010 12/10 A2992 RMK "
                                        u"SLP12 SLP1234 T2234",
                                        July2019);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->windDirection, 60);
    EXPECT_EQ(o->windSpeed, 12);
    EXPECT_EQ(o->visibility, 5);
    EXPECT_TRUE(o->weather.isEmpty());
    EXPECT_EQ(o->sky, Sky::Overcast);
    EXPECT_EQ(o->temperature, 12);
    EXPECT_EQ(o->dewPoint, 10);
    EXPECT_NEAR(*o->altimeter, 1013.208, 0.001);
    EXPECT_EQ(o->seaLevelPressure, std::nullopt);
}
