// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The projection's worked values and the great-circle arms of the crosses.
//
// The worked values come from the orthographic projection of the sphere as J. P. Snyder
// gives it in "Map Projections: A Working Manual", USGS Professional Paper 1395 (1987),
// worked out by hand (a pocket calculator, or a few lines of Python with math.sin and
// math.cos), never by running this code. With R = Zoom x ChartWidth, phi0 and lambda0 the
// view centre:
//   x = R cos(phi) sin(lambda - lambda0)
//   y = R (cos(phi0) sin(phi) - sin(phi0) cos(phi) cos(lambda - lambda0))
//   cos c = sin(phi0) sin(phi) + cos(phi0) cos(phi) cos(lambda - lambda0), visible while > 0
// and the chart pixel is (W/2 + x, H/2 - y), rounded half to even. The projection's own
// converted degree (a shade under pi / 180) moves points by a few thousandths of a pixel,
// which matters only where a value is within that of a half or of the rim; those cases say so.
#include "mapgen/Projection.h"
#include "mapgen/GreatCircle.h"
#include "mapgen/MinuteProjection.h"
#include "mapgen/OverlayProjection.h"

#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

struct Worked {
    double latitude, longitude;
    QPoint expected;
};

constexpr int Off = Projection::OffChart;

} // namespace

// Snyder's numerical example for the orthographic projection of the sphere (p. 311): centre
// 40 N 100 W, the point 30 N 110 W gives x = -0.1503837 R, y = -0.1651911 R and
// cos c = 0.9747290. With R = 5000 on a chart 1000 x 1000 that is (500 - 751.9185,
// 500 + 825.9555) = (-251.9185, 1325.9555).
TEST(Projection, SnydersWorkedExample)
{
    EXPECT_EQ(Projection::projectToChart({40, -100, 5, 1000, 1000}, 30, -110), QPoint(-252, 1326));
}

// Chart 800 x 600, Zoom 1 (R = 800), view centre 45 N 100 W; the unrounded pixels follow.
TEST(Projection, WorkedValuesOverNorthAmerica)
{
    const ViewValues view{45, -100, 1, 800, 600};
    const Worked cases[] = {{45, -100, {400, 300}},
                            {55, -100, {400, 161}}, // y = 300 - 800 sin 10 = 161.081
                            {35, -100, {400, 439}}, // y = 300 + 800 sin 10 = 438.919
                            {45, -90, {498, 294}},  // (498.230, 293.923)
                            {-45, 80, {Off, Off}}}; // the antipode: cos c = -1
    for (const Worked &c : cases)
        EXPECT_EQ(Projection::projectToChart(view, c.latitude, c.longitude), c.expected)
            << c.latitude << "," << c.longitude;
}

// Chart 800 x 600, Zoom 0.5 (R = 400), view centre 0 N 0 E: the whole disc just fits the
// width. The North Pole and 90 E lie on the rim itself (cos c = 0), where the formulas leave
// visibility open: the converted degree puts the limit a fraction of a degree east of the
// exact circle, so those two are drawn and 90 W is not.
TEST(Projection, WorkedValuesOfTheWholeDisc)
{
    const ViewValues view{0, 0, 0.5, 800, 600};
    const Worked cases[] = {{0, 0, {400, 300}},       {90, 0, {400, -100}}, {0, 90, {800, 300}},
                            {0, -90, {Off, Off}},     {91, 0, {Off, Off}},  {0, 180.5, {Off, Off}},
                            {-90.0001, 0, {Off, Off}}};
    for (const Worked &c : cases)
        EXPECT_EQ(Projection::projectToChart(view, c.latitude, c.longitude), c.expected)
            << c.latitude << "," << c.longitude;
    // The bounds themselves are valid positions: the North Pole seen from 45 N, at
    // y = 300 - 800 cos 45 = -265.685.
    EXPECT_EQ(Projection::projectToChart({45, -100, 1, 800, 600}, 90, -180), QPoint(400, -266));
    // Y is exactly 300.5 on a chart 601 high: it rounds to the even 300. X would be 401.5 by
    // the formula; the converted degree puts the centre a thousandth of a pixel left of it.
    EXPECT_EQ(Projection::projectToChart({0, 0, 0.5, 803, 601}, 0, 0), QPoint(401, 300));
}

TEST(Projection, FarCoordinatesAreClampedOneByOne)
{
    const ViewValues close{45, -100, 200, 800, 600};
    const QPoint p = Projection::projectToChart(close, 45, -90);
    EXPECT_EQ(p.x(), Off);
    EXPECT_NE(p.y(), Off);
    EXPECT_EQ(Projection::projectToChart({45, -100, 1, 800, 600}, qQNaN(), 0), QPoint(Off, Off));
}

TEST(GreatCircle, pointAtBearing)
{
    const GeoPoint east = GreatCircle::pointAtBearing(0, 0, 90, 30);
    EXPECT_NEAR(east.latitude, 0, 1e-12);
    EXPECT_NEAR(east.longitude, 0.5, 1e-12);
    const GeoPoint west = GreatCircle::pointAtBearing(60, 10, 270, 30);
    EXPECT_NEAR(west.latitude, 59.9962, 5e-5);
    EXPECT_NEAR(west.longitude, 9.00008, 5e-6);
    // Not wrapped: west of the date line stays below -180.
    EXPECT_LT(GreatCircle::pointAtBearing(10, -180, 270, 30).longitude, -180);
    EXPECT_NEAR(GreatCircle::arcSinDeg(0.5), 30, 1e-12);
}

