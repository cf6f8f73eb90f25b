// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The preference values: names, order, defaults and how stored texts are read.
#include "prefs/ChartSettings.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace brimlark;

using S = ChartSettings;

// The 46 classic values first, in their reading order, then the two cartographic switches, the
// GIF colour switch and the two station-model values.
TEST(ChartSettings, UniqueNamesInReadingOrder)
{
    QSet<QString> names;
    for (int i = 0; i < S::Count; ++i)
        names.insert(S::name(S::Id(i)));
    EXPECT_EQ(S::Count, 52);
    EXPECT_EQ(names.size(), 52);
    EXPECT_EQ(int(S::BehindLand), 45);
    EXPECT_EQ(S::name(S::Id(46)), QStringLiteral("LakeFill"));
    EXPECT_EQ(S::name(S::Id(47)), QStringLiteral("CountyScaleAware"));
    EXPECT_EQ(S::name(S::Id(48)), QStringLiteral("GifExactColours"));
    EXPECT_EQ(S::name(S::Id(49)), QStringLiteral("ObservationColor"));
    EXPECT_EQ(S::name(S::Id(50)), QStringLiteral("ObservationUnits"));
    EXPECT_EQ(S::name(S::Id(51)), QStringLiteral("FirstGuessColor"));
    EXPECT_EQ(S::name(S::GridSelect), QStringLiteral("GridSelect"));
    EXPECT_EQ(S::name(S::LandmassColor), QStringLiteral("LandmassColor"));
    EXPECT_EQ(S::name(S::BorderWidth), QStringLiteral("BorderWidth"));
    EXPECT_EQ(S::name(S::GraticuleType), QStringLiteral("GraticuleType"));
    EXPECT_EQ(S::name(S::BehindLand), QStringLiteral("BehindLand"));
    EXPECT_EQ(S::find(QStringLiteral("jpegcomp")), int(S::JPEGComp));
    EXPECT_EQ(S::find(QStringLiteral("NoSuchValue")), -1);
}

// Defaults as a fresh user sees them.
TEST(ChartSettings, Defaults)
{
    const S s;
    for (S::Id on : {S::GridSelect, S::Border, S::International, S::State, S::Lake, S::Island,
                     S::Coast, S::County, S::Highway})
        EXPECT_TRUE(s.isOn(on)) << S::name(on).toStdString();
    EXPECT_FALSE(s.isOn(S::River));
    EXPECT_FALSE(s.isOn(S::BehindLand));
    EXPECT_TRUE(s.isOn(S::LakeFill));
    EXPECT_TRUE(s.isOn(S::CountyScaleAware));
    EXPECT_TRUE(s.isOn(S::GifExactColours));
    const std::pair<S::Id, ChartColor> colours[] = {
        {S::LandmassColor, 15004666},     {S::OceanColor, 16764622},
        {S::GraticuleColor, 12632256},    {S::BorderColor, 0},
        {S::InternationalColor, 8388608}, {S::StateColor, 8388608},
        {S::LakeColor, 16744576},         {S::IslandColor, 8388608},
        {S::RiverColor, 8388608},         {S::CoastColor, 8388608},
        {S::CountyColor, 10730193},       {S::HighwayColor, 5466602},
        {S::ColdColor, 8912896},          {S::WarmColor, 221},
        {S::OccludedColor, 11141290},     {S::TroughColor, 0},
        {S::DrylineColor, 34986},         {S::ObservationColor, chartRgb(0, 100, 0)},
        {S::FirstGuessColor, chartRgb(160, 80, 0)}};
    for (const auto &[id, colour] : colours)
        EXPECT_EQ(s.color(id), colour) << S::name(id).toStdString();
    const std::pair<S::Id, const char *> texts[] = {
        {S::BorderWidth, "2"},      {S::InternationalWidth, "1"}, {S::StateWidth, "1"},
        {S::LakeWidth, "1"},        {S::IslandWidth, "1"},        {S::RiverWidth, "1"},
        {S::CoastWidth, "2"},       {S::CountyWidth, "1"},        {S::HighwayWidth, "2"},
        {S::ColdWidth, "2"},        {S::WarmWidth, "2"},          {S::OccludedWidth, "2"},
        {S::StationaryWidth, "2"},  {S::TroughWidth, "2"},        {S::DrylineWidth, "2"},
        {S::GraticuleType, "Line"}, {S::GridInterval, "10"},      {S::JPEGComp, "10"},
        {S::ObservationUnits, "C"}};
    for (const auto &[id, text] : texts)
        EXPECT_EQ(s.text(id), QLatin1String(text)) << S::name(id).toStdString();
}

TEST(ChartSettings, StoredTextsOfSwitchesAndColours)
{
    S s;
    s.setStoredText(S::GridSelect, QStringLiteral("0"));
    EXPECT_FALSE(s.isOn(S::GridSelect));
    s.setStoredText(S::GridSelect, QStringLiteral("2"));
    EXPECT_TRUE(s.isOn(S::GridSelect));
    s.setStoredText(S::GridSelect, QStringLiteral("0"));
    s.setStoredText(S::GridSelect, QStringLiteral("-1"));
    EXPECT_TRUE(s.isOn(S::GridSelect));
    for (const char *notANumber : {"yes", "", "1.0"}) {
        s.setOn(S::GridSelect, false);
        s.setStoredText(S::GridSelect, QLatin1String(notANumber));
        EXPECT_TRUE(s.isOn(S::GridSelect)) << notANumber; // the default
    }
    s.setStoredText(S::LakeColor, QStringLiteral("255"));
    EXPECT_EQ(s.color(S::LakeColor), 0x000000FFu);
    s.setStoredText(S::LakeColor, QStringLiteral("blue"));
    EXPECT_EQ(s.color(S::LakeColor), 16744576u);
    s.setStoredText(S::ColdWidth, QStringLiteral("thick"));
    EXPECT_EQ(s.text(S::ColdWidth), QStringLiteral("thick"));
}

TEST(ChartSettings, StoredTextRoundTrips)
{
    S s;
    s.setColor(S::OceanColor, 0xFFFFFFFFu);
    EXPECT_EQ(s.storedText(S::OceanColor), QStringLiteral("-1"));
    EXPECT_EQ(s.storedText(S::ColdColor), QStringLiteral("8912896"));
    EXPECT_EQ(s.storedText(S::River), QStringLiteral("0"));
    EXPECT_EQ(s.storedText(S::Border), QStringLiteral("1"));
    s.setText(S::GraticuleType, QStringLiteral(" Wavy "));
    EXPECT_EQ(s.storedText(S::GraticuleType), QStringLiteral(" Wavy "));
    S back;
    for (int i = 0; i < S::Count; ++i)
        back.setStoredText(S::Id(i), s.storedText(S::Id(i)));
    for (int i = 0; i < S::Count; ++i)
        EXPECT_EQ(back.storedText(S::Id(i)), s.storedText(S::Id(i)));
}
