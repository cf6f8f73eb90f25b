// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Whole charts of the shipped map data: water in the lakes, land on the islands in them,
// counties only at a scale they can be read, and the charts of the classic drawing rules
// unchanged when LakeFill and CountyScaleAware are off.
#include "canvas/RasterCanvas.h"
#include "mapgen/MapGenerator.h"
#include "mapgen/Projection.h"
#include "support/Pixels.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

using S = ChartSettings;

class SilentProgress : public GenerationProgress
{
public:
    void status(const QString &) override {}
    void lineDone() override {}
    void setBusy(bool) override {}
};

const ViewValues UnitedStates{39, -96, 1.2, 1600, 1200};
const ViewValues WholeGlobeOverAmerica{40, -95, 0.45, 800, 600};
const ViewValues WholeGlobeOverAfrica{20, 0, 0.45, 800, 600};
const ViewValues Eurasia{50, 40, 0.9, 800, 600};

class ShippedChartsTest : public ::testing::Test
{
protected:
    QImage generate(const ViewValues &view)
    {
        ChartBitmap chart;
        RasterCanvas canvas(chart);
        SilentProgress progress;
        const Workspace data{QStringLiteral(BRIMLARK_DATA_DIR)};
        MapGenerator(chart, canvas, settings, data, progress).generateMap(view);
        return chart.image();
    }
    static ChartColor colourAt(const QImage &chart, const ViewValues &view, double latitude,
                               double longitude)
    {
        const QPoint p = Projection::projectToChart(view, latitude, longitude);
        return Pixels::at(chart, p.x(), p.y());
    }
    // SHA-1 of the red, green and blue bytes of every pixel, rows from the top.
    static QByteArray pixelHash(const QImage &chart)
    {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (int y = 0; y < chart.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(chart.constScanLine(y));
            for (int x = 0; x < chart.width(); ++x) {
                const char rgb[] = {char(qRed(row[x])), char(qGreen(row[x])), char(qBlue(row[x]))};
                hash.addData(QByteArrayView(rgb, 3));
            }
        }
        return hash.result().toHex();
    }

    S settings;
};

struct Place {
    const char *name;
    double latitude, longitude;
};

// Open water of each lake, clear of shores and of the borders through the lakes on these
// views (checked on the charts).
constexpr Place AmericanLakes[] = {
    {"Lake Superior", 47.6, -87.0}, {"Lake Superior west", 47.3, -89.5},
    {"Lake Michigan", 44.0, -87.0}, {"Lake Huron", 44.8, -82.4},
    {"Lake Erie", 42.2, -81.2},     {"Lake Ontario", 43.6, -77.9},
    {"Lake Winnipeg", 52.5, -97.8}, {"Great Salt Lake", 41.1, -112.5}};
constexpr Place LakeIslands[] = {{"Isle Royale", 48.0, -88.9},
                                 {"Manitoulin Island", 45.7, -82.3},
                                 {"Drummond Island", 46.0, -83.7}};
constexpr Place EurasianLakes[] = {
    {"Caspian Sea", 42.0, 50.5}, {"Lake Ladoga", 60.8, 31.5}, {"Lake Onega", 61.7, 35.5}};

} // namespace

TEST_F(ShippedChartsTest, LakesAreWaterAndTheirIslandsLand)
{
    const QImage us = generate(UnitedStates);
    for (const Place &lake : AmericanLakes)
        EXPECT_EQ(colourAt(us, UnitedStates, lake.latitude, lake.longitude),
                  settings.color(S::OceanColor))
            << lake.name;
    for (const Place &island : LakeIslands)
        EXPECT_EQ(colourAt(us, UnitedStates, island.latitude, island.longitude),
                  settings.color(S::LandmassColor))
            << island.name;
    const QImage eurasia = generate(Eurasia);
    for (const Place &lake : EurasianLakes)
        EXPECT_EQ(colourAt(eurasia, Eurasia, lake.latitude, lake.longitude),
                  settings.color(S::OceanColor))
            << lake.name;
}

