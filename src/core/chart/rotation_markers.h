#pragma once

#include <cstdint>

#include "core/chart/chart_geometry.h"
#include "core/chart/projection.h"
#include "core/chart/sunspot.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"

namespace zorva {

// The two markers that follow the located spot through time: the Carrington marker
// keeps the spot's Carrington longitude, the differential marker moves it with the
// latitude-dependent rotation. Positions are millimetres from the disk centre as
// displayed (x right, y up).
struct MarkerState {
    bool CarrMarkerShown = false;
    bool DiffMarkerShown = false;
    double CarrRefLong = 0; // spot longitude captured when the Carrington marker started
    bool CarrRefSet = false;
    double CarrMarkerX = 0;
    double CarrMarkerY = 0;
    bool CarrMarkerFarSide = false; // behind the limb or in the limb band: drawn hollow
    double DiffMarkerX = 0;
    double DiffMarkerY = 0;
    bool DiffMarkerFarSide = false;

    bool operator==(const MarkerState&) const = default;
};

// How often the differential longitude is folded back into 0..360 each way: a date step
// moves it by at most a year of drift, a time step by at most a day.
inline constexpr int DateFoldLimit = 3;
inline constexpr int TimeFoldLimit = 1;

// A point put on the geometric limb (r = 1) if it lies on the near hemisphere; D is not
// used. Beyond the geometric limb only rho is written (FarSide).
void ProjectLimbPoint(double lat, double dlong, double D, double b0, DiskPosition& out);

// The marker position of a spot at Carrington longitude `lon` and latitude `lat`: on
// the disk if visible, else its mirror image through the disk, else on the limb. x and
// y keep their values in the marginal case that no stage places the point.
void PlaceMarker(double lon, double lat, const Ephemeris& ephemeris, const DiskFrame& frame,
                 double& x, double& y, bool& farSide);

// Carries the shown markers from `previous` to `current` (the ephemeris is already that
// of `current`). Moves SpotLong by the differential drift and sets SpotRotation; nothing
// moves while the spot is off the disk.
void CarryRotationMarkers(const Instant& previous, const Instant& current,
                          const Ephemeris& ephemeris, const DiskFrame& frame, SpotState& spot,
                          MarkerState& markers, int foldLimit);

} // namespace zorva
