// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Station models drawn on a real canvas, checked by the pixels in each part of the model.
#include "analysis/StationModel.h"
#include "analysis/PresentWeather.h"
#include "analysis/WindBarb.h"
#include "canvas/RasterCanvas.h"
#include "support/Pixels.h"

#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

using Sky = Observation::Sky;

const ChartColor Green = chartRgb(0, 100, 0);

class StationModelTest : public ::testing::Test
{
protected:
    void draw(const Observation &o, QPoint at, double size = 12, bool south = false)
    {
        StationModel(canvas, settings).draw(o, at, size, south);
    }
    bool inked(QRect area) const { return Pixels::contains(chart.image(), Green, area); }
    bool inked(int x, int y) const { return Pixels::at(chart.image(), x, y) == Green; }

    ChartSettings settings;
    ChartBitmap chart = Pixels::sentinelChart(400, 200);
    RasterCanvas canvas{chart};
};

Observation windFrom(int bearing, double knots)
{
    Observation o;
    o.windDirection = bearing;
    o.windSpeed = knots;
    return o;
}

} // namespace

// A bare station: the circle alone, in the observation colour.
TEST_F(StationModelTest, ModelWithNoValuesDrawsOnlyTheCircle)
{
    draw(Observation(), {10, 10}, 8);
    EXPECT_EQ(Pixels::changedArea(chart.image()), QRect(6, 6, 9, 9));
    EXPECT_EQ(Pixels::art(chart.image().copy(5, 5, 11, 11), {{Green, '#'}}),
              Pixels::rows({"...........", // a twelve-sided figure: 8 pixels across
                            ".....##....", //
                            "...##..#...", //
                            "..#.....#..", //
                            ".#......#..", //
                            ".#.......#.", //
                            "..#......#.", //
                            "..#.....#..", //
                            "...#..##...", //
                            "....##.....", //
                            "..........."}));
}

// One picture of the pieces of the model: the sky cover filled clockwise from the top, the
// barb's feathers clockwise of the shaft in the north and anticlockwise in the south, the
// four numbers in their quadrants and calm as a ring round the station.
TEST_F(StationModelTest, PiecesStandWhereTheModelPutsThem)
{
    const std::pair<Sky, std::array<bool, 4>> covers[] = {
        // Upper right, lower right, lower left, upper left quadrant filled.
        {Sky::Clear, {false, false, false, false}},
        {Sky::Few, {true, false, false, false}},
        {Sky::Scattered, {true, true, false, false}},
        {Sky::Broken, {true, true, true, false}},
        {Sky::Overcast, {true, true, true, true}}};
    for (int i = 0; i < 5; ++i) {
        Observation o;
        o.sky = covers[i].first;
        const int x = 20 + 30 * i;
        draw(o, {x, 20}, 20);
        const QPoint quadrants[] = {{5, -5}, {5, 5}, {-5, 5}, {-5, -5}};
        for (int q = 0; q < 4; ++q)
            EXPECT_EQ(inked(x + quadrants[q].x(), 20 + quadrants[q].y()), covers[i].second[q])
                << i << " " << q;
    }

    // A northerly: the shaft straight up, the feather at its top to the right in the north,
    // to the left in the south.
    draw(windFrom(0, 10), {40, 150});
    draw(windFrom(0, 10), {100, 150}, 12, true);
    EXPECT_TRUE(inked(QRect(40, 120, 1, 20)));
    EXPECT_TRUE(inked(QRect(41, 110, 15, 8)));
    EXPECT_FALSE(inked(QRect(20, 100, 20, 40)));
    EXPECT_TRUE(inked(QRect(85, 110, 15, 8)));
    EXPECT_FALSE(inked(QRect(101, 100, 20, 40)));

    Observation full;
    full.temperature = 21;
    full.dewPoint = 9;
    full.seaLevelPressure = 1013.2;
    full.windSpeed = 0;
    draw(full, {300, 100}, 20);
    EXPECT_TRUE(inked(QRect(250, 60, 35, 30)));  // temperature upper left
    EXPECT_TRUE(inked(QRect(250, 110, 35, 30))); // dew point lower left
    EXPECT_TRUE(inked(QRect(316, 60, 45, 30)));  // pressure upper right
    EXPECT_FALSE(inked(QRect(318, 110, 60, 60)));
    EXPECT_FALSE(inked(QRect(250, 92, 30, 16))); // nothing left of the circle: no weather
    // Calm: a ring of 1.6 radii round the station circle, clear between them.
    EXPECT_TRUE(inked(316, 100) && inked(284, 100) && inked(300, 84));
    EXPECT_FALSE(inked(313, 100) || inked(318, 100));
}

