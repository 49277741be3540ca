#include "core/session/carry.h"

#include "core/ephemeris/calendar.h"

namespace zorva {
namespace {

constexpr int32_t kSecondsPerMinute = 60;
constexpr int32_t kSecondsPerHour = 3600;
constexpr int32_t kSecondsPerDay = 86400;
constexpr int32_t kLastMinuteOrSecond = 59;

} // namespace

CalendarDate ShiftDate(const CalendarDate& date, int32_t days) {
    CalendarDate d = date;
    AddDays(d.year, d.month, d.day, days);
    return d;
}

CalendarDate CarrySpunDate(const CalendarDate& previous, const CalendarDate& picked) {
    const int32_t length = DaysInMonth(previous.year, previous.month);
    // Each test looks at the dates before and after the spin; a year wraps only when no
    // day wrapped.
    if (previous.day == length && picked.day == 1) return ShiftDate(picked, length);
    if (previous.day == 1 && picked.day == length) return ShiftDate(picked, -length);
    if (previous.month == 12 && picked.month == 1) {
        return ShiftDate(picked, DaysInYear(previous.year));
    }
    if (previous.month == 1 && picked.month == 12) {
        return ShiftDate(picked, -DaysInYear(previous.year));
    }
    return picked;
}

CarriedTime CarrySpunTime(const TimeOfDay& previous, const TimeOfDay& picked) {
    int32_t shift = 0;
    if (previous.second == kLastMinuteOrSecond && picked.second == 0) shift += kSecondsPerMinute;
    if (previous.minute == kLastMinuteOrSecond && picked.minute == 0) shift += kSecondsPerHour;
    if (previous.second == 0 && picked.second == kLastMinuteOrSecond) shift -= kSecondsPerMinute;
    if (previous.minute == 0 && picked.minute == kLastMinuteOrSecond) shift -= kSecondsPerHour;
    // The picker keeps only the time of day: a carry past midnight wraps round.
    int32_t t = picked.hour * kSecondsPerHour + picked.minute * kSecondsPerMinute + picked.second;
    t = ((t + shift) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
    CarriedTime out;
    out.time = {t / kSecondsPerHour, t % kSecondsPerHour / kSecondsPerMinute,
                t % kSecondsPerMinute};
    constexpr int32_t kLastHour = 23;
    if (previous.hour == kLastHour && out.time.hour == 0) {
        out.dayShift = 1;
    } else if (previous.hour == 0 && out.time.hour == kLastHour) {
        out.dayShift = -1;
    }
    return out;
}

} // namespace zorva