TEST_F(ShippedChartsTest, LakesOnLandColourWithLakeFillOff)
{
    settings.setOn(S::LakeFill, false);
    const QImage us = generate(UnitedStates);
    for (const Place &lake : AmericanLakes)
        EXPECT_EQ(colourAt(us, UnitedStates, lake.latitude, lake.longitude),
                  settings.color(S::LandmassColor))
            << lake.name;
}

TEST_F(ShippedChartsTest, WholeGlobeShowsNoCountiesUnlessCountyScaleAwareIsOff)
{
    const ChartColor county = settings.color(S::CountyColor);
    EXPECT_FALSE(Pixels::contains(generate(WholeGlobeOverAmerica), county));
    EXPECT_TRUE(Pixels::contains(generate(UnitedStates), county));
    settings.setOn(S::CountyScaleAware, false);
    EXPECT_TRUE(Pixels::contains(generate(WholeGlobeOverAmerica), county));
}

// Golden charts: the SHA-1 of the pixels (see pixelHash) of the same views drawn with the
// default preferences by brimlark-render built from the commit before LakeFill and
// CountyScaleAware existed (6963a42), computed with a small Python reader of its BMP output.
// With both switches off every pixel must be as it was. Zero tolerance.
TEST_F(ShippedChartsTest, BothSwitchesOffDrawTheChartsAsBefore)
{
    settings.setOn(S::LakeFill, false);
    settings.setOn(S::CountyScaleAware, false);
    struct Golden {
        const char *name;
        ViewValues view;
        const char *sha1;
    };
    const Golden charts[] = {
        {"United States", UnitedStates, "207751a583c051e17962813daa845af094647a03"},
        {"globe over America", WholeGlobeOverAmerica, "382fa15065d12586dd5078b21e68c3f8ea13a7ba"},
        {"globe over Africa", WholeGlobeOverAfrica, "4076e57b16bf58a780a55d69ab058c86037b0be2"},
        {"Eurasia", Eurasia, "90cb92cb737b02e7db41867346a34e39e240bd5f"}};
    for (const Golden &golden : charts)
        EXPECT_EQ(pixelHash(generate(golden.view)), QByteArray(golden.sha1)) << golden.name;
}

