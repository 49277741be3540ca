#include <gtest/gtest.h>

#include "core/common/angles.h"
#include "core/text/format.h"
#include "core/text/parse.h"

namespace zorva {
namespace {

TEST(Parse, WholeWordsOnly) {
    struct Case {
        const char* word;
        std::optional<double> value;
    };
    for (const Case& c : {Case{"1.5", 1.5},
                          {"+1.5", 1.5},
                          {"-0.25", -0.25},
                          {"1e3", 1000.0},
                          {"+-1", std::nullopt}, // a doubled sign is not a number
                          {"++1", std::nullopt},
                          {"+", std::nullopt},
                          {"", std::nullopt},
                          {"1x", std::nullopt},
                          {" 1", std::nullopt},
                          {"inf", std::nullopt},
                          {"nan", std::nullopt},
                          {"1e400", std::nullopt}}) {
        EXPECT_EQ(ParseReal(c.word), c.value) << c.word;
    }
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32("2147483648"), std::nullopt);
    EXPECT_EQ(ParseInt32("1.0"), std::nullopt);
    EXPECT_EQ(ParseInt64("-9000000000"), -9000000000LL);
}

TEST(Format, RoundsHalfUpAndNeverShowsMinusZero) {
    EXPECT_EQ(RoundHalfUp(2.5, 0), 3);
    EXPECT_EQ(RoundHalfUp(-2.5, 0), -2); // halves go up, not away from zero
    EXPECT_EQ(RoundHalfUp(9.996, 2), 10);
    EXPECT_EQ(FixedText(RoundHalfUp(-0.04, 1), 1), "0.0");
    EXPECT_EQ(FixedText(-0.004, 2), "0.00");
    EXPECT_EQ(FixedText(-5.123456, 5), "-5.12346");
    EXPECT_EQ(FixedText(1e300, 0).size(), 301u);
    EXPECT_EQ(ShortestDecimalText(51.5), "51.5");
    EXPECT_EQ(GeneralText(150 / 25.4, 6), "5.90551");
    EXPECT_EQ(Utf8Length("-23\u00B0 02'"), 8);
}

TEST(Angles, QuadrantOfSineAndCosineSign) {
    // The four quadrants of 30, 150, 210 and 330 degrees, from sin and cos of each.
    for (const double a : {30.0, 150.0, 210.0, 330.0}) {
        EXPECT_NEAR(degrees::QuadrantAngle(degrees::Sin(a), degrees::Cos(a)), a, 1e-9) << a;
    }
    EXPECT_DOUBLE_EQ(degrees::QuadrantAngle(1.0000000000000002, 0), 90); // clamped, not NaN
}

} // namespace
} // namespace zorva
