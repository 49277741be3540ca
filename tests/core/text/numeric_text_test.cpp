#include "core/text/numeric_text.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

TEST(NumericText, AcceptsDigitsWithOneSeparatorAndALeadingMinus) {
    struct Case {
        const char* text;
        bool numeric;
    };
    const Case cases[] = {
        {"0", true},      {"51.5", true},   {"51,5", true}, {"-0,5", true}, {"-12", true},
        {".5", true},     {"5.", true},     {".", true},    {"", false},    {"-", false},
        {"1.2.3", false}, {"1,2.3", false}, {"1e5", false}, {" 5", false},  {"5 ", false},
        {"+5", false},    {"--5", false},   {"5-", false},  {"abc", false}, {"0x10", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNumericText(c.text), c.numeric) << "'" << c.text << "'";
}

TEST(NumericText, ValueFollowsTheDecimalSeparator) {
    EXPECT_EQ(NumericValue("51.5"), 51.5);
    EXPECT_EQ(NumericValue("-0.25"), -0.25);
    EXPECT_EQ(NumericValue("51,5", ','), 51.5);
    EXPECT_EQ(NumericValue("5."), 5.0);
    EXPECT_FALSE(NumericValue("51,5")); // the other separator does not convert
    EXPECT_FALSE(NumericValue("51.5", ','));
    EXPECT_FALSE(NumericValue("."));
    EXPECT_FALSE(NumericValue("-,", ','));
    EXPECT_FALSE(NumericValue("1e5"));
}

} // namespace
} // namespace zorva
