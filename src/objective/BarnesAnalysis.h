// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ViewValues.h"
#include "objective/AnalysisGrid.h"
#include "objective/StationValue.h"

#include <vector>

namespace brimlark
{

/// The two-pass Barnes objective analysis (Koch, DesJardins and Kocin 1983) of station
/// values onto a grid over the chart of a view.
///
/// The first pass is the Gaussian-weighted mean of the stations, weight exp(-r^2 / kappa)
/// with kappa = 5.052 (2 dn / pi)^2 from the mean station spacing dn; the second adds the
/// weighted mean of the first pass's misfits at the stations with gamma x kappa, which
/// restores the shorter waves the first pass damped. Distances r are great-circle distances
/// on the sphere. The grid spacing is a third of dn; a node farther than 2.5 dn from every
/// station gets no value, so no isoline is drawn over empty ocean.
///
/// The mean spacing of Koch et al., sqrt(A) (1 + sqrt(N)) / (N - 1) for N stations placed at
/// random over an area A, is close to sqrt(A / N), twice the mean distance from a station to
/// its nearest neighbour in such a network. That is how dn is measured here: twice the mean
/// nearest-neighbour distance, which takes the spacing where the stations are and not over
/// the empty sea and land that a chart's network encloses.
class BarnesAnalysis
{
public:
    static constexpr double Gamma = 0.3;
    /// The farthest a node may be from its nearest station, in mean spacings.
    static constexpr double Reach = 2.5;
    /// The mean Earth radius in km, which turns angles on the sphere into distances.
    static constexpr double EarthRadius = 6371.0;

    /// The stations must lie on the chart of the view.
    BarnesAnalysis(const ViewValues &view, std::vector<StationValue> stations);

    /// The mean station spacing dn in km.
    double meanSpacing() const { return m_meanSpacing; }
    /// The analysed field: the two passes at every node of the grid.
    AnalysisGrid analyse() const;
    /// The stations whose value stands apart from their neighbours': farther from the
    /// first pass of the others within two mean spacings than `limit` and four times the
    /// weighted spread of their values. A station with fewer than three such neighbours is
    /// not judged: at the edge of the network a real gradient would pass for an error. A single bad
    /// report (a sea-level pressure of 989.9 hPa among neighbours of 1016) would otherwise draw a
    /// low of its own; the spread keeps the steep centre of a real storm.
    std::vector<size_t> outliers(double limit) const;

private:
    struct Unit {
        double x, y, z;
    };
    /// A weighted sum over the stations near a point, and how near the nearest one is.
    struct Sum {
        double weighted = 0;
        double weightedSquares = 0;
        double weights = 0;
        int count = 0;            ///< stations within the cutoff
        double nearestChord2 = 4; ///< the squared chord to the nearest station, unit sphere
    };
    struct Pass {
        double scale;  ///< EarthRadius^2 / kappa: the weight is exp(-scale x angle^2)
        double chord2; ///< the squared chord beyond which a weight counts as 0
        int reach;     ///< how many buckets either way that distance may span on the chart
    };

    /// The position as a point of the unit sphere.
    static Unit unitOf(const GeoPoint &position);
    static double chord2Between(const Unit &a, const Unit &b);
    double meanNearestDistance() const;
    Pass passFor(double kappa) const;
    Pass passWithin(double kappa, double cutoff) const;
    template <typename ValueOf>
    Sum sumAt(const Unit &u, QPointF at, const Pass &pass, ValueOf valueOf) const;
    void bucketStations();
    std::vector<double> firstPassMisfits(const Pass &first) const;

    ViewValues m_view;
    std::vector<StationValue> m_stations;
    std::vector<Unit> m_units;
    double m_pixelsPerKm;
    double m_meanSpacing;
    double m_kappa;
    // The stations by square buckets of the chart, as indices into m_stations.
    double m_bucketSize = 1;
    int m_bucketColumns = 0;
    int m_bucketRows = 0;
    std::vector<std::vector<int>> m_buckets;
};

} // namespace brimlark