TEST(StationModel, NumbersAsPlotted)
{
    EXPECT_EQ(StationModel::pressureText(1013.2), QStringLiteral("132"));
    EXPECT_EQ(StationModel::pressureText(998.7), QStringLiteral("987"));
    EXPECT_EQ(StationModel::pressureText(1000.04), QStringLiteral("000"));
    EXPECT_EQ(StationModel::temperatureText(21.6, QStringLiteral("C")), QStringLiteral("22"));
    EXPECT_EQ(StationModel::temperatureText(-0.4, QStringLiteral("C")), QStringLiteral("0"));
    EXPECT_EQ(StationModel::temperatureText(20, QStringLiteral("F")), QStringLiteral("68"));
    EXPECT_EQ(StationModel::temperatureText(-40, QStringLiteral("f")), QStringLiteral("-40"));
    EXPECT_GT(StationModel::widthFor(12), 3 * 12);
}

// 65 kt is a pennant, a full and a half barb; 2 kt a bare shaft; 5 kt a half barb set in
// from the tip.
TEST(StationModel, BarbFeathersAddUpToTheSpeedToTheNearestFiveKnots)
{
    const auto count = [](double knots) {
        const WindBarb::Shape s = WindBarb::shape({0, 0}, 270, knots, 5, 40, false);
        return std::pair(s.pennants.size(), s.barbs.size());
    };
    EXPECT_EQ(count(65), std::pair(size_t(1), size_t(2)));
    EXPECT_EQ(count(2), std::pair(size_t(0), size_t(0)));
    EXPECT_EQ(count(12.5), std::pair(size_t(0), size_t(2)));
    EXPECT_EQ(count(100), std::pair(size_t(2), size_t(0)));
    const WindBarb::Shape five = WindBarb::shape({0, 0}, 270, 5, 5, 40, false);
    EXPECT_EQ(five.shaft, (WindBarb::Line{QPoint(-5, 0), QPoint(-40, 0)}));
    EXPECT_GT(five.barbs[0][0].x(), -40);
    EXPECT_LT(five.barbs[0][1].y(), 0); // a westerly's feathers stand north of the shaft
}

TEST(StationModel, MostSignificantWeatherIsChosen)
{
    using K = PresentWeather::Kind;
    EXPECT_EQ(PresentWeather::choose({"BR", "-RA", "+TSRA"}).kind, K::Thunderstorm);
    EXPECT_EQ(PresentWeather::choose({"+TSRA"}).precipitation, K::Rain);
    EXPECT_TRUE(PresentWeather::choose({"SN", "-FZDZ"}).freezing);
    const PresentWeather snow = PresentWeather::choose({"-RA", "SHSN"});
    EXPECT_TRUE(snow.kind == K::Snow && snow.shower);
    EXPECT_EQ(PresentWeather::choose({"-RA", "+RA"}).intensity, PresentWeather::Intensity::Heavy);
    EXPECT_EQ(PresentWeather::choose({"FZFG"}).kind, K::Fog);
    const PresentWeather blowing = PresentWeather::choose({"BLSN", "VCSH"});
    EXPECT_TRUE(blowing.kind == K::Code && blowing.code == QStringLiteral("BLSN"));
    EXPECT_EQ(PresentWeather::choose({}).kind, K::None);
}
