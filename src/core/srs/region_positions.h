#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/chart/projection.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/measure/pointer.h"
#include "core/srs/srs_reader.h"

namespace zorva {

// The most frequent implied central-meridian longitude of the regions; of several equally
// frequent ones, the one listed first. Nothing without regions.
std::optional<int32_t> ReferenceLongitude(std::span<const SrsRegion> regions);

// What carries the summary's longitudes onto the program's own L0: L0 at the summary's
// epoch less the reference longitude (0 without regions). It changes only with the
// summary, so it is worked out once when one is loaded.
double RegionLongitudeOffset(std::span<const SrsRegion> regions, double epochL0);

// Where a region lies at the observation instant.
struct RegionPlace {
    double CentralDistance = 0; // degrees from the central meridian now, east positive
    bool Visible = false;       // false behind the limb: nothing is drawn
    DiskPosition Disk;          // rho, r and pa; r and pa only when visible

    bool operator==(const RegionPlace&) const = default;
};

// Each region keeps its Carrington longitude; its distance from the central meridian is
// L0 now less Lo less the offset, projected with the current B0 and apparent diameter.
RegionPlace PlaceRegion(const SrsRegion& region, double offset, const Ephemeris& now);
std::vector<RegionPlace> PlaceRegions(std::span<const SrsRegion> regions, double offset,
                                      const Ephemeris& now);

// The whole pixel of a visible region: the unrounded pixel of its position, turned by the
// frame's rotation, taken down to the next lower integer. Nothing behind the limb or
// beyond any image.
std::optional<Pixel> RegionPixel(const DiskFrame& frame, const RegionPlace& place);

// A visible region on the chart in millimetres from the disk centre, x to the right and
// y upwards as displayed.
DiskPoint RegionChartPoint(const RegionPlace& place, const DiskFrame& frame);

} // namespace zorva
