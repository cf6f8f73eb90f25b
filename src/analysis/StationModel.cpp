// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/StationModel.h"

#include "analysis/CirclePoints.h"
#include "analysis/PresentWeather.h"
#include "analysis/WeatherSymbol.h"
#include "analysis/WindBarb.h"
#include "base/NumberConversion.h"

#include <algorithm>
#include <cmath>

namespace brimlark
{

// Where the pieces of one model go, in chart pixels.
struct StationModel::Layout {
    QPointF centre;
    double size;   // the circle's diameter
    double radius; // the circle's
    double gap;    // between the circle and what stands beside it

    // The numbers clear the weather symbol between them: their digits end, or start, about
    // 0.7 of a diameter above, or below, the centre once the font's descent and internal
    // leading are left out.
    double upperTextBottom() const { return centre.y() - 0.4 * size; }
    double lowerTextTop() const { return centre.y() + 0.45 * size; }
    double leftEdge() const { return centre.x() - radius - gap; }
    double rightEdge() const { return centre.x() + radius + gap; }
};

namespace
{

constexpr double ShaftLength = 3.2; // diameters from the centre
constexpr double CalmRadius = 1.6;  // radii

int penWidthFor(double size) { return std::max(1, int(std::lround(size / 12))); }

bool isCalm(const Observation &o) { return o.windSpeed && *o.windSpeed < 0.5; }

// The part of the circle each sky cover fills, in degrees clockwise from the top.
double filledDegrees(Observation::Sky sky)
{
    switch (sky) {
    case Observation::Sky::Few:
        return 90;
    case Observation::Sky::Scattered:
        return 180;
    case Observation::Sky::Broken:
        return 270;
    case Observation::Sky::Overcast:
        return 360;
    default:
        return 0;
    }
}

} // namespace

StationModel::StationModel(ChartCanvas &canvas, const ChartSettings &settings)
    : m_canvas(canvas), m_settings(settings)
{
}

double StationModel::widthFor(double size)
{
    // Circle, gaps and three bold digits of about 0.8 diameters each on both sides.
    return size * (1 + 2 * 0.3 + 6 * 0.8);
}

QString StationModel::pressureText(double hectopascals)
{
    const long tenths = std::lround(hectopascals * 10);
    return QStringLiteral("%1").arg((tenths % 1000 + 1000) % 1000, 3, 10, QLatin1Char('0'));
}

QString StationModel::temperatureText(double celsius, const QString &unit)
{
    return QString::number(std::lround(degreesIn(celsius, unitOf(unit))));
}

QString StationModel::unitOf(const QString &preference)
{
    const bool fahrenheit =
        preference.trimmed().compare(QLatin1String("F"), Qt::CaseInsensitive) == 0;
    return fahrenheit ? QStringLiteral("F") : QStringLiteral("C");
}

double StationModel::degreesIn(double celsius, const QString &unit)
{
    return unit == QStringLiteral("F") ? celsius * 9 / 5 + 32 : celsius;
}

void StationModel::draw(const Observation &observation, QPointF at, double size,
                        bool southernHemisphere)
{
    const Layout l{at, size, size / 2, std::max(2.0, 0.3 * size)};
    setUp(size);
    skyCover(observation.sky, l);
    wind(observation, l, southernHemisphere);
    numbers(observation, l);
    weather(observation, l);
}

void StationModel::setUp(double size)
{
    const ChartColor color = m_settings.color(ChartSettings::ObservationColor);
    m_canvas.setPenColor(color);
    m_canvas.setPenStyle(PenStyle::Solid);
    m_canvas.setPenWidth(penWidthFor(size));
    m_canvas.setBrushColor(color);
    m_canvas.setFontName(QStringLiteral("Arial"));
    m_canvas.setFontSize(std::max(6, int(std::lround(size))));
    m_canvas.setFontStyle(FontStyle::Bold);
    m_canvas.setFontColor(color);
}

void StationModel::skyCover(Observation::Sky sky, const Layout &l)
{
    const double filled = filledDegrees(sky);
    if (filled > 0) {
        std::vector<QPoint> sector = CirclePoints::arc(l.centre, l.radius, 0, filled);
        if (filled < 360)
            sector.push_back(NumberConversion::roundedPoint(l.centre));
        m_canvas.setBrushStyle(BrushStyle::Solid);
        m_canvas.fillPolygon(sector);
    }
    m_canvas.setBrushStyle(BrushStyle::Clear);
    m_canvas.polygon(CirclePoints::circle(l.centre, l.radius));
    if (sky != Observation::Sky::Obscured)
        return;
    for (double bearing : {45.0, 135.0}) {
        const std::vector<QPoint> stroke{
            NumberConversion::roundedPoint(CirclePoints::along(l.centre, bearing, l.radius)),
            NumberConversion::roundedPoint(CirclePoints::along(l.centre, bearing + 180, l.radius))};
        m_canvas.polyline(stroke);
    }
}

void StationModel::wind(const Observation &o, const Layout &l, bool southernHemisphere)
{
    if (isCalm(o)) {
        m_canvas.setBrushStyle(BrushStyle::Clear);
        m_canvas.polygon(CirclePoints::circle(l.centre, CalmRadius * l.radius));
    } else if (o.windSpeed && o.windDirection) {
        barb(o, l, southernHemisphere);
    } else if (o.windSpeed) {
        text(QString::number(WindBarb::plottedSpeed(*o.windSpeed)),
             QPointF(l.centre.x(), l.centre.y() + l.radius + l.gap / 2),
             Qt::AlignHCenter | Qt::AlignTop);
    }
}

void StationModel::barb(const Observation &o, const Layout &l, bool southernHemisphere)
{
    const WindBarb::Shape shape =
        WindBarb::shape(l.centre, *o.windDirection, *o.windSpeed, l.radius, ShaftLength * l.size,
                        southernHemisphere);
    m_canvas.polyline(shape.shaft);
    for (const WindBarb::Line &line : shape.barbs)
        m_canvas.polyline(line);
    m_canvas.setBrushStyle(BrushStyle::Solid);
    for (const WindBarb::Pennant &pennant : shape.pennants)
        m_canvas.polygon(pennant);
}

void StationModel::numbers(const Observation &o, const Layout &l)
{
    const QString &unit = m_settings.text(ChartSettings::ObservationUnits);
    if (o.temperature)
        text(temperatureText(*o.temperature, unit), QPointF(l.leftEdge(), l.upperTextBottom()),
             Qt::AlignRight | Qt::AlignBottom);
    if (o.dewPoint)
        text(temperatureText(*o.dewPoint, unit), QPointF(l.leftEdge(), l.lowerTextTop()),
             Qt::AlignRight | Qt::AlignTop);
    if (o.seaLevelPressure)
        text(pressureText(*o.seaLevelPressure), QPointF(l.rightEdge(), l.upperTextBottom()),
             Qt::AlignLeft | Qt::AlignBottom);
}

void StationModel::weather(const Observation &o, const Layout &l)
{
    const PresentWeather w = PresentWeather::choose(o.weather);
    if (w.kind == PresentWeather::Kind::Code) {
        text(w.code, QPointF(l.leftEdge(), l.centre.y()), Qt::AlignRight | Qt::AlignVCenter);
        return;
    }
    const double half = WeatherSymbol::width(l.size) / 2;
    WeatherSymbol::draw(m_canvas, w, QPointF(l.leftEdge() - half, l.centre.y()), l.size);
}

// Text with the corner or edge of its cell named by the alignment at the anchor.
void StationModel::text(const QString &text, QPointF anchor, Qt::Alignment alignment)
{
    const double w = m_canvas.textWidth(text);
    const double h = m_canvas.textHeight(text);
    double x = anchor.x() - w / 2;
    if (alignment & Qt::AlignLeft)
        x = anchor.x();
    else if (alignment & Qt::AlignRight)
        x = anchor.x() - w;
    double y = anchor.y() - h / 2;
    if (alignment & Qt::AlignTop)
        y = anchor.y();
    else if (alignment & Qt::AlignBottom)
        y = anchor.y() - h;
    m_canvas.setBrushStyle(BrushStyle::Clear);
    m_canvas.textOut(int(std::lround(x)), int(std::lround(y)), text);
}

} // namespace brimlark
