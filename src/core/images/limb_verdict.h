#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/images/circle_fit.h"
#include "core/images/pixel_grid.h"

namespace zorva {

// A bright disk on a dark field, or a dark limb on a light field.
enum class LimbBackground { Dark, Light };

// Whether a circle fitted to limb points is a disk to measure on. A wrong disk is worse
// than none: every latitude read on it is wrong without a sign, so a circle is taken only
// when the picture backs it on all of these counts.
//
// Enough rays agree: at least a quarter of those searched. A disk whose centre lies in
// the picture is crossed by every ray, and a full disk gives nearly all of them.
inline constexpr int32_t LimbLeastAgreeingShare = 4; // 1 in 4
// The limb is seen round more than half the circle: points on a shorter arc leave the
// radius and the centre's distance from the arc unsettled. The largest gap between the
// points, seen from the centre, is therefore under 180 degrees, which also puts the centre
// inside the picture and keeps the radius within the picture's half diagonal.
inline constexpr double LimbLargestGapDegrees = 180;
// The points keep close to the circle: the root mean square of their distances from it at
// most 1.4 px. The outlier rejection keeps no point beyond about 2 px, so more than that
// means an edge settled nowhere closer than the rejection's reach. The test pictures' limbs
// give 0.34 px, blurred and noisy photographs simulated in the tests up to 1.12 px, an edge
// alternating 2 px in and out every 10 degrees 1.48 px.
inline constexpr double LimbLargestResidual = 1.4;
// On a dark sky the circle lies where the brightness drops most: the largest fall of the
// brightness round the circle, radius by radius, lies within a tolerance of it. The
// search's threshold is a fifth of the disk centre's brightness; where something bright
// lies beyond the limb (a corona, haze) the threshold meets its faint tail, outside the
// limb, and the circle comes out too large. The tolerance, 3 px or a fiftieth of the
// radius on a large disk, allows for a blurred limb seen against a bright sky, where the
// threshold meets the edge up to about one blur width from its steepest point. The test
// pictures' disks lie within 1.7 px of it (the MDI picture's at a tolerance of 9.9 px, the
// others' within 0.7 px), blurred and noisy photographs simulated in the tests within half
// the tolerance; the extreme-ultraviolet AIA picture's search, on the corona, lies 5 px
// outside at a tolerance of 3 px.
inline constexpr double LimbEdgeTolerance = 3;
inline constexpr double LimbEdgeTolerancePerRadius = 1.0 / 50;

// The verdict on a fitted circle, with the numbers it rests on.
struct LimbVerdict {
    bool accepted = false;
    std::string reason;  // why not, in words: "only 23 of 356 rays agree"
    int32_t points = 0;  // the accepted limb points
    double residual = 0; // their RMS distance from the circle, pixels
};

// Judges the circle `disk` fitted to `points` (those flagged LimbPointAccepted) on the
// picture the search read, `raysSearched` being the rays that crossed it.
LimbVerdict JudgeLimb(const PixelGrid& grid, LimbBackground mode, const Circle& disk,
                      const SubPixelPoints& points, int32_t raysSearched);

// The disk's own edge inside a circle fitted to something round it (a dark ring a
// rendering drew about the disk, the shade of a frame): a radius at which the brightness
// round the circle drops by at least a third of what it drops at the circle itself, further
// in than the edge tolerance. Its radius and the grey level halfway down that drop; nothing
// when the brightness inside only rises steadily inwards, as a limb-darkened disk's does.
struct InnerEdge {
    double radius = 0;
    double level = 0;
};
std::optional<InnerEdge> FindInnerEdge(const PixelGrid& grid, const Circle& c);

// The whole-pixel points as points in fractions of a pixel.
SubPixelPoints AsSubPixel(const LimbPoints& points);

} // namespace zorva
