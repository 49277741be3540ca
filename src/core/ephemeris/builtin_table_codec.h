#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ephemeris/daily_table.h"

namespace zorva {

// The compact text the built-in daily tables are kept in, one string a year. A record is
// eight whole numbers at the tables' precision (RA in millionths of an hour, Dec in
// millionths of a degree, B0, L0 and P in hundredths, the diameter's minutes and tenths
// of seconds, the rotation). Each number is stored as its difference from a prediction
// out of the days before, so a smooth column costs one or two letters a day. The dates
// are not stored: a year's records run from 1 January, one a day.

// The year's records, which must already be at table precision (RoundToTablePrecision).
std::string EncodeYearTable(std::span<const DailyRecord> days);

struct DecodedYear {
    std::vector<DailyRecord> days;
    std::string error; // why the text is not a whole year, empty when it is
};

// Reads a year back from its text; never reads past the end of `code`.
DecodedYear DecodeYearTable(int32_t year, std::string_view code);

} // namespace zorva
