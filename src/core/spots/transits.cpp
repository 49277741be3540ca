// A planet in front of the Sun is dark and round like a spot, and must not be counted as
// one.
#include "core/spots/transits.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/common/angles.h"
#include "core/ephemeris/planets.h"

namespace zorva {

namespace {

// How far from the ephemeris' place the planet may be seen: a few of its own radii, or a
// twentieth of the disk's radius (an instant a few minutes off, a disk a little off
// centre), whichever is more.
constexpr double kRadiiOff = 4.0;
constexpr double kDiskOff = 0.05;
// Its patch's area against the planet's own disc: the blur widens a small disc's dark
// patch, and a disc is never half hidden.
constexpr double kLeastAreaShare = 0.4;
constexpr double kMostAreaShare = 4.0;
// A disc wide enough to hold a core the blur leaves untouched is black there: darker than
// any penumbra.
constexpr double kDarkestOfAPlanet = 0.5;
// Its patch is about as high as it is wide.
constexpr double kMostElongation = 1.6;

} // namespace

void TakeOutTransits(SpotDetection& d, const DiskFrame& frame, const Ephemeris& ephemeris,
                     const Instant& instant) {
    for (const InnerPlanet planet : {InnerPlanet::Mercury, InnerPlanet::Venus}) {
        const std::optional<PlanetOnDisk> at = PlaceInnerPlanet(planet, instant, frame, ephemeris);
        if (!at) continue;
        const double reach = std::max(kRadiiOff * at->radius, kDiskOff * frame.rx);
        const double widened = at->radius + d.blur;
        const double disc = degrees::kPi * widened * widened;
        // The nearest patch that looks like the planet.
        int32_t best = -1;
        double bestDistance = reach;
        for (const DetectedSpot& spot : d.spots) {
            const auto p = static_cast<std::size_t>(spot.patch);
            if (spot.patch < 0 || p >= d.patches.size()) continue;
            const SpotPatch& patch = d.patches[p];
            const double distance = std::hypot(spot.x - at->x, spot.y - at->y);
            if (distance > bestDistance) continue;
            const double pixels = patch.pixels;
            if (pixels < kLeastAreaShare * disc || pixels > kMostAreaShare * disc) continue;
            if (at->radius > 2 * d.blur && spot.darkest > kDarkestOfAPlanet) continue;
            int32_t left = 0, right = -1, top = 0, bottom = -1;
            for (const OutlinePoint& o : patch.outline) {
                if (right < left) {
                    left = right = o.x;
                    top = bottom = o.y;
                }
                left = std::min(left, o.x);
                right = std::max(right, o.x);
                top = std::min(top, o.y);
                bottom = std::max(bottom, o.y);
            }
            const double w = right - left + 1, h = bottom - top + 1;
            if (std::max(w, h) > kMostElongation * std::min(w, h)) continue;
            best = spot.patch;
            bestDistance = distance;
        }
        if (best < 0) continue;
        PlanetTransit transit;
        transit.body = std::string(InnerPlanetName(planet));
        transit.radius = at->radius;
        double sumX = 0, sumY = 0, weight = 0;
        for (const DetectedSpot& spot : d.spots) {
            if (spot.patch != best) continue;
            const double w = std::max(1, spot.pixels);
            sumX += spot.x * w;
            sumY += spot.y * w;
            weight += w;
        }
        transit.x = sumX / weight;
        transit.y = sumY / weight;
        d.transits.push_back(transit);
        std::erase_if(d.spots, [&](const DetectedSpot& spot) { return spot.patch == best; });
    }
}

} // namespace zorva
