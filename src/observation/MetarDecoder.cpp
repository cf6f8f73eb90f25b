// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "observation/MetarDecoder.h"

#include "observation/MetarGroups.h"

#include <QList>
#include <QString>
#include <QTime>

#include <algorithm>
#include <array>

namespace brimlark
{

namespace
{

using namespace MetarGroups;

constexpr double KnotsPerMetreSecond = 1.943844;
constexpr double KnotsPerKilometreHour = 0.539957;
constexpr double HectopascalsPerInch = 33.8639;
constexpr double MetresPerMile = 1609.344;
// Visibility in metres tops out at 9999, which stands for 10 km or more.
constexpr double LargestMetres = 10000;

constexpr std::array Descriptors{u"MI", u"BC", u"PR", u"DR", u"BL", u"SH", u"TS", u"FZ"};
constexpr std::array Phenomena{u"DZ", u"RA", u"SN", u"SG", u"IC", u"PL", u"GR", u"GS",
                               u"UP", u"BR", u"FG", u"FU", u"VA", u"DU", u"SA", u"HZ",
                               u"PY", u"PO", u"SQ", u"FC", u"SS", u"DS"};

// A trend forecast follows the observation; its groups describe what is expected, not seen.
bool isTrend(QStringView g) { return g == u"NOSIG" || g == u"BECMG" || g == u"TEMPO"; }

// DDHHMMZ on a day of the month's own.
std::optional<QDateTime> timeOf(QStringView g, QDate month)
{
    if (!isTimeShape(g))
        return std::nullopt;
    const QDate day(month.year(), month.month(), g.first(2).toInt());
    const int hour = g.sliced(2, 2).toInt();
    const int minute = g.sliced(4, 2).toInt();
    if (!day.isValid() || hour > 23 || minute > 59)
        return std::nullopt;
    return QDateTime(day, QTime(hour, minute), Qt::UTC);
}

// n/d with a divisor other than 0.
std::optional<double> fraction(QStringView s)
{
    const qsizetype slash = s.indexOf(u'/');
    const QStringView numerator = s.first(std::max<qsizetype>(slash, 0));
    const QStringView divisor = s.sliced(slash + 1);
    if (slash < 0 || !isDigits(numerator) || !isDigits(divisor) || divisor.toInt() == 0)
        return std::nullopt;
    return numerator.toDouble() / divisor.toInt();
}

// 10SM, 3/4SM, and M1/4SM (less than) or P6SM (more than) as their bound.
std::optional<double> statuteMiles(QStringView g)
{
    if (!g.endsWith(u"SM"))
        return std::nullopt;
    QStringView value = g.chopped(2);
    if (value.startsWith(u'M') || value.startsWith(u'P'))
        value = value.sliced(1);
    if (isDigits(value) && value.size() <= 3)
        return value.toInt();
    return fraction(value);
}

// nnnn metres, also with NDV (no directional variation) after it.
std::optional<double> metres(QStringView g)
{
    if (g.endsWith(u"NDV"))
        g = g.chopped(3);
    if (g.size() != 4 || !isDigits(g))
        return std::nullopt;
    const int value = g.toInt();
    return (value >= 9999 ? LargestMetres : value) / MetresPerMile;
}

// The height of a layer in hundreds of feet, or /// when it is not known; CB or TCU may follow.
bool isHeight(QStringView s)
{
    return s.size() >= 3 && (isDigits(s.first(3)) || s.first(3) == u"///");
}

std::optional<Observation::Sky> layerCover(QStringView g)
{
    using Sky = Observation::Sky;
    if (g == u"CLR" || g == u"SKC" || g == u"NSC" || g == u"NCD")
        return Sky::Clear;
    const struct {
        QStringView code;
        Sky sky;
    } covers[] = {{u"FEW", Sky::Few},
                  {u"SCT", Sky::Scattered},
                  {u"BKN", Sky::Broken},
                  {u"OVC", Sky::Overcast},
                  {u"VV", Sky::Obscured}};
    for (const auto &cover : covers)
        if (g.startsWith(cover.code) && isHeight(g.sliced(cover.code.size())))
            return cover.sky;
    return std::nullopt;
}

// TT or MTT in whole degrees.
std::optional<double> wholeCelsius(QStringView s)
{
    const bool minus = s.startsWith(u'M');
    const QStringView digits = minus ? s.sliced(1) : s;
    if (digits.size() != 2 || !isDigits(digits))
        return std::nullopt;
    return minus ? -digits.toInt() : digits.toInt();
}

// snnn of the remark T group: sign digit 0 or 1, then tenths of a degree.
std::optional<double> tenthsCelsius(QStringView s)
{
    if (s.size() != 4 || !isDigits(s) || s[0] > u'1')
        return std::nullopt;
    const double value = s.sliced(1).toInt() / 10.0;
    return s[0] == u'1' ? -value : value;
}

bool isSpeed(QStringView s) { return (s.size() == 2 || s.size() == 3) && isDigits(s); }

bool startsWithAny(QStringView s, const auto &codes, qsizetype &at)
{
    for (const char16_t *code : codes)
        if (s.sliced(at).startsWith(QStringView(code))) {
            at += 2;
            return true;
        }
    return false;
}

// [-|+|VC][descriptor][phenomena...]: a descriptor alone only for TS and SH (VCSH, TS).
bool isWeather(QStringView g)
{
    qsizetype at = g.startsWith(u"VC") ? 2 : (g.startsWith(u'-') || g.startsWith(u'+')) ? 1 : 0;
    const qsizetype descriptorAt = at;
    const bool descriptor = startsWithAny(g, Descriptors, at);
    int phenomena = 0;
    while (at < g.size() && startsWithAny(g, Phenomena, at))
        ++phenomena;
    const QStringView alone = g.sliced(descriptorAt);
    return at == g.size() && at > 0
           && (phenomena > 0 || (descriptor && (alone == u"TS" || alone == u"SH")));
}

// The groups of one report, read in order into the observation.
class ReportReader
{
public:
    ReportReader(const QString &text, QDate month)
        : m_groups(QStringView(text).split(u' ', Qt::SkipEmptyParts)), m_month(month)
    {
        m_observation.report = text;
    }

