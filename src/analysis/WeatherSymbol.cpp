// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/WeatherSymbol.h"

#include "analysis/CirclePoints.h"
#include "base/NumberConversion.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace brimlark
{

namespace
{

using Kind = PresentWeather::Kind;
using Intensity = PresentWeather::Intensity;

QPoint pixel(QPointF p) { return NumberConversion::roundedPoint(p); }

// Draws in units of the station circle's diameter around a centre.
class Glyph
{
public:
    Glyph(ChartCanvas &canvas, QPointF centre, double unit)
        : m_canvas(canvas), m_centre(centre), m_unit(unit)
    {
        m_canvas.setBrushColor(m_canvas.state().penColor);
        m_canvas.setBrushStyle(BrushStyle::Solid);
    }

    QPointF at(double x, double y) const { return m_centre + QPointF(x, y) * m_unit; }

    void line(QPointF a, QPointF b)
    {
        const std::vector<QPoint> points{pixel(a), pixel(b), pixel(b)};
        // The end pixel is drawn too: a polyline leaves out its last point only.
        m_canvas.polyline(points);
    }
    void path(const std::vector<QPointF> &points)
    {
        std::vector<QPoint> pixels;
        for (QPointF p : points)
            pixels.push_back(pixel(p));
        pixels.push_back(pixels.back());
        m_canvas.polyline(pixels);
    }
    void disc(QPointF c, double radius)
    {
        const auto points = CirclePoints::circle(c, radius * m_unit);
        m_canvas.polygon(points);
    }
    void ring(QPointF c, double radius)
    {
        m_canvas.setBrushStyle(BrushStyle::Clear);
        m_canvas.polygon(CirclePoints::circle(c, radius * m_unit));
        m_canvas.setBrushStyle(BrushStyle::Solid);
    }
    double unit() const { return m_unit; }

private:
    ChartCanvas &m_canvas;
    QPointF m_centre;
    double m_unit;
};

constexpr double DotRadius = 0.15;

void dot(Glyph &g, QPointF p) { g.disc(p, DotRadius); }

void comma(Glyph &g, QPointF p)
{
    dot(g, p);
    const double u = g.unit();
    g.path(
        {p + QPointF(DotRadius, 0) * u, p + QPointF(0.08, 0.3) * u, p + QPointF(-0.12, 0.42) * u});
}

void star(Glyph &g, QPointF p)
{
    for (double bearing : {0.0, 60.0, 120.0})
        g.line(CirclePoints::along(p, bearing, 0.25 * g.unit()),
               CirclePoints::along(p, bearing + 180, 0.25 * g.unit()));
}

void element(Glyph &g, Kind kind, QPointF p)
{
    if (kind == Kind::Snow)
        star(g, p);
    else if (kind == Kind::Drizzle)
        comma(g, p);
    else
        dot(g, p);
}

// Offsets of the elements for each intensity, in units.
std::vector<QPointF> arrangement(Intensity intensity)
{
    switch (intensity) {
    case Intensity::Light:
        return {{-0.25, 0}, {0.25, 0}};
    case Intensity::Moderate:
        return {{0, -0.22}, {-0.25, 0.22}, {0.25, 0.22}};
    case Intensity::Heavy:
        break;
    }
    return {{0, -0.45}, {-0.25, 0}, {0.25, 0}, {0, 0.45}};
}

void precipitation(Glyph &g, const PresentWeather &w)
{
    for (QPointF offset : arrangement(w.intensity))
        element(g, w.precipitation, g.at(offset.x(), offset.y()));
}

void shower(Glyph &g, const PresentWeather &w)
{
    element(g, w.precipitation, g.at(0, -0.4));
    g.path({g.at(-0.35, -0.1), g.at(0.35, -0.1), g.at(0, 0.5), g.at(-0.35, -0.1)});
}

// One period of a wave through the middle, the sign of freezing.
void freezing(Glyph &g, const PresentWeather &w)
{
    std::vector<QPointF> wave;
    for (int i = 0; i <= 12; ++i)
        wave.push_back(g.at(-0.55 + 1.1 * i / 12, -0.2 * std::sin(2 * std::numbers::pi * i / 12)));
    g.path(wave);
    element(g, w.precipitation, g.at(-0.27, 0.15));
    if (w.intensity != Intensity::Light)
        element(g, w.precipitation, g.at(0.27, -0.35));
}

// The thunderstorm sign: a bar along the top, a post down its left and a lightning stroke
// from its right end, arrowed at the foot; precipitation above it.
void thunderstorm(Glyph &g, const PresentWeather &w)
{
    g.path({g.at(-0.35, 0.45), g.at(-0.35, -0.15), g.at(0.35, -0.15), g.at(0, 0.15),
            g.at(0.35, 0.45)});
    g.path({g.at(0.15, 0.45), g.at(0.35, 0.45), g.at(0.35, 0.25)});
    if (w.precipitation != Kind::None)
        element(g, w.precipitation, g.at(0, -0.4));
}

void bars(Glyph &g, int count)
{
    for (int i = 0; i < count; ++i) {
        const double y = (i - (count - 1) / 2.0) * 0.25;
        g.line(g.at(-0.45, y), g.at(0.45, y));
    }
}

void haze(Glyph &g)
{
    g.ring(g.at(-0.18, 0), 0.18);
    g.ring(g.at(0.18, 0), 0.18);
}

} // namespace

double WeatherSymbol::width(double size) { return 1.2 * size; }

void WeatherSymbol::draw(ChartCanvas &canvas, const PresentWeather &weather, QPointF centre,
                         double size)
{
    if (weather.kind == Kind::None || weather.kind == Kind::Code)
        return;
    Glyph g(canvas, centre, size);
    switch (weather.kind) {
    case Kind::Thunderstorm:
        return thunderstorm(g, weather);
    case Kind::Fog:
        return bars(g, 3);
    case Kind::Mist:
        return bars(g, 2);
    case Kind::Haze:
        return haze(g);
    default:
        break;
    }
    if (weather.freezing)
        freezing(g, weather);
    else if (weather.shower)
        shower(g, weather);
    else
        precipitation(g, weather);
}

} // namespace brimlark
