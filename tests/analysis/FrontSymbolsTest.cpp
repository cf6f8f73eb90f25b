// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Symbol geometry on the worked chord (100,100)-(120,100).
#include "analysis/FrontSymbols.h"

#include <gtest/gtest.h>

using namespace brimlark;

TEST(FrontSymbols, TriangleApexStandsLeftOfTheDrawingDirection)
{
    const auto t = FrontSymbols::triangle({100, 100}, {120, 100});
    EXPECT_EQ(t[0], QPoint(100, 100));
    EXPECT_EQ(t[1], QPoint(120, 100));
    EXPECT_EQ(t[2], QPoint(110, 80));
    // Drawn right to left the left-hand side is below; drawn downwards it is to the right.
    EXPECT_EQ(FrontSymbols::triangle({120, 100}, {100, 100})[2], QPoint(110, 120));
    EXPECT_EQ(FrontSymbols::triangle({100, 100}, {100, 120})[2], QPoint(120, 110));
}

TEST(FrontSymbols, SemicircleOnEitherSide)
{
    const std::array<QPoint, 8> left = {QPoint(100, 100), QPoint(100, 92), QPoint(104, 86),
                                        QPoint(108, 84),  QPoint(112, 84), QPoint(116, 86),
                                        QPoint(120, 92),  QPoint(120, 100)};
    EXPECT_EQ(FrontSymbols::semicircle({100, 100}, {120, 100}, FrontSymbols::Left), left);
    const std::array<QPoint, 8> right = {QPoint(100, 100), QPoint(100, 108), QPoint(104, 114),
                                         QPoint(108, 116), QPoint(112, 116), QPoint(116, 114),
                                         QPoint(120, 108), QPoint(120, 100)};
    EXPECT_EQ(FrontSymbols::semicircle({100, 100}, {120, 100}, FrontSymbols::Right), right);
}

TEST(FrontSymbols, SymbolOfNoLengthShrinksToAPoint)
{
    for (const QPoint p : FrontSymbols::semicircle({50, 60}, {50, 60}, FrontSymbols::Left))
        EXPECT_EQ(p, QPoint(50, 60));
    for (const QPoint p : FrontSymbols::triangle({50, 60}, {50, 60}))
        EXPECT_EQ(p, QPoint(50, 60));
}
