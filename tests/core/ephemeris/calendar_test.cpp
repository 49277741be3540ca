#include "core/ephemeris/calendar.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

TEST(Calendar, LeapYears) {
    struct Case {
        int year;
        bool leap;
    };
    for (const Case c : {Case{1900, false},
                         {2000, true},
                         {2004, true},
                         {2100, false},
                         {1999, false},
                         {-4, true},
                         {-100, false},
                         {-400, true}}) {
        EXPECT_EQ(IsLeapYear(c.year), c.leap) << c.year;
    }
}

TEST(Calendar, JulianDates) {
    struct Case {
        int y, m, d, h, mi;
        double s;
        double jd;
    };
    const Case cases[] = {
        {2000, 1, 1, 12, 0, 0, 2451545.0},
        {1990, 1, 0, 0, 0, 0, 2447891.5}, // day 0: the last day of December before
        {1990, 1, 1, 0, 0, 0, 2447892.5},
        {1582, 10, 15, 0, 0, 0, 2299160.5}, // the Gregorian calendar's first day
        {1582, 10, 4, 0, 0, 0, 2299159.5},  // ... follows the Julian 4 October
        {1957, 10, 4, 19, 26, 24, 2436116.31},
        {-1000, 7, 12, 12, 0, 0, 1356001.0},
        {-4712, 1, 1, 12, 0, 0, 0.0},
        {1600, 12, 31, 0, 0, 0, 2305812.5},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(JulianDate(c.y, c.m, c.d, c.h, c.mi, c.s), c.jd)
            << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(Calendar, TimeOfDayFraction) {
    const double midnight = JulianDate(2024, 3, 1, 0, 0, 0);
    EXPECT_NEAR(JulianDate(2024, 3, 1, 23, 59, 59) - midnight, 0.99998843, 5e-9);
    EXPECT_NEAR(JulianDate(2024, 3, 1, 0, 0, 1.5) - midnight, 1.5 / 86400.0, 1e-9);
    // The first of March follows the last of February in a leap year and a common one.
    EXPECT_DOUBLE_EQ(midnight - JulianDate(2024, 2, 29, 0, 0, 0), 1.0);
    EXPECT_DOUBLE_EQ(JulianDate(2023, 3, 1, 0, 0, 0) - JulianDate(2023, 2, 28, 0, 0, 0), 1.0);
}

TEST(Calendar, AddDaysCrossesMonthsAndYears) {
    struct Case {
        int y, m, d, n, ey, em, ed;
    };
    const Case cases[] = {
        {2024, 1, 31, 1, 2024, 2, 1},      {2024, 2, 28, 1, 2024, 2, 29},
        {2023, 2, 28, 1, 2023, 3, 1},      {2014, 12, 31, 1, 2015, 1, 1},
        {2015, 1, 1, -1, 2014, 12, 31},    {2000, 3, 1, -1, 2000, 2, 29},
        {1999, 12, 31, 366, 2000, 12, 31},
    };
    for (const Case& c : cases) {
        int y = c.y, m = c.m, d = c.d;
        AddDays(y, m, d, c.n);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.ey * 10000 + c.em * 100 + c.ed)
            << c.y << "-" << c.m << "-" << c.d << " + " << c.n;
    }
}

} // namespace
} // namespace zorva
