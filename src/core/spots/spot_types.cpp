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

namespace {

// How far (x, y) lies from the nearest of the outline's segments, pixels.
double DistanceToOutline(const Outline& outline, double x, double y) {
    double nearest = std::numeric_limits<double>::max();
    const std::size_t n = outline.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const double ax = outline[j].x, ay = outline[j].y;
        const double dx = outline[i].x - ax, dy = outline[i].y - ay;
        const double length2 = dx * dx + dy * dy;
        const double t =
            length2 > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / length2, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, std::hypot(x - (ax + t * dx), y - (ay + t * dy)));
    }
    return nearest;
}

} // namespace

const DetectedSpot* SpotAtPixel(const SpotDetection& detection, double x, double y, double reach) {
    // The patches the click falls in, else those whose border it missed by `reach` at most;
    // of their spots, the nearest to the click.
    const auto near = [&](const SpotPatch& patch, bool inside) {
        return inside ? InsideOutline(patch.outline, x, y)
                      : reach > 0 && !patch.outline.empty() &&
                            DistanceToOutline(patch.outline, x, y) <= reach;
    };
    for (const bool inside : {true, false}) {
        const DetectedSpot* best = nullptr;
        double bestDistance = std::numeric_limits<double>::max();
        for (const DetectedSpot& spot : detection.spots) {
            const auto patch = static_cast<std::size_t>(spot.patch);
            if (patch >= detection.patches.size() || !near(detection.patches[patch], inside))
                continue;
            const double d = (spot.x - x) * (spot.x - x) + (spot.y - y) * (spot.y - y);
            if (d < bestDistance) {
                bestDistance = d;
                best = &spot;
            }
        }
        if (best) return best;
    }
    return nullptr;
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
