// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "prefs/ChartSettings.h"

#include "base/NumberConversion.h"

namespace brimlark
{

namespace
{

using K = SettingKind;

// Registry names, kinds and defaults, in the order of ChartSettings::Id.
const SettingDefinition Definitions[ChartSettings::Count] = {
    {"GridSelect", K::Switch, 1, ""},
    {"Border", K::Switch, 1, ""},
    {"International", K::Switch, 1, ""},
    {"State", K::Switch, 1, ""},
    {"Lake", K::Switch, 1, ""},
    {"Island", K::Switch, 1, ""},
    {"River", K::Switch, 0, ""},
    {"Coast", K::Switch, 1, ""},
    {"County", K::Switch, 1, ""},
    {"Highway", K::Switch, 1, ""},
    {"LandmassColor", K::Color, 0x00E4F3FA, ""},
    {"OceanColor", K::Color, 0x00FFCECE, ""},
    {"GraticuleColor", K::Color, 0x00C0C0C0, ""},
    {"BorderColor", K::Color, 0, ""},
    {"InternationalColor", K::Color, 0x00800000, ""},
    {"StateColor", K::Color, 0x00800000, ""},
    {"LakeColor", K::Color, 0x00FF8080, ""},
    {"IslandColor", K::Color, 0x00800000, ""},
    {"RiverColor", K::Color, 0x00800000, ""},
    {"CoastColor", K::Color, 0x00800000, ""},
    {"CountyColor", K::Color, 0x00A3BAD1, ""},
    {"HighwayColor", K::Color, 0x005369EA, ""},
    {"ColdColor", K::Color, 0x00880000, ""},
    {"WarmColor", K::Color, 0x000000DD, ""},
    {"OccludedColor", K::Color, 0x00AA00AA, ""},
    {"TroughColor", K::Color, 0, ""},
    {"DrylineColor", K::Color, 0x000088AA, ""},
    {"BorderWidth", K::Text, 0, "2"},
    {"InternationalWidth", K::Text, 0, "1"},
    {"StateWidth", K::Text, 0, "1"},
    {"LakeWidth", K::Text, 0, "1"},
    {"IslandWidth", K::Text, 0, "1"},
    {"RiverWidth", K::Text, 0, "1"},
    {"CoastWidth", K::Text, 0, "2"},
    {"CountyWidth", K::Text, 0, "1"},
    {"HighwayWidth", K::Text, 0, "2"},
    {"ColdWidth", K::Text, 0, "2"},
    {"WarmWidth", K::Text, 0, "2"},
    {"OccludedWidth", K::Text, 0, "2"},
    {"StationaryWidth", K::Text, 0, "2"},
    {"TroughWidth", K::Text, 0, "2"},
    {"DrylineWidth", K::Text, 0, "2"},
    {"GraticuleType", K::Text, 0, "Line"},
    {"GridInterval", K::Text, 0, "10"},
    {"JPEGComp", K::Text, 0, "10"},
    {"BehindLand", K::Switch, 0, ""},
    {"LakeFill", K::Switch, 1, ""},
    {"CountyScaleAware", K::Switch, 1, ""},
    {"GifExactColours", K::Switch, 1, ""},
    {"ObservationColor", K::Color, 0x00006400, ""},
    {"ObservationUnits", K::Text, 0, "C"},
    {"FirstGuessColor", K::Color, 0x000050A0, ""}, // brown, apart from every front colour
};

} // namespace

ChartSettings::ChartSettings()
{
    for (int i = 0; i < Count; ++i)
        reset(Id(i));
}

const SettingDefinition &ChartSettings::definition(Id id) { return Definitions[id]; }

int ChartSettings::find(const QString &name)
{
    for (int i = 0; i < Count; ++i)
        if (name.compare(QLatin1String(Definitions[i].name), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void ChartSettings::reset(Id id)
{
    m_numbers[id] = qint32(Definitions[id].defaultNumber);
    m_texts[id] = QString::fromLatin1(Definitions[id].defaultText);
}

QString ChartSettings::storedText(Id id) const
{
    switch (Definitions[id].kind) {
    case SettingKind::Switch:
        return isOn(id) ? QStringLiteral("1") : QStringLiteral("0");
    case SettingKind::Color:
        return QString::number(m_numbers[id]);
    case SettingKind::Text:
        break;
    }
    return m_texts[id];
}

void ChartSettings::setStoredText(Id id, const QString &stored)
{
    if (Definitions[id].kind == SettingKind::Text) {
        m_texts[id] = stored;
        return;
    }
    const auto number = NumberConversion::strictInteger(stored);
    if (!number) {
        reset(id);
        return;
    }
    m_numbers[id] = Definitions[id].kind == SettingKind::Switch ? (*number != 0) : *number;
}

} // namespace brimlark
