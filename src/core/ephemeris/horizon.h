#pragma once

#include <cstdint>

#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"

namespace zorva {

struct Observer {
    double latitude = 51.5; // degrees, north positive
    double longitude = 0.5; // degrees, east positive, -180..180
};

// Greenwich sidereal time in hours.
double SiderealTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                    int32_t second);

struct HorizonCoordinates {
    double altitude = 0; // degrees, geometric (no refraction)
    double azimuth = 0;  // degrees from north through east
};

HorizonCoordinates HorizonPosition(double latitude, double longitude, double ra, double dec,
                                   double gst);

// Parallactic angle in degrees; negative while the Sun is east of the meridian.
double ComputeParallacticAngle(double latitude, double dec, double altitude, double azimuth);

// Altitude, azimuth and parallactic angle of the record's RA and Dec for the observer.
void ComputeHorizon(const Instant& instant, const Observer& observer, Ephemeris& record);

// The observer boxes' rules: a latitude is taken within -90..90; a longitude within
// -180..360, folded into -180..180. Nothing when out of range.
bool AcceptObserverLatitude(double value, double& latitude);
bool AcceptObserverLongitude(double value, double& longitude);

// The ephemeris of an instant: interpolation in the table, then the horizon coordinates.
void UpdateEphemeris(int32_t tableYear, const DailyTable& table, int32_t tableDays,
                     const Instant& instant, const Observer& observer, Ephemeris& record,
                     const std::filesystem::path& folder = std::filesystem::path("."));

// The ephemeris of an instant and observer from a daily table of that year of its own,
// loaded from `folder` as the observation loads its own; `source`, when given, says where
// the table came from and what was wrong with a year file.
Ephemeris EphemerisAt(const Instant& instant, const Observer& observer,
                      const std::filesystem::path& folder = std::filesystem::path("."),
                      YearTableSource* source = nullptr);

} // namespace zorva
