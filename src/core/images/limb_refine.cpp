#include "core/images/limb_refine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <span>
#include <vector>

#include "core/images/limb_profile.h"

namespace zorva {

namespace {

// The profile runs this many pixels either side of the whole-pixel edge: the edge lies
// within a pixel or two of the steepest point, and a blurred limb spreads over a few
// pixels more. It is sampled every half pixel.
constexpr int kReach = 7;
constexpr int kSamplesPerPixel = 2;
constexpr double kSampleStep = 1.0 / kSamplesPerPixel;
constexpr int kMiddle = kReach * kSamplesPerPixel;
constexpr int kSamples = 2 * kMiddle + 1;
// The profile needs this many pixels on either side of the edge inside the picture.
constexpr int kLeastSide = 3;
// Settled once no correction of the fit exceeds a thousandth of a pixel.
constexpr double kSubPixelSettle = 1e-3;
constexpr double kHalf = 0.5;

// Where the brightness changes fastest along the samples, in pixels from the first one:
// the largest change over two pixels, placed between samples by a parabola through it
// and its neighbours.
double SteepestOffset(std::span<const double> b, double outward) {
    const std::size_t n = b.size();
    constexpr auto kPixel = static_cast<std::size_t>(kSamplesPerPixel);
    std::array<double, kSamples> d{};
    std::size_t best = kPixel;
    for (std::size_t k = kPixel; k + kPixel < n; ++k) {
        d[k] = outward * (b[k + kPixel] - b[k - kPixel]);
        if (d[k] > d[best]) best = k;
    }
    double shift = 0;
    if (best > kPixel && best + kPixel + 1 < n) {
        const double curvature = d[best - 1] - 2 * d[best] + d[best + 1];
        if (curvature < 0)
            shift = std::clamp(kHalf * (d[best - 1] - d[best + 1]) / curvature, -kHalf, kHalf);
    }
    return (static_cast<double>(best) + shift) * kSampleStep;
}

// The profile along the outward unit direction (ux, uy) around the point (ex, ey): the
// unbroken run of samples inside the picture around the point itself, as it is cut where
// the line leaves the picture (where a disk nearly fills the frame). Nothing when the
// run does not reach far enough either side.
struct Profile {
    std::array<double, kSamples> b{};
    std::size_t first = 0;
    std::size_t count = 0;
    double from = 0; // where the run starts, in pixels from the point

