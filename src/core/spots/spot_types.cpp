// What a click on a picture's spots, or a pointer on its rejected features, falls on.
#include "core/spots/spot_types.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zorva {

bool InsideOutline(const Outline& outline, double x, double y) {
    // Even-odd crossings of a ray to the right; a point on the border pixels counts.
    bool inside = false;
    const std::size_t n = outline.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const OutlinePoint& a = outline[i];
        const OutlinePoint& b = outline[j];
        const double minX = std::min(a.x, b.x), maxX = std::max(a.x, b.x);
        const double minY = std::min(a.y, b.y), maxY = std::max(a.y, b.y);
        // On the segment from a to b (the outline's segments are straight runs of pixels).
        const double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        if (std::abs(cross) < 1e-9 && x >= minX && x <= maxX && y >= minY && y <= maxY) return true;
        if ((a.y > y) != (b.y > y)) {
            const double at = a.x + (y - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
            if (x < at) inside = !inside;
        }
    }
    return inside;
}

const DetectedSpot* SpotAtPixel(const SpotDetection& detection, double x, double y) {
    const DetectedSpot* best = nullptr;
    double bestDistance = std::numeric_limits<double>::max();
    for (const DetectedSpot& spot : detection.spots) {
        const auto patch = static_cast<std::size_t>(spot.patch);
        if (patch >= detection.patches.size() ||
            !InsideOutline(detection.patches[patch].outline, x, y))
            continue;
        const double d = (spot.x - x) * (spot.x - x) + (spot.y - y) * (spot.y - y);
        if (d < bestDistance) {
            bestDistance = d;
            best = &spot;
        }
    }
    return best;
}

const RejectedFeature* RejectedNear(const SpotDetection& detection, double x, double y,
                                    double reach) {
    const RejectedFeature* best = nullptr;
    double bestDistance = reach * reach;
    for (const RejectedFeature& r : detection.rejected) {
        const double d = (r.x - x) * (r.x - x) + (r.y - y) * (r.y - y);
        if (d <= bestDistance) {
            bestDistance = d;
            best = &r;
        }
    }
    return best;
}

} // namespace zorva
