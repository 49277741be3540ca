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

} // namespace zorva