    std::span<const double> Run() const { return std::span<const double>(b).subspan(first, count); }
};

bool SampleProfile(const PixelGrid& grid, double ex, double ey, double ux, double uy, Profile& p) {
    std::array<bool, kSamples> inside{};
    for (int k = 0; k < kSamples; ++k) {
        const double t = (k - kMiddle) * kSampleStep;
        const auto i = static_cast<std::size_t>(k);
        inside[i] = GreyBetween(grid, ex + t * ux, ey + t * uy, p.b[i]);
    }
    int first = kMiddle;
    while (first > 0 && inside[static_cast<std::size_t>(first - 1)])
        --first;
    int last = kMiddle;
    while (last + 1 < kSamples && inside[static_cast<std::size_t>(last + 1)])
        ++last;
    constexpr int kLeastSamples = kLeastSide * kSamplesPerPixel;
    if (!inside[kMiddle] || kMiddle - first < kLeastSamples || last - kMiddle < kLeastSamples)
        return false;
    p.first = static_cast<std::size_t>(first);
    p.count = static_cast<std::size_t>(last - first + 1);
    p.from = (first - kMiddle) * kSampleStep;
    return true;
}

// The fit of the limb's profile along the outward unit direction (ux, uy) about the edge
// (ex, ey), its edge in pixels from that edge: the steepest point of the profile around the
// edge, then the fit of the profile around that point. Nothing for a ray without a usable
// profile.
std::optional<LimbProfileFit> EdgeFit(const PixelGrid& grid, double ex, double ey, double ux,
                                      double uy, double outward) {
    Profile around;
    if (!SampleProfile(grid, ex, ey, ux, uy, around)) return std::nullopt;
    const double steepest = around.from + SteepestOffset(around.Run(), outward);
    // The search's edge may lie a few pixels off the limb (the darkest pixel of a light
    // background's limb lies inside it); the fit sees the limb in the middle of its samples.
    Profile limb;
    if (!SampleProfile(grid, ex + steepest * ux, ey + steepest * uy, ux, uy, limb))
        return std::nullopt;
    std::optional<LimbProfileFit> fit =
        FitLimbProfile(limb.Run(), limb.from, kSampleStep, 0, outward);
    if (fit) fit->edge += steepest;
    return fit;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
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
        const std::optional<LimbProfileFit> fit = EdgeFit(grid, ex, ey, ux, uy, outward);
        if (!fit) continue;
        out.points.x[i] = ex + fit->edge * ux;
        out.points.y[i] = ey + fit->edge * uy;
        out.points.flag[i] = LimbPointAccepted;
    }
    out.found = FitWithRejection(out.points, out.disk);
    return out;
}

LimbFit FindSubPixelLimb(const PixelGrid& grid) {
    LimbFit fit = FindLimb(grid);
    const SubPixelLimb refined = RefineLimb(grid, fit);
    if (!refined.found) return fit;
    // The refined circle is judged as the search's was; one the picture does not back
    // leaves the search's own.
    const LimbVerdict verdict =
        JudgeLimb(grid, fit.mode, refined.disk, refined.points, fit.raysSearched);
    if (!verdict.accepted) return fit;
    fit.disk = refined.disk;
    fit.residual = verdict.residual;
    for (std::size_t i = 0; i < LimbRays; ++i) {
        const bool kept = refined.points.flag[i] == LimbPointAccepted;
        fit.points.flag[i] = kept ? LimbPointAccepted : 0;
        fit.points.x[i] = kept ? static_cast<int32_t>(std::lround(refined.points.x[i])) : 0;
        fit.points.y[i] = kept ? static_cast<int32_t>(std::lround(refined.points.y[i])) : 0;
    }
    return fit;
}

LimbSurvey SurveyLimb(const PixelGrid& grid, const Circle& disk, LimbBackground mode,
                      int32_t rays) {
    LimbSurvey survey;
    if (rays <= 0 || !(disk.r >= 1) || !std::isfinite(disk.cx) || !std::isfinite(disk.cy) ||
        !std::isfinite(disk.r))
        return survey;
    const double outward = mode == LimbBackground::Dark ? -1.0 : 1.0;
    survey.offsets.assign(static_cast<std::size_t>(rays), std::nan(""));
    std::vector<double> spreads, offsets;
    for (int32_t k = 0; k < rays; ++k) {
        const double angle = 2 * std::numbers::pi * k / rays;
        const double ux = std::cos(angle), uy = std::sin(angle);
        const std::optional<LimbProfileFit> fit =
            EdgeFit(grid, disk.cx + disk.r * ux, disk.cy + disk.r * uy, ux, uy, outward);
        // An edge the fit put far from the circle is some other edge (a spot at the limb, the
        // frame): the limb lies where the circle says within the profile's reach.
        if (!fit || std::fabs(fit->edge) > kReach - kLeastSide) continue;
        survey.offsets[static_cast<std::size_t>(k)] = fit->edge;
        spreads.push_back(fit->spread);
        offsets.push_back(fit->edge);
    }
    survey.rays = static_cast<int32_t>(offsets.size());
    if (offsets.empty()) return survey;
    survey.spread = Median(spreads);
    survey.offset = Median(offsets);
    std::vector<double> deviations;
    for (const double o : offsets)
        deviations.push_back(std::fabs(o - survey.offset));
    constexpr double kMadToSigma = 1.4826;
    survey.scatter = kMadToSigma * Median(deviations);
    return survey;
}

} // namespace zorva
