// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Lenient and strict number conversion, and rounding half to even.
#include "base/NumberConversion.h"
#include "base/ChartError.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace brimlark;

using N = NumberConversion;

TEST(NumberConversion, LenientReadsDecimalNumbers)
{
    const std::pair<const char *, double> cases[] = {
        {"45", 45.0},     {"-93.5", -93.5}, {"  12", 12.0}, {"+2.5", 2.5},    {"1e3", 1000.0},
        {"2.5E-1", 0.25}, {".5", 0.5},      {"7.", 7.0},    {"1e300", 1e300}, {"-1e300", -1e300}};
    for (const auto &[text, value] : cases)
        EXPECT_DOUBLE_EQ(N::lenientDouble(QLatin1String(text)), value) << text;
}

// Malformed texts give 0 without a message; none may crash or overflow.
TEST(NumberConversion, LenientMalformedTextsGiveZero)
{
    for (const char *text : {"", "   ", "  12abc", "12 ", "nan", "inf", "1,5", "e5", "1e", "-", ".",
                             "0x10", "1e+", "--1", "\t12"})
        EXPECT_EQ(N::lenientDouble(QLatin1String(text)), 0.0) << text;
    const QString hundredDigits(100, u'9');
    EXPECT_DOUBLE_EQ(N::lenientDouble(hundredDigits), 1e100);
    EXPECT_TRUE(std::isinf(N::lenientDouble(QStringLiteral("1e400"))));
    EXPECT_LT(N::lenientDouble(QStringLiteral("-1e400")), 0.0);
    EXPECT_EQ(N::lenientDouble(QStringLiteral("1e-400")), 0.0);
    EXPECT_TRUE(std::isinf(N::lenientDouble(QString(400, u'9'))));
    EXPECT_EQ(N::lenientDouble(QStringLiteral("0.") + QString(400, u'0') + u'1'), 0.0);
    EXPECT_EQ(N::lenientDouble(QString(1 << 20, u'1') + u'x'), 0.0);
}

TEST(NumberConversion, RoundsHalfToEvenAndClampsToThirtyTwoBits)
{
    const std::pair<double, qint32> cases[] = {{640.5, 640},
                                               {641.5, 642},
                                               {300.5, 300},
                                               {301.5, 302},
                                               {-0.5, 0},
                                               {-1.5, -2},
                                               {0.49, 0},
                                               {2.51, 3},
                                               {1e300, std::numeric_limits<qint32>::max()},
                                               {-1e300, std::numeric_limits<qint32>::min()}};
    for (const auto &[value, rounded] : cases)
        EXPECT_EQ(N::roundHalfEven(value), rounded) << value;
    EXPECT_EQ(N::roundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(N::roundHalfEven(std::numeric_limits<double>::infinity()),
              std::numeric_limits<qint32>::max());
    EXPECT_EQ(N::lenientRounded(QStringLiteral("640.5")), 640);
    EXPECT_EQ(N::lenientRounded(QString(100, u'9')), std::numeric_limits<qint32>::max());
}

TEST(NumberConversion, StrictIntegers)
{
    EXPECT_EQ(N::strictInteger(QStringLiteral("  75 ")), 75);
    EXPECT_EQ(N::strictInteger(QStringLiteral("\t12\r\n")), 12);
    EXPECT_EQ(N::strictInteger(QStringLiteral("+5")), 5);
    EXPECT_EQ(N::strictInteger(QStringLiteral("-2147483648")), std::numeric_limits<qint32>::min());
    for (const char *bad : {"", " ", "1.5", "2147483648", "-2147483649", "1 2", "x", "+", "2e3"})
        EXPECT_FALSE(N::strictInteger(QLatin1String(bad)).has_value()) << bad;
    try {
        N::requireInteger(QStringLiteral(" wide "));
        ADD_FAILURE() << "accepted a word";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'wide' is not a valid integer value"));
    }
}
