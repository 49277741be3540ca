#include "core/ephemeris/builtin_tables.h"

#include <algorithm>

namespace zorva {
namespace {

// Every day of 1990-2014 in date order; written by tools/gen_builtin_tables.cpp.
constexpr DailyRecord kBuiltinDays[] = {
#include "core/ephemeris/builtin_tables_data.inc"
};

} // namespace

std::span<const DailyRecord> BuiltinYear(int32_t year) {
    // The records are sorted by date, so one year is one contiguous run (empty when the
    // year is not there).
    const auto days = std::ranges::equal_range(kBuiltinDays, year, {}, &DailyRecord::Year);
    return {days.begin(), days.end()};
}

} // namespace zorva
