#include <gtest/gtest.h>

#include "core/session/carry.h"

namespace zorva {
namespace {

TEST(Carry, SpunDateFieldsCarryIntoTheNextField) {
    struct Case {
        CalendarDate previous, picked, expected;
    };
    // `picked` is what a wrapping picker shows after one field was spun.
    const Case cases[] = {
        {{2000, 1, 31}, {2000, 1, 1}, {2000, 2, 1}},     // day of 31 January up
        {{2000, 2, 1}, {2000, 2, 29}, {2000, 1, 31}},    // day of 1 February down
        {{2000, 3, 1}, {2000, 3, 31}, {2000, 2, 29}},    // 1 March down, leap year
        {{1900, 3, 1}, {1900, 3, 31}, {1900, 2, 28}},    // 1900 is no leap year
        {{2001, 2, 28}, {2001, 2, 1}, {2001, 3, 1}},     // last day of February up
        {{2000, 12, 15}, {2000, 1, 15}, {2001, 1, 15}},  // month of December up
        {{2000, 1, 15}, {2000, 12, 15}, {1999, 12, 15}}, // month of January down
        {{2000, 12, 31}, {2000, 12, 1}, {2001, 1, 1}},   // day of 31 December up
        {{2011, 6, 10}, {2011, 6, 11}, {2011, 6, 11}},   // no wrap, no carry
        {{2011, 6, 10}, {2011, 7, 10}, {2011, 7, 10}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CarrySpunDate(c.previous, c.picked), c.expected)
            << c.previous.year << "-" << c.previous.month << "-" << c.previous.day;
    }
}

TEST(Carry, SpunTimeFieldsCarryIntoTheHourAndTheDate) {
    struct Case {
        TimeOfDay previous, picked;
        CarriedTime expected;
    };
    const Case cases[] = {
        {{23, 59, 59}, {23, 59, 0}, {{0, 0, 0}, 1}},  // seconds up past midnight
        {{0, 0, 0}, {0, 0, 59}, {{23, 59, 59}, -1}},  // seconds down past midnight
        {{10, 0, 0}, {10, 59, 0}, {{9, 59, 0}, 0}},   // minutes of 10:00 down
        {{10, 0, 0}, {10, 0, 59}, {{9, 59, 59}, 0}},  // seconds of 10:00:00 down
        {{10, 59, 59}, {10, 59, 0}, {{11, 0, 0}, 0}}, // seconds up into the hour
        {{23, 30, 0}, {0, 30, 0}, {{0, 30, 0}, 1}},   // the hour itself wraps
        {{0, 30, 0}, {23, 30, 0}, {{23, 30, 0}, -1}}, {{12, 0, 0}, {12, 0, 1}, {{12, 0, 1}, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CarrySpunTime(c.previous, c.picked), c.expected)
            << c.previous.hour << ":" << c.previous.minute << ":" << c.previous.second;
    }
}

} // namespace
} // namespace zorva