    std::optional<Observation> read()
    {
        if (!readHeading())
            return std::nullopt;
        for (; m_at < m_groups.size() && m_groups[m_at] != u"RMK"; ++m_at)
            if (!readBodyGroup())
                return std::nullopt;
        for (; m_at < m_groups.size(); ++m_at)
            readRemark(m_groups[m_at]);
        return m_observation;
    }

private:
    QStringView group(qsizetype at) const
    {
        return at < m_groups.size() ? m_groups[at] : QStringView();
    }

    // [METAR|SPECI] [COR] station DDHHMMZ; false when either is missing or the report is NIL.
    bool readHeading()
    {
        while (isKind(group(m_at)))
            ++m_at;
        for (; isCorrection(group(m_at)); ++m_at)
            m_observation.correction = true;
        if (!isStation(group(m_at)))
            return false;
        m_observation.station = group(m_at).toString();
        const std::optional<QDateTime> time = timeOf(group(m_at + 1), m_month);
        if (!time)
            return false;
        m_observation.time = *time;
        m_at += 2;
        return true;
    }

    // False only for NIL; a trend skips to the remarks.
    bool readBodyGroup()
    {
        const QStringView g = m_groups[m_at];
        if (g == u"NIL")
            return false;
        if (isTrend(g))
            skipToRemarks();
        else if (isCorrection(g))
            m_observation.correction = true;
        else if (!readWind(g) && !readVisibility(g) && !readSky(g) && !readTemperature(g))
            readPressureOrWeather(g);
        return true;
    }

    void skipToRemarks()
    {
        while (m_at + 1 < m_groups.size() && m_groups[m_at + 1] != u"RMK")
            ++m_at;
    }

    bool readWind(QStringView g)
    {
        const struct {
            const char16_t *unit;
            double knots;
        } units[] = {{u"KT", 1.0}, {u"MPS", KnotsPerMetreSecond}, {u"KMH", KnotsPerKilometreHour}};
        for (const auto &unit : units)
            if (g.endsWith(QStringView(unit.unit)))
                return readWindValues(g.chopped(QStringView(unit.unit).size()), unit.knots);
        return false;
    }

    // dddff[Gfff] or VRBff[Gfff], in the unit's knots.
    bool readWindValues(QStringView v, double knots)
    {
        const QStringView direction = v.first(std::min<qsizetype>(3, v.size()));
        const QStringView speeds = v.sliced(direction.size());
        const qsizetype g = speeds.indexOf(u'G');
        const QStringView speed = g < 0 ? speeds : speeds.first(g);
        const QStringView gust = g < 0 ? QStringView() : speeds.sliced(g + 1);
        const bool bearing =
            isDigits(direction) && direction.size() == 3 && direction.toInt() <= 360;
        if (!isSpeed(speed) || (g >= 0 && !isSpeed(gust)) || !(bearing || direction == u"VRB")
            || m_observation.windSpeed)
            return false;
        m_observation.windSpeed = speed.toInt() * knots;
        if (bearing && speed.toInt() > 0)
            m_observation.windDirection = direction.toInt();
        if (g >= 0)
            m_observation.gust = gust.toInt() * knots;
        return true;
    }

