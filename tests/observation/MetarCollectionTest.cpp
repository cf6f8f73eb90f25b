// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Files of reports: the sample feed with every quirk of its layout, repeats and corrections,
// line ends and framing marks, and files that are refused.
#include "observation/MetarCollection.h"
#include "base/ChartError.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

using namespace brimlark;

namespace
{

const QDate July2019(2019, 7, 1);

MetarCollection sample()
{
    return MetarCollection::read(
        QStringLiteral(BRIMLARK_OBSERVATIONS_DIR "/metar_20190701_1200_head.txt"), July2019);
}

const Observation &find(const MetarCollection &c, const char *station)
{
    const auto found = std::find_if(c.observations.begin(), c.observations.end(),
                                    [&](const Observation &o) { return o.station == station; });
    if (found == c.observations.end())
        throw std::runtime_error(station);
    return *found;
}

QString errorOf(const QByteArray &bytes)
{
    try {
        MetarCollection::parse(bytes, July2019);
    } catch (const ChartError &e) {
        return e.message();
    }
    return {};
}

} // namespace

// The counts of the data's README (tests/observation/data/README.md).
TEST(MetarCollection, SampleCounts)
{
    const MetarCollection c = sample();
    EXPECT_EQ(c.reports, 873);
    EXPECT_EQ(c.nil, 3);
    EXPECT_EQ(c.observations.size(), 673u);
    EXPECT_EQ(c.duplicates, 197);
    EXPECT_EQ(c.malformed, 0);
    EXPECT_EQ(c.replaced, 0);
    EXPECT_EQ(c.conflicting, 0);
    for (const Observation &o : c.observations)
        EXPECT_EQ(o.time.date(), July2019) << o.report.toStdString();
}

// Reports whose layout in the sample is unusual, whole and not glued to their neighbours.
TEST(MetarCollection, SampleQuirks)
{
    const MetarCollection c = sample();
    // Continuation indented by one blank after a blank line; the next bulletin's number ends it.
    EXPECT_EQ(find(c, "PKMR").seaLevelPressure, 1010.7);
    // No "=", then a blank, a sequence number and a heading.
    EXPECT_EQ(find(c, "PTRO").report, u"METAR PTRO 011150Z 02003KT 15SM FEW016 BKN300 27/24 A2984");
    // "NOSIG=" alone on the next line, not indented.
    EXPECT_EQ(find(c, "MHLC").report,
              u"METAR MHLC 011200Z 06002KT 9999 FEW028 BKN200 22/22 Q1011 A2986 NOSIG");
    // Temperature and QNH on a continuation that is not indented.
    EXPECT_EQ(find(c, "SCEL").temperature, -1);
    EXPECT_EQ(find(c, "SCEL").altimeter, 1022);
    // The free-text "RMKS CB ASSW SH ..." line after it is no part of it.
    EXPECT_EQ(find(c, "AGGH").report,
              u"METAR AGGH 011200Z 25003KT 9999 FEW015 FEW017CB BKN030 25/24 Q1011");
    EXPECT_EQ(find(c, "BKPR").report, u"METAR BKPR 011200Z 10004KT CAVOK 31/09 Q1021 NOSIG");
    EXPECT_EQ(find(c, "KIPJ").temperature, 21.2);
}

TEST(MetarCollection, LayoutsOfFeeds)
{
    const QByteArray text = "\x01\r\r\n123 \r\r\nSAUS70 KWBC 011200 RRA\r\r\nMETAR\r\r\n"
                            "KAAA 011150Z 27010KT 10SM CLR 20/10 A3000 RMK\r\r\n"
                            "      SLP155=\r\r\n\x03"
                            "KBBB 011150Z NIL=\n"
                            "SPECI KCCC 011210Z 18005KT 5SM BR OVC005 12/11 A2990\n"
                            "TTFLD\n"
                            "KDDD 011150Z 00000KT";
    const MetarCollection c = MetarCollection::parse(text, July2019);
    ASSERT_EQ(c.observations.size(), 3u);
    EXPECT_EQ(c.observations[0].seaLevelPressure, 1015.5);
    EXPECT_EQ(c.observations[1].station, u"KCCC");
    EXPECT_EQ(c.observations[1].report.right(5), u"A2990");
    EXPECT_EQ(c.observations[2].windSpeed, 0);
    EXPECT_EQ(c.nil, 1);
    EXPECT_EQ(c.reports, 4);
}

// A repeat, with and without METAR, is dropped; a correction replaces the report before it,
// another report of the same station and time does not.
TEST(MetarCollection, RepeatsCorrectionsAndConflicts)
{
    const QByteArray text = "KAAA 011150Z 27010KT 20/10=\n"
                            "METAR KAAA 011150Z 27010KT 20/10=\n"
                            "KAAA 011150Z COR 27012KT 20/10=\n"
                            "KAAA 011150Z 27015KT 20/10=\n"
                            "KAAA 011250Z 27020KT 20/10=\n"
                            "KAAA 011150 MALFORMED\n"
                            "METAR KBBB 321150Z 27010KT=\n";
    const MetarCollection c = MetarCollection::parse(text, July2019);
    ASSERT_EQ(c.observations.size(), 2u);
    EXPECT_EQ(c.observations[0].windSpeed, 12);
    EXPECT_TRUE(c.observations[0].correction);
    EXPECT_EQ(c.observations[1].windSpeed, 20);
    EXPECT_EQ(c.duplicates, 1);
    EXPECT_EQ(c.replaced, 1);
    EXPECT_EQ(c.conflicting, 1);
    EXPECT_EQ(c.malformed, 1); // day 32; the line without Z is no report at all
    EXPECT_EQ(c.reports, 6);
    EXPECT_EQ(c.summary(), u"2 observations from 6 reports (1 repeated, 0 NIL, 1 malformed, "
                           u"1 corrected, 1 conflicting)");
}

TEST(MetarCollection, RefusesWhatIsNoFeed)
{
    const struct {
        QByteArray bytes;
        const char *message;
    } rows[] = {
        {QByteArray("KAAA 011150Z 27010KT\n\0\n", 23),
         "The observations are not text: byte 0x00 on line 2"},
        {"KAAA 011150Z\n\x1b[0m", "The observations are not text: byte 0x1b on line 2"},
        {"KAAA 011150Z \xff\xfe", "The observations are not text: they are not UTF-8"},
        {"", "The file holds no METAR or SPECI report"},
        {"001\nSAUS70 KWBC 011200\nMETAR\n\nTX_OPMET\n", "The file holds no METAR or SPECI report"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(errorOf(row.bytes), QLatin1String(row.message)) << row.message;
}

TEST(MetarCollection, ReadNamesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("feed.txt"));
    try {
        MetarCollection::read(path, July2019);
        FAIL();
    } catch (const ChartError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file %1: ").arg(path)))
            << e.message().toStdString();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("SAUS70 KWBC 011200\n");
    file.close();
    try {
        MetarCollection::read(path, July2019);
        FAIL();
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Cannot open file %1: The file holds no METAR or SPECI report")
                      .arg(path));
    }
}
