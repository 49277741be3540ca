#include "core/ephemeris/calendar.h"

#include <cmath>

namespace zorva {

bool IsLeapYear(int32_t year) {
    if (year % 100 != 0) return year % 4 == 0;
    return year % 400 == 0;
}

int32_t DaysInMonth(int32_t year, int32_t month) {
    static constexpr int32_t kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && IsLeapYear(year)) return 29;
    return kLength[month - 1];
}

int32_t DaysInYear(int32_t year) {
    constexpr int32_t kCommonYear = 365;
    return IsLeapYear(year) ? kCommonYear + 1 : kCommonYear;
}

namespace {
int64_t FloorToInt(double v) {
    return static_cast<int64_t>(std::floor(v));
}
} // namespace

double JulianDate(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                  double second) {
    // Wide enough for the year before the smallest and the month after the largest.
    int64_t y = year;
    int64_t mm = month;
    if (month == 1 || month == 2) {
        y = int64_t{year} - 1;
        mm = int64_t{month} + 12;
    }
    // The Gregorian correction for every date: the calendar is the same one IsLeapYear and
    // DaysInMonth count in, so consecutive dates are always one day apart.
    const int64_t a = FloorToInt(y * 0.01);
    const int64_t b = 2 - a + FloorToInt(static_cast<double>(a) * 0.25);
    // Before year 1 the -0.75 only lands on the right day when cut towards zero: flooring
    // it as well would put most dates BC one day early.
    const int64_t c =
        y < 0 ? static_cast<int64_t>(std::trunc(365.25 * y - 0.75)) : FloorToInt(365.25 * y);
    // 30.60001, not 30.6: keeps 30.6 * 5 and friends from landing a hair below an integer.
    const int64_t e = FloorToInt(30.60001 * (mm + 1));

    // The time of day is summed at extended precision, as the tables were made.
    const long double fraction =
        (hour + minute / 60.0L + static_cast<long double>(second) / 3600.0L) / 24.0L;
    long double jd = static_cast<long double>(b + c + e);
    jd += day;
    jd += fraction;
    jd += 1720994.5L;
    return static_cast<double>(jd);
}

void AddDays(int32_t& year, int32_t& month, int32_t& day, int32_t days) {
    while (days > 0) {
        if (day < DaysInMonth(year, month)) {
            ++day;
        } else {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
        --days;
    }
    while (days < 0) {
        if (day > 1) {
            --day;
        } else {
            if (--month < 1) {
                month = 12;
                --year;
            }
            day = DaysInMonth(year, month);
        }
        ++days;
    }
}

Instant AfterLeapSecond(Instant day) {
    AddDays(day.year, day.month, day.day, 1);
    day.hour = day.minute = day.second = 0;
    return day;
}

} // namespace zorva