    // The first visibility only: a second one is the least in some direction (4000SE).
    bool readVisibility(QStringView g)
    {
        if (g == u"CAVOK") {
            m_observation.sky = std::max(m_observation.sky, Observation::Sky::Clear);
            return setVisibility(LargestMetres / MetresPerMile);
        }
        if (const std::optional<double> whole = wholeMilesBeforeFraction(g)) {
            ++m_at;
            return setVisibility(*whole + *statuteMiles(m_groups[m_at]));
        }
        const std::optional<double> miles = statuteMiles(g);
        const std::optional<double> visibility = miles ? miles : metres(g);
        return visibility && setVisibility(*visibility);
    }

    // The 1 of 1 1/2SM.
    std::optional<double> wholeMilesBeforeFraction(QStringView g) const
    {
        const QStringView next = group(m_at + 1);
        if (g.size() > 2 || !isDigits(g) || !next.contains(u'/') || next.startsWith(u'M')
            || !statuteMiles(next))
            return std::nullopt;
        return g.toInt();
    }

    bool setVisibility(double miles)
    {
        if (!m_observation.visibility)
            m_observation.visibility = miles;
        return true;
    }

    // The most covering layer counts.
    bool readSky(QStringView g)
    {
        const std::optional<Observation::Sky> cover = layerCover(g);
        if (cover)
            m_observation.sky = std::max(m_observation.sky, *cover);
        return cover.has_value();
    }

    // TT/DD, TT/ or TT/// without a dew point.
    bool readTemperature(QStringView g)
    {
        const qsizetype slash = g.indexOf(u'/');
        const std::optional<double> temperature =
            wholeCelsius(g.first(std::max<qsizetype>(slash, 0)));
        const QStringView dew = g.sliced(slash + 1);
        const bool noDew = std::all_of(dew.begin(), dew.end(), [](QChar c) { return c == u'/'; });
        const std::optional<double> dewPoint = noDew ? std::nullopt : wholeCelsius(dew);
        if (slash < 0 || !temperature || !(noDew || dewPoint) || m_observation.temperature)
            return false;
        m_observation.temperature = temperature;
        m_observation.dewPoint = dewPoint;
        return true;
    }

    // Qnnnn in hPa or Annnn in hundredths of inHg, whichever comes first.
    void readPressureOrWeather(QStringView g)
    {
        const bool pressure =
            g.size() == 5 && (g[0] == u'Q' || g[0] == u'A') && isDigits(g.sliced(1));
        if (pressure && !m_observation.altimeter)
            m_observation.altimeter = g[0] == u'Q'
                                          ? g.sliced(1).toInt()
                                          : g.sliced(1).toInt() / 100.0 * HectopascalsPerInch;
        else if (!pressure && isWeather(g))
            m_observation.weather.append(g.toString());
    }

    void readRemark(QStringView g)
    {
        if (g == u"SLPNO")
            m_observation.seaLevelPressure.reset();
        else if (g.size() == 6 && g.startsWith(u"SLP") && isDigits(g.sliced(3)))
            m_observation.seaLevelPressure = seaLevelPressure(g.sliced(3).toInt());
        else if ((g.size() == 5 || g.size() == 9) && g[0] == u'T')
            readTenths(g);
    }

    // nnn tenths of hPa, of 9nn.n or 10nn.n hPa: 500 and above is below 1000 hPa.
    static double seaLevelPressure(int tenths)
    {
        return (tenths >= 500 ? 900 : 1000) + tenths / 10.0;
    }

    // Tsnnn[snnn]: the temperature and dew point in tenths, which win over the whole degrees.
    void readTenths(QStringView g)
    {
        const std::optional<double> temperature = tenthsCelsius(g.sliced(1, 4));
        const std::optional<double> dewPoint =
            g.size() == 9 ? tenthsCelsius(g.sliced(5)) : std::nullopt;
        if (!temperature || (g.size() == 9 && !dewPoint))
            return;
        m_observation.temperature = temperature;
        if (dewPoint)
            m_observation.dewPoint = dewPoint;
    }

    QList<QStringView> m_groups;
    QDate m_month;
    qsizetype m_at = 0;
    Observation m_observation;
};

} // namespace

std::optional<Observation> MetarDecoder::decode(QStringView report, QDate month)
{
    const qsizetype end = report.indexOf(u'=');
    const QString text = (end < 0 ? report : report.first(end)).toString().simplified();
    return ReportReader(text, month).read();
}

} // namespace brimlark
