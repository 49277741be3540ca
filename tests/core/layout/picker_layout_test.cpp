#include "core/layout/picker_layout.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

// The default long-date layout in its group box; every expected layout below is worked
// by hand from the picker-width rules.
constexpr GroupSpan kGroup{8, 325};
constexpr DateLayout kLong{29, 140, 200, 72, 278, 19};

TEST(PickerLayout, WideningSpreadsThenUsesTheGapThenStops) {
    PickerWidthChange c = IncreaseDateWindow(kLong, kGroup, {});
    // Room at the edges: the date picker grows by 6 on each side, the rest moves right.
    EXPECT_EQ(c.layout, (DateLayout{23, 152, 206, 72, 284, 19}));
    EXPECT_TRUE(c.increaseDateEnabled);
    // The caption now reaches the group's right margin: the gap is used instead.
    c = IncreaseDateWindow(c.layout, kGroup, c);
    EXPECT_EQ(c.layout, (DateLayout{23, 158, 206, 72, 284, 19}));
    EXPECT_TRUE(c.increaseDateEnabled);
    c = IncreaseDateWindow(c.layout, kGroup, c);
    EXPECT_EQ(c.layout, (DateLayout{23, 164, 206, 72, 284, 19}));
    EXPECT_FALSE(c.increaseDateEnabled);
    EXPECT_FALSE(c.increaseTimeEnabled);
    EXPECT_TRUE(c.decreaseDateEnabled);

    // The time picker widens leftwards into the gap.
    PickerWidthChange t = IncreaseTimeWindow({23, 152, 206, 72, 284, 19}, kGroup, {});
    EXPECT_EQ(t.layout, (DateLayout{23, 152, 200, 78, 284, 19}));
    EXPECT_TRUE(t.increaseTimeEnabled);
    t = IncreaseTimeWindow(t.layout, kGroup, t);
    EXPECT_EQ(t.layout, (DateLayout{23, 152, 194, 84, 284, 19}));
    EXPECT_TRUE(t.increaseTimeEnabled);
    t = IncreaseTimeWindow(t.layout, kGroup, t);
    EXPECT_EQ(t.layout, (DateLayout{23, 152, 188, 90, 284, 19}));
    EXPECT_FALSE(t.increaseTimeEnabled); // a gap of 13 less 6 would fall below 10
}

TEST(PickerLayout, NarrowingShrinksBothSidesOrFeedsTheGap) {
    PickerWidthChange c = DecreaseDateWindow(kLong, {});
    EXPECT_EQ(c.layout, (DateLayout{35, 128, 194, 72, 272, 19}));
    EXPECT_TRUE(c.increaseDateEnabled && c.increaseTimeEnabled && c.decreaseDateEnabled);

    // A gap narrower than the left margin less 10: only the facing side moves.
    const DateLayout tight{40, 140, 185, 72, 263, 19};
    EXPECT_EQ(DecreaseDateWindow(tight, {}).layout, (DateLayout{40, 128, 185, 72, 263, 19}));
    EXPECT_EQ(DecreaseTimeWindow(tight, {}).layout, (DateLayout{40, 140, 197, 60, 263, 19}));
    EXPECT_EQ(DecreaseTimeWindow(kLong, {}).layout, (DateLayout{35, 140, 206, 60, 272, 19}));

    // The decrease item goes off once the picker is narrower than 22.
    DateLayout l = kLong;
    int steps = 0;
    for (PickerWidthChange d{}; d.decreaseDateEnabled; ++steps) {
        d = DecreaseDateWindow(l, d);
        l = d.layout;
    }
    EXPECT_LT(l.DatePickerWidth, 22);
    EXPECT_GE(l.DatePickerWidth + 12, 22);
    EXPECT_EQ(steps, 10);
}

} // namespace
} // namespace zorva
