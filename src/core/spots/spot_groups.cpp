// Sunspot groups as observers draw them: compact along the parallels, each no longer than
// its development allows, told apart by a gap in latitude or longitude.
#include "core/spots/spot_groups.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/common/angles.h"

namespace zorva {

using namespace degrees;

namespace {

// The growth of a spot's reach and of a group's height with the square root of the area,
// degrees.
constexpr double kReachPerRootArea = 0.25;
constexpr double kHeightPerRootArea = 0.1;
// Latitude counts this many times longitude in the order in which pairs are looked at:
// groups lie along the parallels, so a pair side by side east to west is joined first.
constexpr double kLatitudeWeight = 3.0;

int32_t Root(std::vector<int32_t>& parent, int32_t i) {
    while (parent[static_cast<std::size_t>(i)] != i) {
        const auto up = static_cast<std::size_t>(parent[static_cast<std::size_t>(i)]);
        parent[static_cast<std::size_t>(i)] = parent[up];
        i = parent[static_cast<std::size_t>(i)];
    }
    return i;
}

// What a group holds, for the test whether two may join: its area, and its edges east and
// west (longitude, with each spot's radius along its parallel) and north and south.
struct Bounds {
    double area = 0;
    double east = 0, west = 0;
    double south = 0, north = 0;
    double cosLatitude = 1; // of its largest spot, for lengths along its parallel
    double largest = -1;

