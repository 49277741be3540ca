#pragma once

#include <cstdint>

#include "core/ephemeris/daily_table.h"

namespace zorva {

// The Sun seen from the Earth's centre at one instant, unrounded.
struct AccurateSun {
    double RA = 0;          // apparent right ascension, true equator and equinox of date, hours
    double Dec = 0;         // apparent declination, degrees
    double B0 = 0;          // heliographic latitude of the disk centre, degrees
    double L0 = 0;          // Carrington longitude of the disk centre, degrees in (0, 360]
    double P = 0;           // position angle of the northern rotation axis, degrees
    double DistanceAU = 0;  // Earth-Sun distance the light travelled, au
    double DiameterDeg = 0; // apparent diameter, degrees
    double Rotation = 0;    // Carrington rotations counted so far; whole when L0 reaches 360
};

// TT - UTC in seconds at a UTC instant (dayFraction 0..1 of the civil day). ERFA's
// leap-second table where it holds (1960 up to a few years past the library's release),
// the Espenak-Meeus polynomials of Delta T elsewhere.
double TTMinusUTC(int32_t year, int32_t month, int32_t day, double dayFraction);

// The Sun at a UTC instant. Meant for 1800-2200: ERFA's Earth ephemeris and the Delta T
// model both lose accuracy further out.
AccurateSun AccurateSunAt(int32_t year, int32_t month, int32_t day, double dayFraction);

// The daily record at 0h UTC of a date, unrounded; the rotation is the one in progress.
DailyRecord AccurateDailyRecord(int32_t year, int32_t month, int32_t day);

// Every day of the year from 1 January, in order; returns 365 or 366. Entries past the
// last day are cleared.
int32_t AccurateYearTable(int32_t year, DailyTable& table);

// The record as the tables print it: RA and Dec to 6 decimals, B0, L0 and P to 2, the
// diameter seconds to 1. The seconds are not carried into the minutes, so 31' 59.97"
// becomes 31' 60.0".
DailyRecord RoundToTablePrecision(const DailyRecord& record);

} // namespace zorva
