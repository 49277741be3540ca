#include "core/ephemeris/builtin_tables.h"

#include <algorithm>
#include <iterator>

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
    const auto first = std::lower_bound(
        std::begin(kBuiltinDays), std::end(kBuiltinDays), year,
        [](const DailyRecord& r, int32_t y) { return r.Year < y; });
    const auto last = std::upper_bound(
        first, std::end(kBuiltinDays), year,
        [](int32_t y, const DailyRecord& r) { return y < r.Year; });
    return {first, last};
}

} // namespace zorva
