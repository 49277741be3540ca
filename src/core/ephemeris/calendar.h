#pragma once

#include <cstdint>

namespace zorva {

// The years the program works in: the date picker spans them, and an instant a file
// gives outside them is not taken.
inline constexpr int32_t kFirstSupportedYear = 1600;
inline constexpr int32_t kLastSupportedYear = 9999;

// Gregorian leap-year rule; remainders keep the sign of the year so negative years
// follow the same pattern.
bool IsLeapYear(int32_t year);

// Length of a month (1..12) in the given year.
int32_t DaysInMonth(int32_t year, int32_t month);

// Julian date of a calendar date and a time of day (Universal Time). The day is not
// checked against the month: day 0 of January is the last day of December before.
double JulianDate(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                  double second);

// One instant in Universal Time, as the window holds it.
struct Instant {
    int32_t year = 2000;
    int32_t month = 1;
    int32_t day = 1;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;

    bool operator==(const Instant&) const = default;
};

inline double JulianDate(const Instant& t) {
    return JulianDate(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// The calendar date `days` days after (or before) the given date.
void AddDays(int32_t& year, int32_t& month, int32_t& day, int32_t days);

} // namespace zorva
