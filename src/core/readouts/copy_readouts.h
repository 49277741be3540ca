#pragma once

#include <string>

#include "core/chart/sunspot.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/readouts/readouts.h"
#include "core/settings/settings_file.h"

namespace zorva {

// What Edit > Copy Readouts puts on the clipboard: a header line naming each column with
// its unit, then one line of the values, both tab-separated and ending in a line feed, so
// that a spreadsheet takes them as a row: date and time (UT), B0, L0, P, Carrington
// rotation, and the spot's latitude, longitude, area and rotation. Each value is rounded
// as its readout is (the chosen precision, halves upwards, 360 degrees of longitude as
// 0), signed where its readout is (B0, P and the latitude), without padding or degree
// signs; a value that is not measured is "-". The spot's area is the one in `spot`; the
// precisions are the options'.
std::string CopyReadoutsText(const Instant& instant, const Ephemeris& ephemeris,
                             const Options& options, const SpotState& spot);

} // namespace zorva
