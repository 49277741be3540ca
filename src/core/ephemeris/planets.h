#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/measure/pointer.h"

namespace zorva {

// The planets that can pass in front of the Sun as seen from the Earth.
enum class InnerPlanet { Mercury, Venus };
std::string_view InnerPlanetName(InnerPlanet planet); // "Mercury", "Venus"

// An inner planet against the Sun, seen from the Earth's centre: how far it stands from
// the Sun's centre and its own radius, both in degrees, and its position angle from
// celestial north through east (true equator of date), degrees.
struct PlanetAgainstSun {
    double separation = 0;
    double positionAngle = 0;
    double radius = 0;
};

// At a UTC instant (dayFraction 0..1 of the civil day), from ERFA's planetary theory
// (eraPlan94, after Simon et al. 1994) and its Earth ephemeris (eraEpv00), the planet
// taken where its light left it. Meant for 1800-2200, as the Sun's own ephemeris.
PlanetAgainstSun InnerPlanetAt(InnerPlanet planet, int32_t year, int32_t month, int32_t day,
                               double dayFraction);

// Where the planet lies on a picture or chart turned as `frame` says, whose Sun's
// position angle P and apparent diameter `ephemeris` gives: its centre and radius in
// pixels. Nothing when it is not in front of the disk at the instant.
struct PlanetOnDisk {
    double x = 0;
    double y = 0;
    double radius = 0;
    double distance = 0; // from the disk's centre, as a share of the disk's radius
};
std::optional<PlanetOnDisk> PlaceInnerPlanet(InnerPlanet planet, const Instant& instant,
                                             const DiskFrame& frame, const Ephemeris& ephemeris);

} // namespace zorva
