// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "workspace/WorldFiles.h"

#include "base/ChartError.h"
#include "workspace/ChartFiles.h"

#include <QLocale>

namespace brimlark
{

namespace
{

QByteArray number(double value)
{
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

// The chart's name without its extension.
QString stem(const QString &chartPath)
{
    return chartPath.left(chartPath.size() - ChartFiles::extensionOf(chartPath).size());
}

void writeFile(const QString &path, const QByteArray &bytes, ReplacingFile::Sync sync)
{
    int error = 0;
    if (!ReplacingFile::write(path, bytes, sync, &error))
        throw ChartError::cannotCreate(path, error);
}

} // namespace

double WorldFiles::metresPerPixel(const ViewValues &view)
{
    return EarthRadius / (view.zoom * view.chartWidth);
}

// GIS programs look for the first and last letters of the extension followed by "w".
QString WorldFiles::worldFilePath(const QString &chartPath)
{
    const QString extension = ChartFiles::extensionOf(chartPath);
    const QString world = extension == u".png"   ? QStringLiteral(".pgw")
                          : extension == u".gif" ? QStringLiteral(".gfw")
                          : extension == u".bmp" ? QStringLiteral(".bpw")
                                                 : QStringLiteral(".jgw");
    return stem(chartPath) + world;
}

QString WorldFiles::projectionPath(const QString &chartPath)
{
    return stem(chartPath) + QStringLiteral(".prj");
}

// The projection puts the position at continuous chart coordinates (x, y) on the pixel
// nearest them, so pixel (i, j) shows the neighbourhood of (i, j) and the centre of the
// top-left pixel is (0, 0). There, from Projection, easting = (x - W/2) m and northing =
// (H/2 - y) m, m the metres of a pixel:
//
//   (0,0) centre of the top-left pixel: easting -W/2 m, northing H/2 m
//     +---+---+---
//     | x |   |
//     +---+---+---      one pixel: m metres east, m metres south
//     |   |   |
QByteArray WorldFiles::worldFile(const ViewValues &view)
{
    const double m = metresPerPixel(view);
    const double lines[] = {m, 0, 0, -m, -0.5 * view.chartWidth * m, 0.5 * view.chartHeight * m};
    QByteArray text;
    for (const double line : lines)
        text += number(line) + '\n';
    return text;
}

// ESRI's orthographic projection names its centre Longitude_Of_Center and
// Latitude_Of_Center; GDAL and QGIS read the sphere from the spheroid with an inverse
// flattening of 0. The datum has a name of its own, so that no program takes it for a
// sphere of another radius that it knows by name.
QByteArray WorldFiles::projection(const ViewValues &view)
{
    return "PROJCS[\"Brimlark_Orthographic\","
           "GEOGCS[\"GCS_Brimlark_Sphere\",DATUM[\"D_Brimlark_Sphere\","
           "SPHEROID[\"Brimlark_Sphere\","
           + number(EarthRadius)
           + ",0.0]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]],"
             "PROJECTION[\"Orthographic\"],"
             "PARAMETER[\"False_Easting\",0.0],PARAMETER[\"False_Northing\",0.0],"
             "PARAMETER[\"Longitude_Of_Center\","
           + number(view.centerLon) + "],PARAMETER[\"Latitude_Of_Center\"," + number(view.centerLat)
           + "],UNIT[\"Meter\",1.0]]\n";
}

void WorldFiles::write(const QString &chartPath, const ViewValues &view, ReplacingFile::Sync sync)
{
    writeFile(worldFilePath(chartPath), worldFile(view), sync);
    writeFile(projectionPath(chartPath), projection(view), sync);
}

} // namespace brimlark
