// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The shipped land outlines drawn from every view: known open-ocean points stay ocean and
// known inland points are land, wherever the view centre lies on the globe.
#include "canvas/RasterCanvas.h"
#include "mapgen/Projection.h"
#include "mapgen/VectorMapFile.h"
#include "support/Pixels.h"
#include "support/RecordingProgress.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace brimlark;

namespace
{

constexpr ChartColor Ocean = 0x00FF0000;
constexpr ChartColor Land = 0x0000FF00;
constexpr ChartColor Coast = 0x000000FF;

struct KnownPlace {
    const char *name;
    double latitude, longitude;
    bool land;
};

// Each at least five degrees from any coast, lake or island in the map data.
constexpr KnownPlace Places[] = {
    {"North Pacific", 40, 165, false},
    {"tropical Pacific", 10, -140, false},
    {"South Pacific", -55, -120, false},
    {"North Atlantic", 30, -40, false},
    {"tropical Atlantic", 15, -35, false},
    {"South Atlantic", -30, -20, false},
    {"Indian Ocean", -20, 80, false},
    {"south-east Indian Ocean", -35, 100, false},
    {"Arctic Ocean", 87, 100, false},
    {"Sahara", 20, 15, true},
    {"Siberia", 60, 100, true},
    {"Amazon", -10, -55, true},
    {"central Australia", -25, 133, true},
    {"Great Plains", 40, -100, true},
    {"Antarctic plateau", -80, 30, true},
    {"South Pole", -88, 0, true},
    {"Greenland ice sheet", 73.7, -41.3, true},
    {"Congo", 0, 25, true},
    {"Poland", 50, 20, true},
    {"Pampas", -35, -65, true},
    {"Arabia", 25, 45, true},
    {"central China", 30, 110, true},
};

// How far a place must lie inside the visible disc to be judged: the orthographic squeeze
// near the rim would bring a coast five degrees away within a pixel or two.
constexpr double LeastHeight = 0.3;

class LandAndOceanTest : public ::testing::TestWithParam<double>
{
protected:
    // The land layer alone, with a coast pen of its own colour.
    void drawLand(const ViewValues &view)
    {
        chart = Pixels::sentinelChart(view.chartWidth, view.chartHeight);
        RasterCanvas canvas(chart);
        canvas.setBrushColor(Ocean);
        canvas.setPenColor(Ocean);
        canvas.rectangle(0, 0, view.chartWidth, view.chartHeight);
        canvas.setBrushColor(Land);
        canvas.setPenColor(Coast);
        VectorMapFile(canvas, view, progress)
            .drawMapFile(QStringLiteral(BRIMLARK_DATA_DIR "/map.gin"), true);
    }
    // Wrong colours at the places that lie well inside the disc and on the chart.
    QStringList misjudgedPlaces(const ViewValues &view) const
    {
        QStringList wrong;
        const Projection::ViewAngles angles = Projection::anglesOf(view);
        for (const KnownPlace &place : Places) {
            const double phi = Projection::converted(place.latitude);
            const double delta = Projection::deltaOf(view, place.longitude);
            const Projection::Terms terms = Projection::termsOf(
                angles, std::sin(phi), std::cos(phi), std::sin(delta), std::cos(delta));
            const QPoint p = Projection::projectToChart(view, place.latitude, place.longitude);
            if (-terms.v < LeastHeight || !chart.image().rect().adjusted(1, 1, -1, -1).contains(p))
                continue;
            // Land outlines are cut into pieces along meridians and parallels, and the coast
            // pen strokes those cuts too: inland, either colour is land.
            const ChartColor colour = Pixels::at(chart.image(), p.x(), p.y());
            if (place.land ? colour == Ocean : colour != Ocean)
                wrong << QString::fromLatin1(place.name);
        }
        return wrong;
    }

    ChartBitmap chart;
    RecordingProgress progress;
};

} // namespace

// Every view centre on a ten-degree grid. Land outlines that ran behind the globe around the
// centre's antipode (Eurasia seen from New Zealand) once turned the whole ocean into land.
TEST_P(LandAndOceanTest, EveryViewCentreShowsOceanAndLandWhereTheyAre)
{
    const double zoom = GetParam();
    int judged = 0;
    for (int latitude = -90; latitude <= 90; latitude += 10) {
        for (int longitude = -180; longitude < 180; longitude += 10) {
            const ViewValues view{double(latitude), double(longitude), zoom, 240, 180};
            drawLand(view);
            const QStringList wrong = misjudgedPlaces(view);
            EXPECT_TRUE(wrong.isEmpty()) << "centre " << latitude << "," << longitude << ": "
                                         << wrong.join(QStringLiteral(", ")).toStdString();
            ++judged;
        }
    }
    EXPECT_EQ(judged, 19 * 36);
}

// The whole globe in view, and a regional view where the disc overfills the chart.
INSTANTIATE_TEST_SUITE_P(Zooms, LandAndOceanTest, ::testing::Values(0.34, 1.2));
