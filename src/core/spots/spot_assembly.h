#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/ephemeris/daily_table.h"
#include "core/measure/pointer.h"
#include "core/spots/spot_types.h"

namespace zorva {

// Where a pixel of a picture lies on the Sun: heliographic latitude, Carrington longitude,
// distance from the central meridian (west positive) and mu; nothing off the disk.
struct SunPlace {
    double latitude = 0;
    double longitude = 0;
    double centralDistance = 0;
    double mu = 1;
};
std::optional<SunPlace> PlaceOnSun(const DiskFrame& frame, const Ephemeris& ephemeris, double x,
                                   double y);

// Degrees west of the central meridian for a Carrington longitude: L - L0 within +-180.
double WestOfCentre(double longitude, double L0);

// How the spots were numbered: the input spot each numbered spot came from (spot id n + 1
// from spotFrom[n]), and the group key each numbered group came from.
struct SpotNumbering {
    std::vector<std::size_t> spotFrom;
    std::vector<int32_t> groupFrom;
};

// Makes a detection whole from its spots and patches: the spots of `d` (each placed on
// the Sun, with `patch` its index in d.patches; `id` and `group` are set here) gathered in
// groups by `groupKey` (one key a spot, any numbers), the groups summed, drawn at the
// centre of their pixels and placed on the Sun at the mean of their spots' places weighted
// by area, groups and spots numbered from east to west, each patch given its
// group and spots, and the Wolf number counted with its northern and southern parts.
// Patches no spot lies in are dropped.
SpotNumbering AssembleDetection(SpotDetection& d, std::span<const int32_t> groupKey,
                                const Ephemeris& ephemeris);

} // namespace zorva
