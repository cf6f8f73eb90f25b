// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/GeoPoint.h"
#include "base/NumberConversion.h"
#include "base/ViewValues.h"

#include <QPoint>

#include <optional>

namespace brimlark
{

/// The orthographic projection of the globe onto the chart for a view.
class Projection
{
public:
    /// The coordinate of a position that is not on the chart.
    static constexpr int OffChart = -9999;

    /// The chart pixel of a latitude and longitude in degrees, or (OffChart, OffChart) for a
    /// position out of range or on the far side of the globe; a single coordinate is
    /// OffChart when it alone falls outside -9999 .. 9999.
    ///
    /// Degrees are converted with pi x 0.00555555, a shade under pi / 180, and the longitude
    /// difference carries a shift of 180 degrees; the view centre lands a few thousandths of
    /// a pixel left of the chart's middle and the visible limit a fraction of a degree east
    /// of the exact 90-degree circle. With that conversion K, phi0 the centre latitude and
    /// delta = (lon - lon0 + 180) K:
    ///   x = W/2 - R cos phi sin delta
    ///   y = H/2 - R (cos(-phi0) sin phi - sin(-phi0) cos phi cos delta)
    /// visible while sin(-phi0) sin phi + cos(-phi0) cos phi cos delta < 0, R = Zoom x W.
    /// Traced name: ProjectToChart.
    static QPoint projectToChart(const ViewValues &view, double latitude, double longitude);

    /// The latitude and longitude (-180 .. 180) under a chart point: the inverse of
    /// projectToChart, on the visible side; none off the disc of the globe.
    static std::optional<GeoPoint> positionAt(const ViewValues &view, double x, double y);

    /// The orthographic terms of a position: its offsets a and b from the centre in Earth
    /// radii, and the visibility v (visible while below 0).
    struct Terms {
        double a, b, v;
    };
    /// The sine and cosine of the view's converted centre latitude, negated (psi).
    struct ViewAngles {
        double sinPsi, cosPsi;
    };
    static ViewAngles anglesOf(const ViewValues &view);
    /// The terms of a position in range, from the sines and cosines of its converted
    /// latitude (phi) and longitude difference (delta).
    static Terms termsOf(const ViewAngles &view, double sinPhi, double cosPhi, double sinDelta,
                         double cosDelta)
    {
        return {cosPhi * sinDelta, view.cosPsi * sinPhi - view.sinPsi * cosPhi * cosDelta,
                view.sinPsi * sinPhi + view.cosPsi * cosPhi * cosDelta};
    }
    /// The chart point of a position's terms: OffChart when hidden. Inline, as every point
    /// of the map data comes through here.
    static QPoint chartPointOf(const ViewValues &view, const Terms &t)
    {
        if (!isVisible(t)) // the far side and the rim itself
            return QPoint(OffChart, OffChart);
        const double r = view.zoom * view.chartWidth;
        const double x = clamped(view.chartWidth * 0.5 - t.a * r);
        const double y = clamped(view.chartHeight * 0.5 - t.b * r);
        return QPoint(NumberConversion::roundHalfEven(x), NumberConversion::roundHalfEven(y));
    }
    /// The chart pixel of the point of the horizon (the rim of the visible disc) at an angle
    /// anticlockwise from the a axis of the terms. Not clamped to OffChart: a rim far off a
    /// large chart stays on its own side of it.
    static QPoint horizonPoint(const ViewValues &view, double angle);
    /// The converted angle of degrees: degrees x pi x 0.00555555.
    static double converted(double degrees);
    /// The converted longitude difference from the view centre, with its 180-degree shift.
    static double deltaOf(const ViewValues &view, double longitude);

    /// Whether a position with these terms lies on the visible side of the globe.
    static bool isVisible(const Terms &terms) { return terms.v < 0; }
    /// Whether either coordinate of a projected point is OffChart.
    static bool isHidden(QPoint p) { return p.x() == OffChart || p.y() == OffChart; }

private:
    /// A coordinate, or OffChart when it falls outside -9999 .. 9999.
    static double clamped(double v) { return (v < -9999 || v > 9999) ? OffChart : v; }
};

} // namespace brimlark
