#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/record/observation.h"

namespace zorva {

// A date as a year with its fraction: the middle of 2 July 2011 is 2011.5.
double DecimalYear(const CalendarDay& day);

// The activity curve: the day's R of each observing day, and each month's mean, placed at
// the middle of its month.
struct ActivityPoint {
    double year = 0; // DecimalYear
    double wolf = 0;
    int32_t days = 1; // the observing days a monthly mean stands on

    bool operator==(const ActivityPoint&) const = default;
};
struct ActivityCurve {
    std::vector<ActivityPoint> daily;
    std::vector<ActivityPoint> monthly;
};
// From the observations of the days (ObservationsOfTheDays), in order of the days.
ActivityCurve MakeActivityCurve(std::span<const SunspotObservation> days);

// The butterfly diagram: each group of each day's observation that has a latitude, at its
// day, with its area (0 when not known).
struct ButterflyPoint {
    double year = 0;
    double latitude = 0;
    double areaMsh = 0;

    bool operator==(const ButterflyPoint&) const = default;
};
std::vector<ButterflyPoint> MakeButterfly(std::span<const SunspotObservation> days);

} // namespace zorva