    static Bounds Of(const SpotPlace& s) {
        Bounds b;
        const double c = std::max(Cos(s.latitude), 1e-3);
        b.area = s.areaMsh;
        b.east = s.longitude - s.radius / c;
        b.west = s.longitude + s.radius / c;
        b.south = s.latitude - s.radius;
        b.north = s.latitude + s.radius;
        b.cosLatitude = c;
        b.largest = s.areaMsh;
        return b;
    }
    Bounds With(const Bounds& o) const {
        Bounds b;
        b.area = area + o.area;
        b.east = std::min(east, o.east);
        b.west = std::max(west, o.west);
        b.south = std::min(south, o.south);
        b.north = std::max(north, o.north);
        const bool mine = largest >= o.largest;
        b.cosLatitude = mine ? cosLatitude : o.cosLatitude;
        b.largest = std::max(largest, o.largest);
        return b;
    }
    bool FitsOneGroup(double smallest, double largestLink) const {
        return (west - east) * cosLatitude <= std::max(smallest, largestLink) &&
               north - south <= GroupHeight(area, smallest, largestLink);
    }
};

struct Pair {
    double distance = 0; // weighted, edge to edge
    int32_t a = 0, b = 0;
};

} // namespace

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

double GroupReach(double areaMsh, double smallestLink, double largestLink) {
    const double grown = smallestLink + kReachPerRootArea * std::sqrt(std::max(0.0, areaMsh));
    return std::clamp(grown, smallestLink, std::max(smallestLink, largestLink));
}

double GroupHeight(double areaMsh, double smallestLink, double largestLink) {
    const double grown = 2 * smallestLink + kHeightPerRootArea * std::sqrt(std::max(0.0, areaMsh));
    return std::clamp(grown, smallestLink, std::max(smallestLink, largestLink));
}

bool SpotsLinked(const SpotPlace& a, const SpotPlace& b, double smallestLink, double largestLink,
                 double* gap) {
    const double meanCos = Cos((a.latitude + b.latitude) / 2);
    const double along =
        std::max(0.0, std::fabs(b.longitude - a.longitude) * meanCos - a.radius - b.radius);
    const double across = std::max(0.0, std::fabs(a.latitude - b.latitude) - a.radius - b.radius);
    const bool linked =
        along <= GroupReach(std::max(a.areaMsh, b.areaMsh), smallestLink, largestLink) &&
        across <= smallestLink;
    if (linked && gap) *gap = along;
    return linked;
}

SpotGrouping GroupSpots(std::span<const SpotPlace> spots, double smallestLink, double largestLink) {
    const std::size_t n = spots.size();
    std::vector<int32_t> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    std::vector<Bounds> bounds(n);
    for (std::size_t i = 0; i < n; ++i)
        bounds[i] = Bounds::Of(spots[i]);
    const double reach = std::max(smallestLink, largestLink);

    // Every pair that could ever be of one group, nearest first. Pairs are found among the
    // spots sorted by longitude, so that those farther apart than any group reaches are
    // never looked at.
    std::vector<std::size_t> byLongitude(n);
    std::iota(byLongitude.begin(), byLongitude.end(), 0);
    std::sort(byLongitude.begin(), byLongitude.end(), [&](std::size_t a, std::size_t b) {
        return spots[a].longitude < spots[b].longitude;
    });
    std::vector<Pair> pairs;
    for (std::size_t p = 0; p < n; ++p) {
        const SpotPlace& a = spots[byLongitude[p]];
        for (std::size_t q = p + 1; q < n; ++q) {
            const SpotPlace& b = spots[byLongitude[q]];
            // Along the parallel nearer the equator a degree of longitude is longest.
            const double widest = std::max(Cos(a.latitude), Cos(b.latitude));
            if ((b.longitude - a.longitude) * widest - a.radius - b.radius > reach) break;
            const double dLat = std::fabs(a.latitude - b.latitude);
            if (dLat - a.radius - b.radius > reach) continue;
            if (!SpotsLinked(a, b, smallestLink, largestLink)) continue;
            const double meanCos = Cos((a.latitude + b.latitude) / 2);
            const double dLong = std::fabs(b.longitude - a.longitude) * meanCos;
            const double weighted = std::hypot(dLong, kLatitudeWeight * dLat);
            Pair pair;
            pair.distance = std::max(0.0, weighted - a.radius - b.radius);
            pair.a = static_cast<int32_t>(byLongitude[p]);
            pair.b = static_cast<int32_t>(byLongitude[q]);
            pairs.push_back(pair);
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const Pair& x, const Pair& y) { return x.distance < y.distance; });

    const auto tryJoin = [&](const Pair& pair) {
        const auto a = Root(parent, pair.a);
        const auto b = Root(parent, pair.b);
        if (a == b) return false;
        const Bounds joined =
            bounds[static_cast<std::size_t>(a)].With(bounds[static_cast<std::size_t>(b)]);
        if (!joined.FitsOneGroup(smallestLink, largestLink)) return false;
        const int32_t into = std::min(a, b);
        parent[static_cast<std::size_t>(std::max(a, b))] = into;
        bounds[static_cast<std::size_t>(into)] = joined;
        return true;
    };
    const auto isPore = [&](int32_t i) { return !spots[static_cast<std::size_t>(i)].umbra; };
    // The spots with an umbra among themselves...
    for (const Pair& pair : pairs) {
        if (!isPore(pair.a) && !isPore(pair.b)) tryJoin(pair);
    }
    // ... then each pore with a group of them, nearest first...
    std::vector<bool> taken(n, false);
    for (const Pair& pair : pairs) {
        if (isPore(pair.a) == isPore(pair.b)) continue;
        const int32_t pore = isPore(pair.a) ? pair.a : pair.b;
        if (taken[static_cast<std::size_t>(pore)]) continue;
        if (tryJoin(pair)) taken[static_cast<std::size_t>(pore)] = true;
    }
    // ... and the pores left over among themselves.
    for (const Pair& pair : pairs) {
        if (!isPore(pair.a) || !isPore(pair.b)) continue;
        if (taken[static_cast<std::size_t>(pair.a)] || taken[static_cast<std::size_t>(pair.b)])
            continue;
        tryJoin(pair);
    }

    SpotGrouping grouping;
    grouping.groupOf.assign(n, -1);
    std::vector<int32_t> indexOfRoot(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
        const auto r = static_cast<std::size_t>(Root(parent, static_cast<int32_t>(i)));
        if (indexOfRoot[r] < 0) {
            indexOfRoot[r] = static_cast<int32_t>(grouping.extent.size());
            grouping.extent.push_back(0.0);
        }
        grouping.groupOf[i] = indexOfRoot[r];
    }
    // A group's extent: its widest pair of edges, or a lone spot's diameter.
    std::vector<std::vector<std::size_t>> members(grouping.extent.size());
    for (std::size_t i = 0; i < n; ++i)
        members[static_cast<std::size_t>(grouping.groupOf[i])].push_back(i);
    for (std::size_t g = 0; g < members.size(); ++g) {
        double& extent = grouping.extent[g];
        const std::vector<std::size_t>& m = members[g];
        for (std::size_t p = 0; p < m.size(); ++p) {
            const SpotPlace& a = spots[m[p]];
            extent = std::max(extent, 2 * a.radius);
            for (std::size_t q = p + 1; q < m.size(); ++q) {
                const SpotPlace& b = spots[m[q]];
                extent = std::max(
                    extent, HeliographicDistance(a.latitude, a.longitude, b.latitude, b.longitude) +
                                a.radius + b.radius);
            }
        }
    }
    return grouping;
}

} // namespace zorva
