#pragma once

#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/measure/pointer.h"
#include "core/spots/spot_types.h"

namespace zorva {

// Takes out of the spots found (not yet numbered) a planet crossing the disk at the
// picture's instant: Mercury or Venus where the ephemeris puts it, seen as a round dark
// patch of the planet's size there. Each planet so seen is noted in d.transits, and the
// spots of its patch are no longer counted.
void TakeOutTransits(SpotDetection& d, const DiskFrame& frame, const Ephemeris& ephemeris,
                     const Instant& instant);

} // namespace zorva
