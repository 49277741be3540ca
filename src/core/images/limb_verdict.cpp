#include "core/images/limb_verdict.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "core/common/angles.h"
#include "core/text/format.h"

namespace zorva {

namespace {

using degrees::kFullCircle;

// The brightness round the circle is sampled every degree; with fewer samples than this on
// the picture at some radius the edge is not judged (the circle then lies mostly off the
// picture, which the arc already refuses).
constexpr int32_t kEdgeSamples = 360;
constexpr std::size_t kLeastEdgeSamples = 36;

double Median(std::vector<double>& v) {
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
}

// The median brightness round the circle at radii from `from` to `to`, `step` apart;
// nothing when too little of the circle lies on the picture at one of them.
std::optional<std::vector<double>> RadialProfile(const PixelGrid& grid, const Circle& c,
                                                 double from, double to, double step) {
    const auto radii = static_cast<int32_t>((to - from) / step) + 1;
    std::vector<double> profile;
    std::vector<double> samples;
    for (int32_t k = 0; k < radii; ++k) {
        const double rho = from + step * k;
        samples.clear();
        for (int32_t i = 0; i < kEdgeSamples; ++i) {
            const double angle = kFullCircle * i / kEdgeSamples;
            double b = 0;
            if (GreyBetween(grid, c.cx + rho * degrees::Cos(angle),
                            c.cy + rho * degrees::Sin(angle), b)) {
                samples.push_back(b);
            }
        }
        if (samples.size() < kLeastEdgeSamples) return std::nullopt;
        profile.push_back(Median(samples));
    }
    return profile;
}

// How far inside the circle the brightness round it drops most, pixels (negative outside):
// the median brightness over the circle's angles at radii from 4 tolerances inside the
// circle to 2 outside, a sixth of the tolerance apart (half a pixel at the least
// tolerance), and the largest drop over two of those steps either side. Nothing when too
// little of the circle lies on the picture.
std::optional<double> SteepestDropInside(const PixelGrid& grid, const Circle& c, double tolerance) {
    constexpr double kStepsPerTolerance = 6;
    const double step = tolerance / kStepsPerTolerance;
    constexpr int32_t kBaseline = 2; // steps either side
    const double from = std::max(0.0, c.r - 4 * tolerance);
    const double to = c.r + 2 * tolerance;
    const std::optional<std::vector<double>> radial = RadialProfile(grid, c, from, to, step);
    if (!radial) return std::nullopt;
    const std::vector<double>& profile = *radial;
    if (profile.size() < 2 * kBaseline + 1) return std::nullopt;
    std::size_t steepest = kBaseline;
    double largest = 0;
    for (std::size_t k = kBaseline; k + kBaseline < profile.size(); ++k) {
        const double drop = profile[k - kBaseline] - profile[k + kBaseline];
        if (drop > largest) {
            largest = drop;
            steepest = k;
        }
    }
    return c.r - (from + step * static_cast<double>(steepest));
}

// How far the circle reaches beyond the picture's edges, pixels (0 inside).
double Overhang(const Circle& c, int32_t width, int32_t height) {
    constexpr double kHalfPixel = 0.5; // pixel centres lie half a pixel inside the edges
    const double left = -kHalfPixel - (c.cx - c.r);
    const double right = c.cx + c.r - (width - kHalfPixel);
    const double top = -kHalfPixel - (c.cy - c.r);
    const double bottom = c.cy + c.r - (height - kHalfPixel);
    return std::max({0.0, left, right, top, bottom});
}

} // namespace

std::optional<InnerEdge> FindInnerEdge(const PixelGrid& grid, const Circle& c) {
    if (!std::isfinite(c.cx) || !std::isfinite(c.cy) || !(c.r > 0) || !std::isfinite(c.r))
        return std::nullopt;
    const double tolerance = std::max(LimbEdgeTolerance, c.r * LimbEdgeTolerancePerRadius);
    constexpr double kStepsPerTolerance = 6;
    constexpr int32_t kBaseline = 2; // steps either side
    // Inside as far as a ring of a tenth of the radius, or a dozen tolerances.
    constexpr double kInnerReach = 12;
    constexpr double kRingShare = 0.1;
    const double step = tolerance / kStepsPerTolerance;
    const double from =
        std::max(0.5 * c.r, c.r - std::max(kInnerReach * tolerance, kRingShare * c.r));
    const double to = c.r + 2 * tolerance;
    const std::optional<std::vector<double>> profile = RadialProfile(grid, c, from, to, step);
    if (!profile || profile->size() < 2 * kBaseline + 1) return std::nullopt;
    const std::vector<double>& p = *profile;
    // The drop at each radius, and the circle's own: the largest within the tolerance.
    std::vector<double> drop(p.size(), 0.0);
    for (std::size_t k = kBaseline; k + kBaseline < p.size(); ++k)
        drop[k] = p[k - kBaseline] - p[k + kBaseline];
    std::size_t edgeAt = 0;
    double atCircle = 0;
    for (std::size_t k = 0; k < p.size(); ++k) {
        const double rho = from + step * static_cast<double>(k);
        if (std::fabs(rho - c.r) <= tolerance && drop[k] > atCircle) {
            atCircle = drop[k];
            edgeAt = k;
        }
    }
    // The largest drop further in than the tolerance. An edge inside is a second peak,
    // with a valley well below it on the way out to the circle's edge: a plateau between,
    // the ring. A disk's own limb darkening only falls off inwards from its edge.
    double inside = 0;
    std::size_t insideAt = 0;
    for (std::size_t k = kBaseline; k < edgeAt; ++k) {
        if (from + step * static_cast<double>(k) < c.r - tolerance && drop[k] > inside) {
            inside = drop[k];
            insideAt = k;
        }
    }
    // A third of the edge's own drop, more than a grey level or two of noise, and twice the
    // valley between.
    constexpr double kShareOfEdge = 1.0 / 3;
    constexpr double kLeastDrop = 3;
    if (insideAt == 0 || !(inside >= kShareOfEdge * atCircle) || inside < kLeastDrop)
        return std::nullopt;
    double between = inside;
    for (std::size_t m = insideAt; m <= edgeAt; ++m)
        between = std::min(between, drop[m]);
    if (between > inside / 2) return std::nullopt;
    InnerEdge edge;
    edge.radius = from + step * static_cast<double>(insideAt);
    edge.level = (p[insideAt - kBaseline] + p[insideAt + kBaseline]) / 2;
    return edge;
}

SubPixelPoints AsSubPixel(const LimbPoints& points) {
    SubPixelPoints out;
    for (std::size_t i = 0; i < LimbRays; ++i) {
        out.x[i] = points.x[i];
        out.y[i] = points.y[i];
        out.flag[i] = points.flag[i];
    }
    return out;
}

LimbVerdict JudgeLimb(const PixelGrid& grid, LimbBackground mode, const Circle& disk,
                      const SubPixelPoints& points, int32_t raysSearched) {
    LimbVerdict v;
    std::vector<double> angles;
    double squares = 0;
    for (std::size_t i = 0; i < LimbRays; ++i) {
        if (points.flag[i] != LimbPointAccepted) continue;
        const double dx = points.x[i] - disk.cx;
        const double dy = points.y[i] - disk.cy;
        const double off = std::hypot(dx, dy) - disk.r;
        squares += off * off;
        angles.push_back(degrees::Atan2(dy, dx));
    }
    v.points = static_cast<int32_t>(angles.size());
    v.residual = angles.empty() ? 0 : std::sqrt(squares / static_cast<double>(angles.size()));
    if (!std::isfinite(disk.cx) || !std::isfinite(disk.cy) || !std::isfinite(disk.r) ||
        !std::isfinite(v.residual)) {
        v.reason = "the circle fit gave no finite circle";
        return v;
    }

    constexpr int32_t kFewestPoints = 3; // a circle needs three
    if (v.points < kFewestPoints || v.points * LimbLeastAgreeingShare < raysSearched) {
        v.reason = v.points == 0
                       ? "none of the " + std::to_string(raysSearched) + " rays found an edge"
                       : "only " + std::to_string(v.points) + " of " +
                             std::to_string(raysSearched) + " rays agree";
        return v;
    }

    std::sort(angles.begin(), angles.end());
    double gap = angles.front() + kFullCircle - angles.back();
    for (std::size_t i = 1; i < angles.size(); ++i)
        gap = std::max(gap, angles[i] - angles[i - 1]);
    if (gap >= LimbLargestGapDegrees) {
        v.reason = "the limb is seen on only " + FixedText(kFullCircle - gap, 0) +
                   "\xC2\xB0 of the circle";
        const double beyond = Overhang(disk, grid.Width(), grid.Height());
        if (beyond >= 1) {
            v.reason += ", which runs " + FixedText(beyond, 0) + " px beyond the picture";
        }
        return v;
    }

    if (v.residual > LimbLargestResidual) {
        v.reason = "the edge is ragged: its points lie " + FixedText(v.residual, 1) +
                   " px off the circle (RMS)";
        return v;
    }

    // A light field's limb is a dark line or the edge of a dark disk: no drop to look for.
    if (mode == LimbBackground::Dark) {
        const double tolerance = std::max(LimbEdgeTolerance, disk.r * LimbEdgeTolerancePerRadius);
        if (const std::optional<double> inside = SteepestDropInside(grid, disk, tolerance);
            inside && std::fabs(*inside) > tolerance) {
            v.reason = "the brightness drops most " + FixedText(std::fabs(*inside), 1) + " px " +
                       (*inside > 0 ? "inside" : "outside") + " the circle, not at it";
            return v;
        }
    }
    v.accepted = true;
    return v;
}

} // namespace zorva
