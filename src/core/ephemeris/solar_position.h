#pragma once

#include <cstdint>

#include "core/ephemeris/daily_table.h"

namespace zorva {

// The Sun's ecliptic longitude (degrees, 0..360) from a fixed elliptical orbit of epoch
// 1990.0, solved with Kepler's equation.
double SunLongitude(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                    double second);

struct Equatorial {
    double RA = 0;  // hours, 0..24
    double Dec = 0; // degrees
};

// Right ascension and declination of the Sun at ecliptic longitude `lambda`.
Equatorial SunEquatorial(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                         double second, double lambda);

// One daily record at 0h UT from the orbit and the Carrington elements.
DailyRecord ComputeDailyRecord(int32_t year, int32_t month, int32_t day);

// Moves each rotation change of a computed year onto the day L0 restarts.
void FixUpRotations(DailyTable& table, int32_t count);

// Every day of a year by the computed path, rotations fixed up; returns 365 or 366.
int32_t ComputeYearTable(int32_t year, DailyTable& table);

} // namespace zorva
