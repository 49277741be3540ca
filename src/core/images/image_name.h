#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/ephemeris/calendar.h"

namespace zorva {

// The observation instant an image's bare file name (extension included) carries, UT, in
// the first of these schemes that gives a real date and time:
//   "dyymmdd.ext" (exactly 11 characters): that day at 12:00:00; yy of 90 and more is 19yy,
//   below 90 it is 20yy;
// and anywhere in the name, the digits not run on by other digits on either side:
//   "YYYY_MM_DD__hh_mm_ss_fff" (Helioviewer's, the milliseconds optional);
//   "YYYY-MM-DDThh:mm:ss" (ISO 8601, a fraction of the second after it optional);
//   "YYYYMMDDThhmmss";
//   "YYYYMMDD_hhmmss";
//   "YYYYMMDD_hhmm" (so "yyyymmdd_hhmm_mdi_igr..." too);
//   "YYYYMMDD" alone: that day at 12:00:00, with a note saying so.
// A fraction of a second is rounded to the nearest second, a half upwards, and the leap
// second 23:59:60 is 00:00:00 of the next day, with a note. Years run from 1600 to 9999; a
// real date and time whose year lies outside is passed over with a note.
// Digits whose year lies within but whose month, day or time of day do not exist (month
// 13, day 32, hour 25) are passed over with a note; the day of such a name is still taken
// at noon when it is a real day.
struct NameDate {
    std::optional<Instant> instant;
    std::string note; // empty, or one line for the status bar
};
NameDate DateFromImageName(std::string_view name);

// The instant alone.
std::optional<Instant> InstantFromImageName(std::string_view name);

} // namespace zorva
