// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ChartColor.h"

#include <QString>

#include <array>

namespace brimlark
{

/// How a preference value is held and stored.
enum class SettingKind { Switch, Color, Text };

/// One preference value's registry name, kind and default.
struct SettingDefinition {
    const char *name;
    SettingKind kind;
    qint64 defaultNumber;    // switches and colours
    const char *defaultText; // texts
};

/// The preference values that control how charts are drawn and saved, each named by its
/// registry value name: the 46 classic values, then two cartographic switches read after them
/// (LakeFill, CountyScaleAware), the GIF colour switch (GifExactColours) and how station models
/// are drawn (ObservationColor, ObservationUnits) and the first guess's colour (FirstGuessColor).
/// Every drawing and every save reads them here at the moment it draws or saves; the Preferences
/// window edits this object in place.
class ChartSettings
{
public:
    /// The values in the order in which they are read from the registry.
    enum Id {
        GridSelect,
        Border,
        International,
        State,
        Lake,
        Island,
        River,
        Coast,
        County,
        Highway,
        LandmassColor,
        OceanColor,
        GraticuleColor,
        BorderColor,
        InternationalColor,
        StateColor,
        LakeColor,
        IslandColor,
        RiverColor,
        CoastColor,
        CountyColor,
        HighwayColor,
        ColdColor,
        WarmColor,
        OccludedColor,
        TroughColor,
        DrylineColor,
        BorderWidth,
        InternationalWidth,
        StateWidth,
        LakeWidth,
        IslandWidth,
        RiverWidth,
        CoastWidth,
        CountyWidth,
        HighwayWidth,
        ColdWidth,
        WarmWidth,
        OccludedWidth,
        StationaryWidth,
        TroughWidth,
        DrylineWidth,
        GraticuleType,
        GridInterval,
        JPEGComp,
        BehindLand,
        // Added after the classic values, so a store written before them loads the same
        // 46 values in the same order and these take their defaults.
        LakeFill,
        CountyScaleAware,
        GifExactColours,
        ObservationColor,
        ObservationUnits, // "C" or "F": the unit of plotted temperatures and dew points
        FirstGuessColor   // the isolines analysed from the observations
    };
    static constexpr int Count = 52;

    /// Every value at its default.
    ChartSettings();

    static const SettingDefinition &definition(Id id);
    static QString name(Id id) { return QString::fromLatin1(definition(id).name); }
    /// The value with this registry name, or -1.
    static int find(const QString &name);

    bool isOn(Id id) const { return m_numbers[id] != 0; }
    void setOn(Id id, bool on) { m_numbers[id] = on ? 1 : 0; }
    ChartColor color(Id id) const { return ChartColor(m_numbers[id]); }
    void setColor(Id id, ChartColor color) { m_numbers[id] = qint32(color); }
    const QString &text(Id id) const { return m_texts[id]; }
    void setText(Id id, const QString &text) { m_texts[id] = text; }

    /// Puts a value's default back.
    void reset(Id id);
    /// The value as the registry holds it: "1"/"0", a colour's signed decimal, or the text.
    QString storedText(Id id) const;
    /// Takes a value from its registry text; a switch or colour that is not an integer
    /// takes its default.
    void setStoredText(Id id, const QString &stored);

private:
    std::array<qint32, Count> m_numbers{};
    std::array<QString, Count> m_texts;
};

} // namespace brimlark
