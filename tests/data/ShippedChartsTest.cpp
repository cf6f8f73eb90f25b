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
