// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "analysis/PresentWeather.h"

#include <algorithm>

namespace brimlark
{

namespace
{

using Kind = PresentWeather::Kind;

struct Phenomenon {
    const char *code;
    Kind kind;
};

// The phenomena with a symbol. A group of several ("RASN") plots the most significant.
constexpr Phenomenon Phenomena[] = {{"SN", Kind::Snow}, {"RA", Kind::Rain}, {"DZ", Kind::Drizzle},
                                    {"FG", Kind::Fog},  {"BR", Kind::Mist}, {"HZ", Kind::Haze}};

Kind phenomenonCalled(const QString &code)
{
    for (const Phenomenon &p : Phenomena)
        if (code == QLatin1String(p.code))
            return p.kind;
    return Kind::None;
}

// None when any part has no symbol: blowing snow (BLSN) is not snowfall, nor rain with hail
// (RAGR) just rain, so such groups keep their code.
Kind phenomenonIn(const QString &rest)
{
    if (rest.isEmpty() || rest.size() % 2 != 0)
        return Kind::None;
    Kind found = Kind::None;
    for (int i = 0; i < rest.size(); i += 2) {
        const Kind kind = phenomenonCalled(rest.mid(i, 2));
        if (kind == Kind::None)
            return Kind::None;
        found = std::max(found, kind);
    }
    return found;
}

bool isPrecipitation(Kind kind)
{
    return kind == Kind::Drizzle || kind == Kind::Rain || kind == Kind::Snow;
}

// Splits off the intensity sign, the only prefix a plotted group may have.
PresentWeather::Intensity intensityOf(QString &group)
{
    using I = PresentWeather::Intensity;
    if (group.startsWith(u'-') || group.startsWith(u'+')) {
        const I intensity = group.startsWith(u'-') ? I::Light : I::Heavy;
        group.remove(0, 1);
        return intensity;
    }
    return I::Moderate;
}

} // namespace

PresentWeather PresentWeather::decode(const QString &reported)
{
    PresentWeather w;
    w.code = reported;
    QString group = reported.trimmed().toUpper();
    w.intensity = intensityOf(group);
    const bool thunder = group.startsWith(QLatin1String("TS"));
    w.shower = group.startsWith(QLatin1String("SH"));
    w.freezing = group.startsWith(QLatin1String("FZ"));
    const Kind found = phenomenonIn(group.mid(thunder || w.shower || w.freezing ? 2 : 0));
    w.precipitation = found;
    w.kind = thunder ? Kind::Thunderstorm : found;
    // Showers, and freezing, of anything but precipitation (VCSH, FZFG) keep their own rules:
    // freezing fog is fog, a shower of nothing here is plotted as its code.
    if (w.shower && !isPrecipitation(found))
        w.kind = Kind::None;
    if (w.freezing && !isPrecipitation(found))
        w.freezing = false;
    if (w.kind == Kind::None)
        w.kind = Kind::Code;
    return w;
}

PresentWeather PresentWeather::choose(const QStringList &groups)
{
    PresentWeather best;
    for (const QString &group : groups) {
        if (group.trimmed().isEmpty())
            continue;
        const PresentWeather w = decode(group);
        if (best.kind == Kind::None || w.rank() > best.rank())
            best = w;
    }
    return best;
}

// Kind first, freezing precipitation above all but thunder, then intensity.
int PresentWeather::rank() const
{
    const int k = freezing ? int(Kind::Thunderstorm) : int(kind);
    return 100 * k + 10 * int(kind) + int(intensity);
}

} // namespace brimlark
