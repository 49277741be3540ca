// Our groups beside NOAA's regions: which is which, and what either side lacks.
#include "core/spots/region_match.h"

#include <algorithm>
#include <cmath>

#include "core/spots/spot_groups.h"
#include "core/srs/region_positions.h"

namespace zorva {

namespace {

constexpr double kHalfCircle = 180.0;
constexpr double kFullCircle = 360.0;

double Wrapped(double degrees) {
    double d = std::fmod(degrees, kFullCircle);
    if (d > kHalfCircle) d -= kFullCircle;
    if (d <= -kHalfCircle) d += kFullCircle;
    return d;
}

} // namespace

RegionMatching MatchRegions(std::span<const SpotGroup> groups, std::span<const SrsRegion> regions,
                            double longitudeOffset, const Ephemeris& now,
                            const RegionMatchOptions& options) {
    RegionMatching matching;
    std::vector<std::size_t> visible;
    for (std::size_t r = 0; r < regions.size(); ++r) {
        (PlaceRegion(regions[r], longitudeOffset, now).Visible ? visible : matching.regionsHidden)
            .push_back(r);
    }
    struct Candidate {
        std::size_t group;
        std::size_t region;
        GroupRegionPair pair;
    };
    std::vector<Candidate> candidates;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (const std::size_t r : visible) {
            const SrsRegion& region = regions[r];
            const double longitude = region.Lo + longitudeOffset;
            GroupRegionPair pair;
            pair.group = groups[g].id;
            pair.region = r;
            pair.distance = HeliographicDistance(groups[g].latitude, groups[g].longitude,
                                                 region.Latitude, longitude);
            pair.latitudeDifference = groups[g].latitude - region.Latitude;
            pair.longitudeDifference = Wrapped(groups[g].longitude - longitude);
            const double extent =
                std::max(groups[g].extent, static_cast<double>(region.LongExtent.value_or(0)));
            const double reach = std::min(options.farthest, options.nearest + extent / 2);
            if (pair.distance <= reach) candidates.push_back({g, r, pair});
        }
    }
    // The closest pairs first, each group and region used once.
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const Candidate& a, const Candidate& b) { return a.pair.distance < b.pair.distance; });
    std::vector<bool> groupUsed(groups.size(), false), regionUsed(regions.size(), false);
    for (const Candidate& c : candidates) {
        if (groupUsed[c.group] || regionUsed[c.region]) continue;
        groupUsed[c.group] = regionUsed[c.region] = true;
        matching.pairs.push_back(c.pair);
    }
    std::sort(matching.pairs.begin(), matching.pairs.end(),
              [](const GroupRegionPair& a, const GroupRegionPair& b) { return a.group < b.group; });
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (!groupUsed[g]) matching.groupsOnlyOurs.push_back(groups[g].id);
    }
    for (const std::size_t r : visible) {
        if (!regionUsed[r]) matching.regionsNotFound.push_back(r);
    }
    return matching;
}

} // namespace zorva
