// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ReplacingFile.h"
#include "base/ViewValues.h"

#include <QByteArray>
#include <QString>

namespace brimlark
{

/// The files beside a chart that place it in GIS programs: a world file, named after the
/// chart with ".pgw", ".gfw", ".jgw" or ".bpw" for a PNG, GIF, JPEG or BMP chart, and a
/// ".prj" with the chart's projection in ESRI WKT: the orthographic projection centred on
/// the view, on a sphere of the Earth's mean radius, in metres.
///
/// A chart is the orthographic projection of a globe of Zoom x ChartWidth pixels' radius,
/// centred on the chart's middle (Projection). Taking that globe for the sphere of
/// EarthRadius metres makes one pixel EarthRadius / (Zoom x ChartWidth) metres, on both
/// axes, at every point of the chart. The projection converts degrees with pi x 0.00555555,
/// a millionth under pi / 180 (Projection::projectToChart), so the chart lies within
/// 0.0003 degrees of the exact projection these files describe: a tenth of a pixel while
/// the globe's radius is under some 20,000 pixels.
class WorldFiles
{
public:
    /// The sphere's radius in metres: the Earth's mean radius R1 = (2a + b) / 3 of the WGS 84
    /// ellipsoid (a = 6378137 m, b = 6356752.3142 m), as the IUGG defines it (Moritz,
    /// Geodetic Reference System 1980). Which radius is chosen moves nothing in a GIS, where
    /// the chart's positions are degrees on the sphere: it sets the metres of the projection.
    static constexpr double EarthRadius = 6371008.8;

    /// The metres of a pixel, on both axes: EarthRadius / (Zoom x ChartWidth).
    static double metresPerPixel(const ViewValues &view);
    /// The world file's name beside a chart of one of the five extensions.
    static QString worldFilePath(const QString &chartPath);
    /// The projection file's name beside a chart.
    static QString projectionPath(const QString &chartPath);
    /// The six lines of a world file: the pixel's width, two rotations of 0, its height
    /// negated, and the easting and northing of the centre of the top-left pixel.
    static QByteArray worldFile(const ViewValues &view);
    /// The projection in ESRI WKT, on one line.
    static QByteArray projection(const ViewValues &view);
    /// Writes both files beside the chart, each replaced as a whole; ChartError "Cannot
    /// create file" for one that cannot be written.
    static void write(const QString &chartPath, const ViewValues &view,
                      ReplacingFile::Sync sync = ReplacingFile::Sync::ToDisk);
};

} // namespace brimlark
