#pragma once

#include <cstdint>

#include "core/ephemeris/calendar.h"

namespace zorva {

// The units the step keys move the instant by.
enum class StepUnit { Minute, Hour, Day };

// The instant `count` units later (earlier when negative). A step carries through the end
// of a day, month and year the way a spun picker carries: 23:30 on 31 December plus an
// hour is 00:30 on 1 January of the next year; a day keeps the time of day.
Instant StepInstant(const Instant& instant, StepUnit unit, int32_t count);

} // namespace zorva
