// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The world file and .prj beside a chart place its pixels where the program's own inverse
// projection puts them, checked with the orthographic projection written out here from the
// textbook rather than from the program.
#include "workspace/WorldFiles.h"
#include "mapgen/Projection.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

using namespace brimlark;

namespace
{

constexpr double Degree = std::numbers::pi / 180;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The spherical orthographic projection of Snyder, Map Projections: A Working Manual (USGS
// Professional Paper 1395, 1987), pp. 148-150, with the parameters the .prj gives.
struct Orthographic {
    double radius, phi1, lambda0; // metres; radians

    // Eqs. (20-3) and (20-4).
    QPointF forward(double phi, double lambda) const
    {
        return {radius * std::cos(phi) * std::sin(lambda - lambda0),
                radius
                    * (std::cos(phi1) * std::sin(phi)
                       - std::sin(phi1) * std::cos(phi) * std::cos(lambda - lambda0))};
    }
    // Eqs. (20-18), (20-19), (20-14) and (20-15), the arctangent taken with both signs;
    // nothing beyond the rim.
    std::optional<GeoPoint> inverse(double x, double y) const
    {
        const double rho = std::hypot(x, y);
        if (rho > radius)
            return std::nullopt;
        if (rho == 0)
            return GeoPoint{phi1 / Degree, lambda0 / Degree};
        const double c = std::asin(rho / radius);
        const double phi =
            std::asin(std::cos(c) * std::sin(phi1) + y * std::sin(c) * std::cos(phi1) / rho);
        const double lambda = lambda0
                              + std::atan2(x * std::sin(c), rho * std::cos(phi1) * std::cos(c)
                                                                - y * std::sin(phi1) * std::sin(c));
        return GeoPoint{phi / Degree, std::remainder(lambda / Degree, 360.0)};
    }
};

// The files as a GIS program reads them: the six numbers of the world file and the centre
// and sphere of the .prj.
struct Georeference {
    double a, d, b, e, c, f;
    Orthographic projection;

    static Georeference read(const QString &chart)
    {
        const QList<QByteArray> lines = readFile(WorldFiles::worldFilePath(chart)).split('\n');
        EXPECT_GE(lines.size(), 6);
        double n[6] = {};
        for (int i = 0; i < 6 && i < lines.size(); ++i) {
            bool ok = false;
            n[i] = lines[i].toDouble(&ok);
            EXPECT_TRUE(ok) << lines[i].constData();
        }
        const QString prj = QString::fromLatin1(readFile(WorldFiles::projectionPath(chart)));
        const auto value = [&](const char *pattern) {
            const auto match = QRegularExpression(QLatin1String(pattern)).match(prj);
            EXPECT_TRUE(match.hasMatch()) << pattern;
            return match.captured(1).toDouble();
        };
        EXPECT_TRUE(prj.contains(QLatin1String("PROJECTION[\"Orthographic\"]")));
        EXPECT_TRUE(prj.contains(QLatin1String("UNIT[\"Meter\",1.0]]")));
        return {n[0],
                n[1],
                n[2],
                n[3],
                n[4],
                n[5],
                {value("SPHEROID\\[\"[^\"]*\",([-0-9.e]+),0\\.0\\]"),
                 value("PARAMETER\\[\"Latitude_Of_Center\",([-0-9.e]+)\\]") * Degree,
                 value("PARAMETER\\[\"Longitude_Of_Center\",([-0-9.e]+)\\]") * Degree}};
    }
    // The metres of the centre of a pixel.
    QPointF metresOf(int column, int row) const
    {
        return {a * column + b * row + c, d * column + e * row + f};
    }
    // The pixel, in fractions, of a point in metres (a chart has no rotation).
    QPointF pixelOf(QPointF metres) const { return {(metres.x() - c) / a, (metres.y() - f) / e}; }
};

// The angle between two positions, by the haversine formula.
double angleBetween(const GeoPoint &p, const GeoPoint &q)
{
    const double h = std::pow(std::sin((q.latitude - p.latitude) * Degree / 2), 2)
                     + std::cos(p.latitude * Degree) * std::cos(q.latitude * Degree)
                           * std::pow(std::sin((q.longitude - p.longitude) * Degree / 2), 2);
    return 2 * std::asin(std::sqrt(h));
}

} // namespace

TEST(WorldFiles, NamesBesideTheChart)
{
    const char *const names[][3] = {{"/c/noon.png", "/c/noon.pgw", "/c/noon.prj"},
                                    {"/c/noon.gif", "/c/noon.gfw", "/c/noon.prj"},
                                    {"/c/noon.jpg", "/c/noon.jgw", "/c/noon.prj"},
                                    {"/c/noon.jpeg", "/c/noon.jgw", "/c/noon.prj"},
                                    {"/c/noon.bmp", "/c/noon.bpw", "/c/noon.prj"},
                                    {"/c.d/NOON.PNG", "/c.d/NOON.pgw", "/c.d/NOON.prj"}};
    for (const auto &name : names) {
        EXPECT_EQ(WorldFiles::worldFilePath(QLatin1String(name[0])), QLatin1String(name[1]));
        EXPECT_EQ(WorldFiles::projectionPath(QLatin1String(name[0])), QLatin1String(name[2]));
    }
}

// A globe of 900 pixels' radius at 45 N 96 W: the pixel is 7078.9 metres, and the top-left
// pixel's centre 500 pixels west and 350 north of the centre.
TEST(WorldFiles, WorldFileOfARegionalChart)
{
    const ViewValues view{45, -96, 0.9, 1000, 700};
    const double m = 6371008.8 / 900;
    const QList<QByteArray> lines = WorldFiles::worldFile(view).split('\n');
    ASSERT_EQ(lines.size(), 7);
    const double expected[] = {m, 0, 0, -m, -500 * m, 350 * m};
    for (int i = 0; i < 6; ++i)
        EXPECT_DOUBLE_EQ(lines[i].toDouble(), expected[i]) << i;
    EXPECT_TRUE(lines[6].isEmpty());
}

// For 1,000 random pixels of each view, the world file with the textbook inverse and the
// program's inverse give positions within a tenth of a pixel of each other (measured through
// the textbook projection), and agree on which pixels lie beyond the rim of the globe.
TEST(WorldFiles, PixelsLieWhereTheProgramsInverseProjectionPutsThem)
{
    const ViewValues views[] = {
        {0, 0, 0.45, 800, 800},     // the whole globe, a margin around it
        {-60, 150, 0.3, 1000, 700}, // the whole globe, south and across the antimeridian
        {45, -96, 0.9, 1000, 700},  // North America
        {-30, 179.5, 3, 800, 600},  // a region across the antimeridian
        {52, 5, 12, 1200, 900},     // high zoom: a globe of 14,400 pixels' radius
        {89.5, -40, 10, 900, 900}}; // high zoom at the pole
    QTemporaryDir dir;
    std::mt19937 random(27);
    for (const ViewValues &view : views) {
        SCOPED_TRACE(QStringLiteral("view %1 %2 zoom %3")
                         .arg(view.centerLat)
                         .arg(view.centerLon)
                         .arg(view.zoom)
                         .toStdString());
        const QString chart = dir.filePath(QStringLiteral("chart.png"));
        WorldFiles::write(chart, view, ReplacingFile::Sync::Later);
        const Georeference geo = Georeference::read(chart);
        const double globeRadius = view.zoom * view.chartWidth; // pixels
        std::uniform_int_distribution<int> column(0, view.chartWidth - 1);
        std::uniform_int_distribution<int> row(0, view.chartHeight - 1);
        int onGlobe = 0;
        double worst = 0;
        for (int i = 0; i < 1000; ++i) {
            const int x = column(random);
            const int y = row(random);
            const QPointF metres = geo.metresOf(x, y);
            const auto textbook = geo.projection.inverse(metres.x(), metres.y());
            const auto program = Projection::positionAt(view, x, y);
            const double rim = std::hypot(metres.x(), metres.y()) / geo.projection.radius;
            if (std::abs(rim - 1) > 1e-9) {
                ASSERT_EQ(textbook.has_value(), program.has_value()) << x << "," << y;
            }
            if (!textbook || !program)
                continue;
            ++onGlobe;
            const QPointF there = geo.pixelOf(
                geo.projection.forward(program->latitude * Degree, program->longitude * Degree));
            const double pixels = std::hypot(there.x() - x, there.y() - y);
            worst = std::max(worst, pixels);
            EXPECT_LT(pixels, 0.1) << x << "," << y;
            EXPECT_LT(angleBetween(*textbook, *program) / Degree, 0.0003) << x << "," << y;
            EXPECT_LT(angleBetween(*textbook, *program) * globeRadius, 0.1) << x << "," << y;
        }
        EXPECT_GT(onGlobe, 300);
        std::printf("view %g %g zoom %g: %d pixels on the globe, worst %.4f pixel\n",
                    view.centerLat, view.centerLon, view.zoom, onGlobe, worst);
    }
}
