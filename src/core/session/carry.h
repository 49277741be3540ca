#pragma once

#include <cstdint>

#include "core/ephemeris/calendar.h"

namespace zorva {

// A date and a time of day as the pickers show them.
struct CalendarDate {
    int32_t year = 2000;
    int32_t month = 1;
    int32_t day = 1;

    bool operator==(const CalendarDate&) const = default;
};

struct TimeOfDay {
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;

    bool operator==(const TimeOfDay&) const = default;
};

// The years the date picker spans; an instant outside them cannot be shown.
inline constexpr int32_t kFirstPickerYear = kFirstSupportedYear;
inline constexpr int32_t kLastPickerYear = kLastSupportedYear;

// The date `days` days after (or before) a date.
CalendarDate ShiftDate(const CalendarDate& date, int32_t days);

// A picker's fields wrap inside their own range when spun: the day of 31 January spun up
// shows 1 January. The date the observer meant carries the wrap into the next larger
// field: 1 February. `previous` is the date before the spin, `picked` what the picker shows
// now. Only a spun field can wrap; a date typed or set outright is taken as it is and never
// goes through here.
CalendarDate CarrySpunDate(const CalendarDate& previous, const CalendarDate& picked);

// The same for the time picker: a wrapped second or minute carries into the minute or
// hour, and a wrapped hour into the date (`dayShift` is -1, 0 or +1).
struct CarriedTime {
    TimeOfDay time;
    int32_t dayShift = 0;

    bool operator==(const CarriedTime&) const = default;
};
CarriedTime CarrySpunTime(const TimeOfDay& previous, const TimeOfDay& picked);

} // namespace zorva
