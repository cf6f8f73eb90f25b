// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <QStringList>

namespace brimlark
{

/// The one present weather a station model plots, chosen from a report's weather groups
/// ("-RA", "+TSRA", "SHSN", "FZDZ", "BR"). Groups with a plotted symbol rank by
/// significance: thunderstorm, freezing rain, freezing drizzle, snow, rain, drizzle, fog,
/// mist, haze; within one kind the heavier wins. When no group has a symbol, the first group
/// is plotted as its code, so weather such as dust, squalls or weather in the vicinity (VC)
/// is still shown.
class PresentWeather
{
public:
    enum class Kind { None, Code, Haze, Mist, Fog, Drizzle, Rain, Snow, Thunderstorm };
    enum class Intensity { Light, Moderate, Heavy };

    Kind kind = Kind::None;
    /// The precipitation with a thunderstorm (None when dry), else the kind itself.
    Kind precipitation = Kind::None;
    Intensity intensity = Intensity::Moderate;
    bool shower = false;
    bool freezing = false;
    QString code; ///< the group as reported, for Kind::Code

    /// The most significant of the groups; Kind::None when there are none.
    static PresentWeather choose(const QStringList &groups);
    /// One group decoded; Kind::Code when it has no symbol.
    static PresentWeather decode(const QString &group);

private:
    int rank() const;
};

} // namespace brimlark
