#pragma once

#include <optional>
#include <string_view>

#include "core/ephemeris/calendar.h"

namespace zorva {

// The observation instant an image's bare file name (extension included) carries, in
// one of two schemes:
//   "dyymmdd.ext" (exactly 11 characters): that day at 12:00:00 UT; yy of 90 and more is
//   19yy, below 90 it is 20yy;
//   "yyyymmdd_hhmm_mdi_igr..." ("mdi_igr" as characters 15 to 21): that day and minute.
// Nothing for a name of neither scheme, and nothing for one whose date or time fields are
// not all digits or do not make a real date and time of day: such a name simply gives no
// date.
std::optional<Instant> InstantFromImageName(std::string_view name);

} // namespace zorva
