// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "canvas/ChartCanvas.h"
#include "observation/Observation.h"
#include "prefs/ChartSettings.h"

#include <QPointF>

namespace brimlark
{

/// Draws one surface observation as a station model, in ObservationColor:
/// - the station circle filled for the sky cover: empty for clear, a quarter (few), half
///   (scattered), three quarters (broken) or all of it (overcast), clockwise from the top, and
///   crossed for an obscured sky. An unknown sky leaves the circle empty, like a clear one, so
///   that a station with no values shows just where it is;
/// - the wind barb towards where the wind blows from (WindBarb); calm as a larger circle round
///   the station; a variable wind (VRB) has no bearing for a shaft, so its speed is written in
///   knots under the circle; an unknown wind draws nothing;
/// - temperature upper left and dew point lower left in whole degrees of ObservationUnits,
///   sea-level pressure upper right as its last three digits of tenths of a hectopascal
///   (1013.2 is "132");
/// - present weather left of the circle (PresentWeather, WeatherSymbol), as its code when it
///   has no symbol.
/// Everything scales with `size`, the diameter of the station circle in pixels.
class StationModel
{
public:
    StationModel(ChartCanvas &canvas, const ChartSettings &settings);

    /// Draws the observation with its station circle centred on `at`.
    void draw(const Observation &observation, QPointF at, double size, bool southernHemisphere);

    /// The width of a model with three characters on either side of the circle, leaving the
    /// barb out; callers thin stations to about one per one and a half such widths.
    static double widthFor(double size);
    /// The pressure as plotted: tenths of a hectopascal, last three digits ("987").
    static QString pressureText(double hectopascals);
    /// A temperature in whole degrees of the unit ("C" or "F"; anything else is Celsius).
    static QString temperatureText(double celsius, const QString &unit);
    /// The unit the ObservationUnits preference names: "F" for F in any case and blanks,
    /// "C" for anything else.
    static QString unitOf(const QString &preference);
    /// A temperature in degrees C given in that unit.
    static double degreesIn(double celsius, const QString &unit);

private:
    struct Layout;

    void setUp(double size);
    void skyCover(Observation::Sky sky, const Layout &l);
    void wind(const Observation &o, const Layout &l, bool southernHemisphere);
    void barb(const Observation &o, const Layout &l, bool southernHemisphere);
    void numbers(const Observation &o, const Layout &l);
    void weather(const Observation &o, const Layout &l);
    void text(const QString &text, QPointF anchor, Qt::Alignment alignment);

    ChartCanvas &m_canvas;
    const ChartSettings &m_settings;
};

} // namespace brimlark
