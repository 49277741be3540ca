// Sunspot groups by single linkage on the sphere: a small group gathers what lies within a
// few degrees of it, a large one reaches further, as the observers who draw groups judge.
#include "core/spots/spot_groups.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/common/angles.h"

namespace zorva {

using namespace degrees;

double HeliographicDistance(double lat1, double long1, double lat2, double long2) {
    // The haversine form keeps its precision for the small separations within a group.
    const double sLat = Sin((lat2 - lat1) / 2);
    const double sLong = Sin((long2 - long1) / 2);
    const double h = std::clamp(sLat * sLat + Cos(lat1) * Cos(lat2) * sLong * sLong, 0.0, 1.0);
    return 2 * Asin(std::sqrt(h));
}

double SpotRadiusDegrees(double areaMsh) {
    constexpr double kPerHemisphere = 1e6;
    const double covered = std::clamp(areaMsh / kPerHemisphere, 0.0, 1.0);
    return Acos(1 - covered);
}

namespace {

int32_t Root(std::vector<int32_t>& parent, int32_t i) {
    while (parent[static_cast<std::size_t>(i)] != i) {
        const auto up = static_cast<std::size_t>(parent[static_cast<std::size_t>(i)]);
        parent[static_cast<std::size_t>(i)] = parent[up];
        i = parent[static_cast<std::size_t>(i)];
    }
    return i;
}

} // namespace

SpotGrouping GroupSpots(std::span<const SpotPlace> spots, double smallestLink, double largestLink) {
    const std::size_t n = spots.size();
    // The edge-to-edge distance of a pair; worked out when wanted, as a table of every pair
    // would grow with the square of the spots.
    const auto centres = [&spots](std::size_t i, std::size_t j) {
        return HeliographicDistance(spots[i].latitude, spots[i].longitude, spots[j].latitude,
                                    spots[j].longitude);
    };
    const auto gap = [&](std::size_t i, std::size_t j) {
        return std::max(0.0, centres(i, j) - spots[i].radius - spots[j].radius);
    };
    std::vector<int32_t> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    std::vector<double> extent(n, 0.0);
    const auto measure = [&] {
        // A group's extent: its widest pair of edges, or a lone spot's diameter.
        std::fill(extent.begin(), extent.end(), 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            const auto r = static_cast<std::size_t>(Root(parent, static_cast<int32_t>(i)));
            extent[r] = std::max(extent[r], 2 * spots[i].radius);
            for (std::size_t j = i + 1; j < n; ++j) {
                if (Root(parent, static_cast<int32_t>(j)) != static_cast<int32_t>(r)) continue;
                extent[r] = std::max(extent[r], centres(i, j) + spots[i].radius + spots[j].radius);
            }
        }
    };
    const auto link = [&](std::size_t root) {
        return std::clamp(smallestLink + extent[root], smallestLink,
                          std::max(smallestLink, largestLink));
    };
    // Each pass joins what the extents of the last allow; a joined group is wider and may
    // reach further in the next.
    for (bool joined = true; joined;) {
        joined = false;
        measure();
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = i + 1; j < n; ++j) {
                const auto a = static_cast<std::size_t>(Root(parent, static_cast<int32_t>(i)));
                const auto b = static_cast<std::size_t>(Root(parent, static_cast<int32_t>(j)));
                if (a == b) continue;
                if (gap(i, j) <= std::max(link(a), link(b))) {
                    parent[std::max(a, b)] = static_cast<int32_t>(std::min(a, b));
                    joined = true;
                }
            }
        }
    }
    measure();

    SpotGrouping grouping;
    grouping.groupOf.assign(n, -1);
    std::vector<int32_t> indexOfRoot(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
        const auto r = static_cast<std::size_t>(Root(parent, static_cast<int32_t>(i)));
        if (indexOfRoot[r] < 0) {
            indexOfRoot[r] = static_cast<int32_t>(grouping.extent.size());
            grouping.extent.push_back(extent[r]);
        }
        grouping.groupOf[i] = indexOfRoot[r];
    }
    return grouping;
}

} // namespace zorva
