// A detection put together from its spots: groups summed and placed, everything numbered
// from east to west, and the Wolf number counted. The search and a review share it, so a
// review without edits gives the search's own numbers.
#include "core/spots/spot_assembly.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "core/chart/projection.h"
#include "core/spots/spot_groups.h"

namespace zorva {

namespace {

constexpr double kHalfCircle = 180.0;
constexpr double kFullCircle = 360.0;
constexpr int32_t kGroupWeight = 10; // R = 10 g + s

bool Finite(double v) {
    return std::isfinite(v);
}

} // namespace

double WestOfCentre(double longitude, double L0) {
    double d = std::fmod(longitude - L0, kFullCircle);
    if (d > kHalfCircle) d -= kFullCircle;
    if (d <= -kHalfCircle) d += kFullCircle;
    return d;
}

std::optional<SunPlace> PlaceOnSun(const DiskFrame& frame, const Ephemeris& e, double x, double y) {
    const DiskPoint p = PixelToDisk(frame, x, y);
    const auto at = LocateDiskPoint(p.x, p.y, frame, ApparentDiameter(e), e.B0, e.L0, e.Rotation);
    if (!at || !Finite(at->latitude) || !Finite(at->longitude)) return std::nullopt;
    SunPlace place;
    place.latitude = at->latitude;
    place.longitude = at->longitude;
    place.centralDistance = WestOfCentre(at->longitude, e.L0);
    const double r2 =
        ((x - frame.cx) * (x - frame.cx) + (y - frame.cy) * (y - frame.cy)) / (frame.rx * frame.rx);
    place.mu = std::sqrt(std::max(0.0, 1 - r2));
    return place;
}

SpotNumbering AssembleDetection(SpotDetection& d, std::span<const int32_t> groupKey,
                                const Ephemeris& ephemeris) {
    SpotNumbering numbering;
    const std::size_t n = std::min(d.spots.size(), groupKey.size());
    d.spots.resize(n);
    // The groups in the order of their keys.
    std::map<int32_t, std::size_t> indexOfKey;
    for (std::size_t k = 0; k < n; ++k)
        indexOfKey.emplace(groupKey[k], 0);
    std::vector<int32_t> keys;
    for (auto& [key, index] : indexOfKey) {
        index = keys.size();
        keys.push_back(key);
    }
    const std::size_t groupCount = keys.size();
    struct Sum {
        double x = 0, y = 0, pixels = 0, area = 0, umbra = 0, latitude = 0, cmd = 0, mu = 0;
        int32_t spots = 0;
        std::vector<std::size_t> members;
    };
    std::vector<Sum> sums(groupCount);
    for (std::size_t k = 0; k < n; ++k) {
        const DetectedSpot& s = d.spots[k];
        Sum& g = sums[indexOfKey[groupKey[k]]];
        // A spot of no pixels (which only a review file could hold) still counts once.
        const double weight = std::max(1, s.pixels);
        g.x += s.x * weight;
        g.y += s.y * weight;
        g.pixels += weight;
        g.area += s.areaMsh;
        g.umbra += s.umbraMsh;
        // Places weighted by area, as the Greenwich photoheliographic results place a
        // group; a spot of no area (only a review file could hold one) by a millionth.
        const double byArea = std::max(s.areaMsh, 1.0);
        g.latitude += s.latitude * byArea;
        g.cmd += s.centralDistance * byArea;
        g.mu += s.mu * byArea;
        ++g.spots;
        g.members.push_back(k);
    }
    std::vector<SpotGroup> groups(groupCount);
    for (std::size_t g = 0; g < groupCount; ++g) {
        SpotGroup& group = groups[g];
        const Sum& sum = sums[g];
        group.x = sum.x / sum.pixels;
        group.y = sum.y / sum.pixels;
        // Where it is drawn: the centre of its pixels. Where it lies on the Sun: the mean
        // of its spots' places weighted by their areas.
        double weights = 0;
        for (const std::size_t k : sum.members)
            weights += std::max(d.spots[k].areaMsh, 1.0);
        group.latitude = sum.latitude / weights;
        group.centralDistance = sum.cmd / weights;
        group.longitude =
            std::fmod(std::fmod(ephemeris.L0 + group.centralDistance, kFullCircle) + kFullCircle,
                      kFullCircle);
        group.mu = sum.mu / weights;
        group.spots = sum.spots;
        group.areaMsh = sum.area;
        group.umbraMsh = sum.umbra;
        // The widest pair of edges, or a lone spot's diameter.
        for (std::size_t p = 0; p < sum.members.size(); ++p) {
            const DetectedSpot& a = d.spots[sum.members[p]];
            const double ra = SpotRadiusDegrees(a.areaMsh);
            group.extent = std::max(group.extent, 2 * ra);
            for (std::size_t q = p + 1; q < sum.members.size(); ++q) {
                const DetectedSpot& b = d.spots[sum.members[q]];
                group.extent =
                    std::max(group.extent, HeliographicDistance(a.latitude, a.longitude, b.latitude,
                                                                b.longitude) +
                                               ra + SpotRadiusDegrees(b.areaMsh));
            }
        }
    }

    // Numbered from east to west, groups and the spots within each.
    const auto eastFirst = [](const auto& a, const auto& b) {
        if (a.centralDistance != b.centralDistance) return a.centralDistance < b.centralDistance;
        return a.latitude > b.latitude;
    };
    std::vector<std::size_t> groupOrder(groupCount);
    std::iota(groupOrder.begin(), groupOrder.end(), 0);
    std::sort(groupOrder.begin(), groupOrder.end(),
              [&](std::size_t a, std::size_t b) { return eastFirst(groups[a], groups[b]); });
    std::vector<int32_t> groupId(groupCount);
    d.groups.clear();
    for (std::size_t i = 0; i < groupCount; ++i) {
        groupId[groupOrder[i]] = static_cast<int32_t>(i + 1);
        groups[groupOrder[i]].id = static_cast<int32_t>(i + 1);
        d.groups.push_back(groups[groupOrder[i]]);
        numbering.groupFrom.push_back(keys[groupOrder[i]]);
    }
    std::vector<std::size_t> spotOrder(n);
    std::iota(spotOrder.begin(), spotOrder.end(), 0);
    const auto groupOfSpot = [&](std::size_t k) { return groupId[indexOfKey[groupKey[k]]]; };
    std::stable_sort(spotOrder.begin(), spotOrder.end(), [&](std::size_t a, std::size_t b) {
        const int32_t ga = groupOfSpot(a), gb = groupOfSpot(b);
        if (ga != gb) return ga < gb;
        return eastFirst(d.spots[a], d.spots[b]);
    });

    // The patches the spots lie in, in the order of their first spot.
    std::vector<SpotPatch> patches;
    std::vector<int32_t> patchIndex(d.patches.size(), -1);
    std::vector<DetectedSpot> spots;
    spots.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        DetectedSpot spot = std::move(d.spots[spotOrder[i]]);
        spot.id = static_cast<int32_t>(i + 1);
        spot.group = groupOfSpot(spotOrder[i]);
        const auto from = static_cast<std::size_t>(spot.patch);
        if (spot.patch >= 0 && from < d.patches.size()) {
            if (patchIndex[from] < 0) {
                patchIndex[from] = static_cast<int32_t>(patches.size());
                patches.push_back(std::move(d.patches[from]));
                patches.back().spots.clear();
            }
            spot.patch = patchIndex[from];
            SpotPatch& patch = patches[static_cast<std::size_t>(spot.patch)];
            patch.group = spot.group;
            patch.spots.push_back(spot.id);
        } else {
            spot.patch = -1;
        }
        numbering.spotFrom.push_back(spotOrder[i]);
        spots.push_back(std::move(spot));
    }
    d.spots = std::move(spots);
    d.patches = std::move(patches);

    WolfNumber& wolf = d.wolf;
    wolf = {};
    wolf.groups = static_cast<int32_t>(d.groups.size());
    wolf.spots = static_cast<int32_t>(d.spots.size());
    wolf.total = kGroupWeight * wolf.groups + wolf.spots;
    for (const SpotGroup& g : d.groups)
        (g.latitude >= 0 ? wolf.north : wolf.south) += kGroupWeight + g.spots;
    return numbering;
}

} // namespace zorva
