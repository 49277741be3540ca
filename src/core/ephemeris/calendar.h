#pragma once

#include <cstdint>

namespace zorva {

// Dates are in the proleptic Gregorian calendar everywhere, before 15 October 1582 too (as
// ISO 8601:2004, 3.2.1, counts them and as the date picker shows them): one rule for the
// length of a month, the step from one day to the next and the Julian date, so that days
// run on without a gap or a repeat in every year the program accepts.

// The years the program works in: the date picker spans them, and an instant a file
// gives outside them is not taken.
inline constexpr int32_t kFirstSupportedYear = 1600;
inline constexpr int32_t kLastSupportedYear = 9999;

// Gregorian leap-year rule; remainders keep the sign of the year so negative years
// follow the same pattern.
bool IsLeapYear(int32_t year);

// Length of a month (1..12) in the given year.
int32_t DaysInMonth(int32_t year, int32_t month);
// Length of the year: 366 days in a leap year, else 365.
int32_t DaysInYear(int32_t year);

// Julian date of a proleptic Gregorian calendar date and a time of day (Universal Time),
// by the method of Meeus, Astronomical Algorithms (2nd ed., 1998), chapter 7, with the
// Gregorian correction for every date. Dates before the reform are not the Julian
// calendar's: 4 October 1582 here is the day the Julian calendar called 24 September. The
// day is not checked against the month: day 0 of January is the last day of December
// before.
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

// UTC's leap second, 23:59:60 and any fraction of it, is taken as 00:00:00 of the next day:
// the program's days have 86400 seconds, and that is the nearest second of them. Every
// reader of a date and time (an instant typed on the command line, a camera's time, a FITS
// header, a file name) takes it so and says so with this note.
inline constexpr const char* LeapSecondNote =
    "23:59:60, a leap second, is taken as 00:00:00 of the next day";
// Whether a time of day is the leap second, 23:59:60.
inline bool IsLeapSecond(int32_t hour, int32_t minute, int32_t second) {
    constexpr int32_t kLastHour = 23, kLastMinute = 59, kLeapSecond = 60;
    return hour == kLastHour && minute == kLastMinute && second == kLeapSecond;
}
// The instant the leap second of a day is taken as: 00:00:00 of the next day.
Instant AfterLeapSecond(Instant day);

} // namespace zorva