// Golden charts of today's drawing rules: the SHA-1 of the pixels (see pixelHash) of views
// from the whole globe to close-ups at zoom 60, with the default preferences and with the
// pens, layers and switches that decide how the coast, lake and island lines are drawn
// ("Name=value" as in the registry), computed with brimlark-render at afc681f (before the
// coast lines came from the land outlines and the shores from the lake fill) and the Python
// reader of its BMP output. Zero tolerance.
TEST_F(ShippedChartsTest, ChartsOfManyViewsAndPensAsBefore)
{
    struct Golden {
        ViewValues view;
        const char *settings;
        const char *sha1;
    };
    const Golden charts[] = {
        {{39, -96, 1.2, 1600, 1200}, "", "2cf4c429f3fb978dd7e124c74d7a05c0becdfede"},
        {{39, -96, 1.2, 1600, 1200}, "CoastWidth=1", "8c4c9f960cf0c0ab0862d9d905afd6f209956465"},
        {{39, -96, 1.2, 1600, 1200},
         "InternationalWidth=3 CoastWidth=1",
         "2c618711f46dd5a397da492dd340694809fbf822"},
        {{39, -96, 1.2, 1600, 1200}, "Coast=0", "bdc7ebbedf0da44d452a943b34f36bc7f4780b7a"},
        {{39, -96, 1.2, 1600, 1200}, "International=0", "39b03b275b19310b6c65514c0d3f8e67164bf66a"},
        {{39, -96, 1.2, 1600, 1200},
         "LakeWidth=3 IslandWidth=2 CoastWidth=5 River=1",
         "f0480fae4bc3f1b90742ddbfeb8b4bb333152ab9"},
        {{39, -96, 1.2, 1600, 1200},
         "LakeFill=0 River=1",
         "30a56fc35a186712d3f2956ece7e0bcee8f887c9"},
        {{39, -96, 1.2, 1600, 1200},
         "Island=0 CoastWidth=1",
         "1f8fa856738ce15a9f5b20dceb850525ddea90b8"},
        {{39, -96, 1.2, 1600, 1200}, "Lake=0", "c9644718ee1c2b2d4a14a9aa5f83f2b1e102fd3f"},
        {{40, -95, 0.45, 800, 600}, "", "62ca6879f8e07ff715ca98f4ca0440c5c7ce81c1"},
        {{40, -95, 0.45, 800, 600}, "CoastWidth=1", "0429ad0a2c1eb7afa350d67b9d30d9111ba58766"},
        {{40, -95, 0.45, 800, 600},
         "InternationalWidth=3 CoastWidth=1",
         "adf230915a2441ba09be666f12ce909d67de2646"},
        {{40, -95, 0.45, 800, 600},
         "LakeWidth=3 IslandWidth=2 CoastWidth=5 River=1",
         "bbae426cb8136afca04cbd49068cfc969636b503"},
        {{20, 0, 0.45, 1600, 1200}, "", "e1fc1c06553fec75f18c725c4d764c36decedd9c"},
        {{20, 0, 0.45, 1600, 1200}, "CoastWidth=1", "9e30d6c737e57ef4f61498149a31a54d2f6ea3d9"},
        {{20, 0, 0.45, 1600, 1200},
         "InternationalWidth=3 CoastWidth=1",
         "1f8f0e531ce94a55cca2ea8c655cf192562c1372"},
        {{20, 0, 0.45, 1600, 1200}, "Coast=0", "cd4dd02ac68c4b3baa6941cd501d426c88d38099"},
        {{20, 0, 0.45, 1600, 1200}, "International=0", "71816836febd73090089b32d60f915af0c428c71"},
        {{20, 0, 0.45, 1600, 1200},
         "LakeWidth=3 IslandWidth=2 CoastWidth=5 River=1",
         "9aa5255b2302f75369b3b585465a2d3cde66c490"},
        {{20, 0, 0.45, 1600, 1200},
         "LakeFill=0 River=1",
         "382ee20dfdd0d9feed1ddd5399518b7337380d09"},
        {{20, 0, 0.45, 1600, 1200},
         "Island=0 CoastWidth=1",
         "47be57585325b7569cae662e3717a3c10df698af"},
        {{20, 0, 0.45, 1600, 1200}, "Lake=0", "d77b7a47ce61269f22ec412982c3aac6df209cc3"},
        {{50, 40, 0.9, 800, 600}, "", "01e62b22c05fec5eeb047063eba4c17eaac3c76b"},
        {{50, 40, 0.9, 800, 600}, "CoastWidth=1", "ec0a3db8d8998023f312a497b42befeb772cccd1"},
        {{50, 40, 0.9, 800, 600},
         "InternationalWidth=3 CoastWidth=1",
         "e68406eed6344070071e4bbd1f52e2e1c36dc629"},
        {{50, 40, 0.9, 800, 600},
         "LakeWidth=3 IslandWidth=2 CoastWidth=5 River=1",
         "7bd9f84d202bd9b843ba4b59769bf13d781e47a7"},
        {{-41, 174, 0.45, 480, 360}, "", "0159d99947c60ff516ce70fc75a6068dd0d33548"},
        {{-41, 174, 0.45, 480, 360}, "CoastWidth=1", "cb1436ad244d49be378c93976cc713e9213ff67b"},
        {{-41, 174, 0.45, 480, 360},
         "InternationalWidth=3 CoastWidth=1",
         "a1ef659111d7a8d27c935d8e8273569c1a20002a"},
        {{-41, 174, 0.45, 480, 360},
         "LakeWidth=3 IslandWidth=2 CoastWidth=5 River=1",
         "43678fa543e80dcbee64a373a097df28b5267669"},
        {{90, 0, 0.45, 400, 300}, "", "fffbd0adac4d7a19165ffc030d4c435a93b8db60"},
        {{90, 0, 0.45, 400, 300}, "CoastWidth=1", "4e589809df6f2f16703bbf6f4f80ed61b5e986fa"},
        {{90, 0, 0.45, 400, 300},
         "InternationalWidth=3 CoastWidth=1",
         "46ddc081d2e68e0a75e706dd49db72cf810ba72e"},
        {{90, 0, 0.45, 400, 300},
         "LakeWidth=3 IslandWidth=2 CoastWidth=5 River=1",
         "b90dd37eb55a84f117e37b5fee837aef0c4053b7"},
        {{0, 180, 2, 400, 300}, "", "56117bb19359c3449f0cfa9b5523d4b021c0eb0f"},
        {{0, 180, 2, 400, 300}, "CoastWidth=1", "8412d725da163568b3b9226be72cc8ac0102ba65"},
        {{0, 180, 2, 400, 300},
         "InternationalWidth=3 CoastWidth=1",
         "94ffe0b672cc42f7000816b0154073b0b59f48fb"},
        {{0, 180, 2, 400, 300},
         "LakeWidth=3 IslandWidth=2 CoastWidth=5 River=1",
         "d2259fbfc4d00a12bde8c8d2449e4edd31eaba68"},
        {{44, -84, 40, 640, 480}, "", "5eda2d09355868f02e146db543baa52f43461ca2"},
        {{44, -84, 40, 640, 480}, "CoastWidth=1", "5eda2d09355868f02e146db543baa52f43461ca2"},
        {{44, -84, 40, 640, 480},
         "InternationalWidth=3 CoastWidth=1",
         "5eda2d09355868f02e146db543baa52f43461ca2"},
        {{44, -84, 40, 640, 480},
         "LakeWidth=3 IslandWidth=2 CoastWidth=5 River=1",
         "bb34916b252a93bc3bbcce8989e165825990b0b6"},
        {{-35, 20, 60, 320, 240}, "", "c60e06ca2f09d0fff95c8fc152eec89acd748f1f"},
        {{-35, 20, 60, 320, 240}, "CoastWidth=1", "14ae0fb68888ccbb159aec3e1e7baf971ce88a9a"},
        {{-35, 20, 60, 320, 240},
         "InternationalWidth=3 CoastWidth=1",
         "83fcb973d0bcdc9c1bc83226cfe32c65dcb7d633"},
        {{-35, 20, 60, 320, 240},
         "LakeWidth=3 IslandWidth=2 CoastWidth=5 River=1",
         "9864506beb1bcf0becc60b71a63386f235515432"},
        {{65, -170, 3, 400, 300}, "", "7386ad5dc941700f08d906bf85329f1ca4720f32"},
        {{65, -170, 3, 400, 300}, "CoastWidth=1", "717e46df098b51d48adb303b396a239b030ca75f"},
        {{65, -170, 3, 400, 300},
         "InternationalWidth=3 CoastWidth=1",
         "846d3d33091cc746972a6d03bd21abaab322de4a"},
        {{65, -170, 3, 400, 300},
         "LakeWidth=3 IslandWidth=2 CoastWidth=5 River=1",
         "fdd3416ca8dc0c5df4d3c015fa6c9a2b4ec34be6"},
        {{39, -96, 1.2, 1600, 1200},
         "Highway=1 CountyScaleAware=0 CountyWidth=2",
         "b74b8b44e243d11c6b7fa7ccb5089c1939487512"},
        {{20, 0, 0.45, 1600, 1200},
         "Highway=1 CountyScaleAware=0 CountyWidth=2",
         "75b2c012d858f662fb4fc0b77e646967b5690652"},
    };
    for (const Golden &golden : charts) {
        settings = S();
        const QString values = QLatin1String(golden.settings);
        for (const QString &value : values.split(u' ', Qt::SkipEmptyParts))
            settings.setStoredText(S::Id(S::find(value.section(u'=', 0, 0))),
                                   value.section(u'=', 1));
        const ViewValues &v = golden.view;
        EXPECT_EQ(pixelHash(generate(v)), QByteArray(golden.sha1))
            << v.centerLat << "," << v.centerLon << " zoom " << v.zoom << " " << v.chartWidth << "x"
            << v.chartHeight << " " << golden.settings;
    }
}
