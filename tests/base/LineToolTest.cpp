// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/LineTool.h"
#include "base/GeoPoint.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace brimlark
{
namespace
{

// Each name finds its own tool again, and no two tools share a name of one kind: a reader
// that met a shared word could not tell which tool was meant.
TEST(LineToolTest, EveryNameFindsItsToolAndNoOther)
{
    std::set<std::string> keywords, kinds, options, captions;
    for (const LineToolNames &tool : LineToolNames::all()) {
        EXPECT_EQ(&LineToolNames::of(tool.tool), &tool);
        EXPECT_EQ(LineToolNames::byKind(QString::fromLatin1(tool.kind)), &tool) << tool.kind;
        EXPECT_EQ(LineToolNames::byOption(QString::fromLatin1(tool.option)), &tool) << tool.option;
        if (*tool.keyword) {
            EXPECT_EQ(LineToolNames::byKeyword(tool.keyword), &tool) << tool.keyword;
        }
        EXPECT_TRUE(keywords.insert(tool.keyword).second) << tool.keyword;
        EXPECT_TRUE(kinds.insert(tool.kind).second) << tool.kind;
        EXPECT_TRUE(options.insert(tool.option).second) << tool.option;
        EXPECT_TRUE(captions.insert(tool.caption).second) << tool.caption;
    }
    EXPECT_EQ(LineToolNames::all().size(), 7u);
    // The isopleth has no bulletin keyword, so an empty word names nothing; matches are exact.
    EXPECT_EQ(LineToolNames::byKeyword(""), nullptr);
    EXPECT_EQ(LineToolNames::byKeyword("cold"), nullptr);
    EXPECT_EQ(LineToolNames::byOption(u"COLD"), nullptr);
    EXPECT_TRUE(isStrengthWord("MDT"));
    EXPECT_FALSE(isStrengthWord("mdt"));
}

TEST(LineToolTest, LongitudesFoldIntoOneTurnWithTheAntimeridianWest)
{
    const std::pair<double, double> cases[] = {{0, 0},       {179.5, 179.5}, {180, -180},
                                               {-180, -180}, {190, -170},    {540, -180},
                                               {-190, 170},  {359.9, -0.1}};
    for (const auto &[longitude, folded] : cases)
        EXPECT_NEAR(GeoPoint::foldedLongitude(longitude), folded, 1e-9) << longitude;
}

} // namespace
} // namespace brimlark
