#include "core/images/limb_refine.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zorva {

namespace {

// The profile runs this many pixels either side of the whole-pixel edge: the edge lies
// within a pixel or two of the steepest point, and a blurred limb spreads over a few
// pixels more.
constexpr int kReach = 7;
constexpr int kSamples = 2 * kReach + 1;
// The profile needs this many samples on either side of the edge inside the picture.
constexpr int kLeastSide = 3;
// A profile whose steepest change is below this many grey levels over two pixels shows no
// limb.
constexpr double kLeastChange = 2;
// Settled once no correction of the fit exceeds a thousandth of a pixel.
constexpr double kSubPixelSettle = 1e-3;
constexpr double kHalf = 0.5;

// The grey level at a point between pixel centres, interpolated from the four around it.
// Nothing when any of them lies outside the picture.
bool Brightness(const PixelGrid& grid, double x, double y, double& out) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    if (fx < 0 || fy < 0 || fx + 1 >= grid.Width() || fy + 1 >= grid.Height()) return false;
    const auto x0 = static_cast<int32_t>(fx);
    const auto y0 = static_cast<int32_t>(fy);
    const double ax = x - fx;
    const double ay = y - fy;
    // Red, green and blue are equal on the grey picture the search reads.
    auto level = [&](int32_t px, int32_t py) { return PackedRed(grid.At(px, py)); };
    const double top = level(x0, y0) * (1 - ax) + level(x0 + 1, y0) * ax;
    const double bottom = level(x0, y0 + 1) * (1 - ax) + level(x0 + 1, y0 + 1) * ax;
    out = top * (1 - ay) + bottom * ay;
    return true;
}

// Where along the outward unit direction (ux, uy) from the edge (ex, ey) the brightness
// changes fastest, in pixels from the edge. The profile is cut where it leaves the
// picture, as it does where a disk nearly fills the frame. False for a ray without a
// usable profile.
bool SteepestOffset(const PixelGrid& grid, double ex, double ey, double ux, double uy,
                    double outward, double& offset) {
    std::array<double, kSamples> b{};
    std::array<bool, kSamples> inside{};
    for (int k = 0; k < kSamples; ++k) {
        const double t = k - kReach;
        const auto i = static_cast<std::size_t>(k);
        inside[i] = Brightness(grid, ex + t * ux, ey + t * uy, b[i]);
    }
    // The unbroken run of samples around the edge itself.
    int first = kReach;
    while (first > 0 && inside[static_cast<std::size_t>(first - 1)])
        --first;
    int last = kReach;
    while (last + 1 < kSamples && inside[static_cast<std::size_t>(last + 1)])
        ++last;
    if (!inside[kReach] || kReach - first < kLeastSide || last - kReach < kLeastSide) return false;
    // Change per two pixels, signed so that the limb's change is positive.
    std::array<double, kSamples> d{};
    int best = -1;
    for (int k = first + 1; k <= last - 1; ++k) {
        const auto i = static_cast<std::size_t>(k);
        d[i] = outward * (b[i + 1] - b[i - 1]);
        if (best < 0 || d[i] > d[static_cast<std::size_t>(best)]) best = k;
    }
    const auto at = static_cast<std::size_t>(best);
    if (d[at] < kLeastChange) return false;
    double shift = 0;
    if (best > first + 1 && best < last - 1) {
        const double before = d[at - 1];
        const double after = d[at + 1];
        const double curvature = before - 2 * d[at] + after;
        if (curvature < 0) shift = std::clamp(kHalf * (before - after) / curvature, -kHalf, kHalf);
    }
    offset = best - kReach + shift;
    return true;
}

// Drops the points farther than the tolerance off the circle, the tolerance shrinking a
// pixel a round, and fits again after each round.
bool FitWithRejection(SubPixelPoints& points, Circle& circle) {
    FitOutcome outcome;
    for (double tolerance = LimbFirstTolerance;; tolerance -= 1) {
        outcome = GaussNewtonFit(points, circle, kSubPixelSettle);
        if (outcome.failed) return false;
        for (std::size_t i = 0; i < LimbRays; ++i) {
            if (points.flag[i] != LimbPointAccepted) continue;
            const double d = std::hypot(points.x[i] - circle.cx, points.y[i] - circle.cy);
            if (std::fabs(d - circle.r) > tolerance) points.flag[i] = 0;
        }
        if (tolerance <= LimbLastTolerance) break;
    }
    outcome = GaussNewtonFit(points, circle, kSubPixelSettle);
    return !outcome.failed && outcome.points >= 3;
}

} // namespace

int32_t SubPixelLimb::AcceptedPoints() const {
    return static_cast<int32_t>(
        std::count(points.flag.begin(), points.flag.end(), LimbPointAccepted));
}

SubPixelLimb RefineLimb(const PixelGrid& grid, const LimbFit& search) {
    SubPixelLimb out;
    out.disk = search.disk;
    if (!search.found) return out;
    // On a dark sky the brightness falls outwards, on a light one it rises.
    const double outward = search.mode == LimbBackground::Dark ? -1.0 : 1.0;
    const Circle& c = search.disk;
    for (std::size_t i = 0; i < LimbRays; ++i) {
        if (search.points.flag[i] != LimbPointAccepted) continue;
        const double ex = search.points.x[i];
        const double ey = search.points.y[i];
        const double length = std::hypot(ex - c.cx, ey - c.cy);
        if (!(length >= 1)) continue;
        const double ux = (ex - c.cx) / length;
        const double uy = (ey - c.cy) / length;
        double offset = 0;
        if (!SteepestOffset(grid, ex, ey, ux, uy, outward, offset)) continue;
        out.points.x[i] = ex + offset * ux;
        out.points.y[i] = ey + offset * uy;
        out.points.flag[i] = LimbPointAccepted;
    }
    out.found = FitWithRejection(out.points, out.disk);
    return out;
}

LimbFit FindSubPixelLimb(const PixelGrid& grid) {
    LimbFit fit = FindLimb(grid);
    const SubPixelLimb refined = RefineLimb(grid, fit);
    if (!refined.found) return fit;
    fit.disk = refined.disk;
    for (std::size_t i = 0; i < LimbRays; ++i) {
        const bool kept = refined.points.flag[i] == LimbPointAccepted;
        fit.points.flag[i] = kept ? LimbPointAccepted : 0;
        fit.points.x[i] = kept ? static_cast<int32_t>(std::lround(refined.points.x[i])) : 0;
        fit.points.y[i] = kept ? static_cast<int32_t>(std::lround(refined.points.y[i])) : 0;
    }
    return fit;
}

} // namespace zorva
