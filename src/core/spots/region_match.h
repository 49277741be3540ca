#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/ephemeris/daily_table.h"
#include "core/spots/spot_types.h"
#include "core/srs/srs_reader.h"

namespace zorva {

// How far a group and a region may lie apart and still be one: a few degrees beyond half
// the larger of the two's extents, never more than the widest group link.
struct RegionMatchOptions {
    double nearest = 5.0;   // degrees, for two small ones
    double farthest = 15.0; // degrees, however large they are
};

// A group of ours and the region of the summary it is.
struct GroupRegionPair {
    int32_t group = 0;              // our group's id
    std::size_t region = 0;         // index into the summary's regions
    double distance = 0;            // degrees on the Sun between their centres
    double latitudeDifference = 0;  // ours less the summary's, degrees
    double longitudeDifference = 0; // ours less the summary's (within +-180), degrees

    bool operator==(const GroupRegionPair&) const = default;
};

struct RegionMatching {
    std::vector<GroupRegionPair> pairs;  // in the order of our groups
    std::vector<int32_t> groupsOnlyOurs; // ids of groups the summary does not list
    // Regions on the near side at the instant that we did not find, and regions behind the
    // limb, which no picture can show; indices into the summary's regions.
    std::vector<std::size_t> regionsNotFound;
    std::vector<std::size_t> regionsHidden;

    bool operator==(const RegionMatching&) const = default;
};

// Matches the groups found on a picture with the regions of a Solar Region Summary by where
// they lie at the picture's instant (`now`): each region at its Carrington longitude carried
// onto the program's by `longitudeOffset` (RegionLongitudeOffset), each pair the nearest
// still free, one group to one region.
RegionMatching MatchRegions(std::span<const SpotGroup> groups, std::span<const SrsRegion> regions,
                            double longitudeOffset, const Ephemeris& now,
                            const RegionMatchOptions& options = {});

} // namespace zorva