// Views for the table projections: regional, polar, whole globe across the date line, close.
const ViewValues TableViews[] = {{45, -100, 1, 800, 600},
                                 {39, -96, 1.2, 1600, 1200},
                                 {-90, 0, 0.45, 800, 560},
                                 {20.5, 179.9, 0.34, 803, 601},
                                 {0, 0, 8, 800, 600}};

// The table projection of whole minutes gives projectToChart's points to the last pixel.
TEST(MinuteProjection, SameAsProjectToChart)
{
    for (const ViewValues &view : TableViews) {
        const MinuteProjection table(view);
        int compared = 0;
        for (int lat = -5400; lat <= 5400; lat += 7)
            for (int lon = -10800; lon <= 10800; lon += 131, ++compared)
                ASSERT_EQ(table.project(lat, lon),
                          Projection::projectToChart(view, lat / 60.0, lon / 60.0))
                    << lat << " " << lon;
        EXPECT_GT(compared, 200000);
    }
    EXPECT_EQ(MinuteProjection({45, -100, 1, 800, 600}).project(5401, 0), QPoint(Off, Off));
}

// So does the projection of the overlays' hundredths of a degree, west positive, from the
// first time a value is met and after, and out of range.
TEST(OverlayProjection, SameAsProjectToChart)
{
    for (const ViewValues &view : TableViews) {
        OverlayProjection table(view);
        for (int pass = 0; pass < 2; ++pass) {
            for (int lat = -9000; lat <= 9000; lat += 37)
                for (int lon = -18000; lon <= 18000; lon += 53)
                    ASSERT_EQ(table.project(lat, lon),
                              Projection::projectToChart(view, lat / 100.0, -(lon / 100.0)))
                        << lat << " " << lon;
        }
        for (int lat : {-32768, -9001, -9000, 9000, 9001, 32767})
            for (int lon : {-32768, -18001, -18000, 18000, 18001, 32767})
                EXPECT_EQ(table.project(lat, lon),
                          Projection::projectToChart(view, lat / 100.0, -(lon / 100.0)))
                    << lat << " " << lon;
    }
}

// The values worked out are kept for the next projection: two alive at once, for views
// with other centre longitudes, and a third after them, each keep to their own view.
TEST(OverlayProjection, ViewsOneAfterAnotherAndSideBySide)
{
    const ViewValues first{20, -100, 1, 800, 600}, second{-35, 150, 0.5, 640, 480};
    for (int round = 0; round < 2; ++round) {
        OverlayProjection a(first);
        OverlayProjection b(round == 0 ? second : first);
        const ViewValues &bView = round == 0 ? second : first;
        for (int lat = -9000; lat <= 9000; lat += 97)
            for (int lon = -18000; lon <= 18000; lon += 89) {
                ASSERT_EQ(a.project(lat, lon),
                          Projection::projectToChart(first, lat / 100.0, -(lon / 100.0)));
                ASSERT_EQ(b.project(lat, lon),
                          Projection::projectToChart(bView, lat / 100.0, -(lon / 100.0)));
            }
    }
    OverlayProjection c(second);
    for (int lat = -9000; lat <= 9000; lat += 97)
        for (int lon = -18000; lon <= 18000; lon += 89)
            ASSERT_EQ(c.project(lat, lon),
                      Projection::projectToChart(second, lat / 100.0, -(lon / 100.0)));
}

// The position under the cursor: chart points of known positions lead back to them within
// the pixel's own extent, and points off the disc have no position.
TEST(Projection, PositionAtIsTheInverseOnTheVisibleSide)
{
    const ViewValues us{39, -96, 1.2, 1600, 1200};
    const struct {
        double latitude, longitude;
    } places[] = {{39, -96}, {47.6, -122.3}, {25.8, -80.2}, {60, -150}, {10, -179.5}};
    for (const auto &place : places) {
        const QPoint p = Projection::projectToChart(us, place.latitude, place.longitude);
        const auto back = Projection::positionAt(us, p.x(), p.y());
        ASSERT_TRUE(back.has_value()) << place.latitude;
        EXPECT_NEAR(back->latitude, place.latitude, 0.05);
        EXPECT_NEAR(std::remainder(back->longitude - place.longitude, 360.0), 0, 0.05);
    }
    const ViewValues globe{0, 170, 0.34, 400, 400};
    EXPECT_FALSE(Projection::positionAt(globe, 0, 0).has_value());
    // Half a radian either side of the centre on the equator; east of it, across 180 degrees.
    const double offset = 0.34 * 400 * std::sin(0.5);
    const auto west = Projection::positionAt(globe, 200 - offset, 200);
    const auto east = Projection::positionAt(globe, 200 + offset, 200);
    ASSERT_TRUE(west && east);
    EXPECT_NEAR(west->longitude, 170 - 28.65, 0.1);
    EXPECT_NEAR(east->longitude, 170 + 28.65 - 360, 0.1);
    EXPECT_NEAR(east->latitude, 0, 1e-9);
}
