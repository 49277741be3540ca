#include "core/ephemeris/calendar.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

// The Gregorian rule: every fourth year, but of the century years only every fourth.
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
    // J2000.0 and the count's epoch by definition, 1957 from Meeus; the other days agree
    // with the integer formula of the next test.
    const Case cases[] = {
        {2000, 1, 1, 12, 0, 0, 2451545.0},
        {1990, 1, 0, 0, 0, 0, 2447891.5}, // day 0: the last day of December before
        {1990, 1, 1, 0, 0, 0, 2447892.5},
        {1582, 10, 15, 0, 0, 0, 2299160.5},    // the Gregorian calendar's first day
        {1957, 10, 4, 19, 26, 24, 2436116.31}, // Meeus, example 7.a
        {1600, 12, 31, 0, 0, 0, 2305812.5},
        // Before the reform the days run on in the same calendar: 4 October 1582 is ten
        // days before the 14th, which is the day before the 15th.
        {1582, 10, 4, 0, 0, 0, 2299149.5},
        // The epoch of the Julian day count: noon of 24 November 4714 BC, the year -4713,
        // in the proleptic Gregorian calendar.
        {-4713, 11, 24, 12, 0, 0, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(JulianDate(c.y, c.m, c.d, c.h, c.mi, c.s), c.jd)
            << c.y << "-" << c.m << "-" << c.d;
    }
}

// A second method: the integer formula of Fliegel and Van Flandern (Communications of the
// ACM 11, 1968, p. 657) for the proleptic Gregorian day number, on the first and last day
// of every month from 4700 BC to AD 9999; no day is skipped or repeated on the way.
TEST(Calendar, JulianDatesFollowTheIntegerFormulaInEveryYear) {
    const auto integerDay = [](int64_t y, int64_t m, int64_t d) {
        return d - 32075 + 1461 * (y + 4800 + (m - 14) / 12) / 4 +
               367 * (m - 2 - (m - 14) / 12 * 12) / 12 - 3 * ((y + 4900 + (m - 14) / 12) / 100) / 4;
    };
    double previous = JulianDate(-4701, 12, 31, 0, 0, 0);
    for (int y = -4700; y <= 9999; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const int last = DaysInMonth(y, m);
            const double first = JulianDate(y, m, 1, 0, 0, 0);
            ASSERT_EQ(first, static_cast<double>(integerDay(y, m, 1)) - 0.5) << y << "-" << m;
            ASSERT_EQ(first - previous, 1.0) << y << "-" << m;
            previous = JulianDate(y, m, last, 0, 0, 0);
            ASSERT_EQ(previous, static_cast<double>(integerDay(y, m, last)) - 0.5)
                << y << "-" << m << "-" << last;
        }
    }
}

TEST(Calendar, TimeOfDayFraction) {
    const double midnight = JulianDate(2024, 3, 1, 0, 0, 0);
    EXPECT_NEAR(JulianDate(2024, 3, 1, 23, 59, 59) - midnight, 0.99998843, 5e-9); // 86399/86400
    EXPECT_NEAR(JulianDate(2024, 3, 1, 0, 0, 1.5) - midnight, 1.5 / 86400.0, 1e-9);
    // The first of March follows the last of February in a leap year and a common one.
    EXPECT_DOUBLE_EQ(midnight - JulianDate(2024, 2, 29, 0, 0, 0), 1.0);
    EXPECT_DOUBLE_EQ(JulianDate(2023, 3, 1, 0, 0, 0) - JulianDate(2023, 2, 28, 0, 0, 0), 1.0);
}

// The dates counted on a calendar by hand.
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
