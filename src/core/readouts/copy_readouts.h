#pragma once

#include <string>

#include "core/chart/sunspot.h"
#include "core/ephemeris/calendar.h"
#include "core/readouts/readouts.h"

namespace zorva {

// What Edit > Copy Readouts puts on the clipboard: a header line naming each column with
// its unit, then one line of the values, both tab-separated and ending in a line feed, so
// that a spreadsheet takes them as a row: date and time (UT), B0, L0, P, Carrington
// rotation, and the spot's latitude, longitude, area and rotation. The values are the
// readouts as shown (their precision and rounding) without padding or degree signs; a
// value that is not measured is "-".
std::string CopyReadoutsText(const Instant& instant, const SolarParameterReadouts& parameters,
                             const SpotReadouts& spot, const std::string& areaText);

} // namespace zorva
