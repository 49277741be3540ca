#pragma once

#include <cstdint>
#include <span>

#include "core/ephemeris/daily_table.h"

namespace zorva {

inline constexpr int32_t kFirstBuiltinYear = 1990;
inline constexpr int32_t kLastBuiltinYear = 2050;

// The built-in daily table of a year 1990-2050 (empty for any other year).
std::span<const DailyRecord> BuiltinYear(int32_t year);

} // namespace zorva
