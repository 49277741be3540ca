#include "core/chart/projection.h"

#include <algorithm>
#include <cmath>

#include "core/chart/degrees.h"
#include "core/common/no_value.h"

namespace zorva {

namespace {

using namespace degrees;

constexpr double kNoError = 1000.0; // starting error of every search stage

// Distance between a heliocentric angle and the one a radial fraction t stands for,
// allowing for the finite distance of the observer (rho = asin t - t D/2).
double RadialError(double rho, double t, double D) {
    return std::fabs(rho - (std::asin(t) * kRadToDeg - t * D * 0.5));
}

// One stage of the single-point search: `count` candidates from `start` in steps of
// `step`; an equal error keeps the earlier (smaller) candidate.
double SearchStage(double rho, double D, double start, double step, int count) {
    double best = start;
    double bestError = kNoError;
    for (int k = 0; k < count; ++k) {
        const double t = std::min(start + step * k, 1.0);
        const double e = RadialError(rho, t, D);
        if (e < bestError) {
            bestError = e;
            best = t;
        }
    }
    return best;
}

// Three stages of 11, 21 and 21 evaluations, each a tenth of the step before.
double SearchRadiusFine(double rho, double D) {
    constexpr double kStage2Top = 0.8;
    constexpr double kStage3Top = 0.98;
    const double coarse = SearchStage(rho, D, 0.0, 0.1, 11);
    const double medium = SearchStage(rho, D, std::clamp(coarse - 0.1, 0.0, kStage2Top), 0.01, 21);
    return SearchStage(rho, D, std::clamp(medium - 0.01, 0.0, kStage3Top), 0.001, 21);
}

// Six coarse candidates, then seven bisecting refinements of two candidates each: 20
// evaluations in all, enough for a grid line.
double SearchRadiusCoarse(double rho, double D) {
    constexpr int kCoarseCount = 6;
    constexpr double kCoarseStep = 0.2;
    constexpr int kRefinements = 7;
    double best = 0;
    double bestError = kNoError;
    for (int k = 0; k < kCoarseCount; ++k) {
        const double t = std::min(kCoarseStep * k, 1.0);
        const double e = RadialError(rho, t, D);
        if (e < bestError) {
            bestError = e;
            best = t;
        }
    }
    double h = kCoarseStep;
    for (int i = 0; i < kRefinements; ++i) {
        h *= 0.5;
        const double below = std::max(best - h, 0.0);
        const double eBelow = RadialError(rho, below, D);
        if (eBelow < bestError) {
            bestError = eBelow;
            best = below;
        }
        const double above = std::min(best + h, 1.0);
        const double eAbove = RadialError(rho, above, D);
        if (eAbove < bestError) {
            bestError = eAbove;
            best = above;
        }
    }
    return best;
}

// Heliocentric angle and position angle (steps shared by every forward form). False for
// a point beyond the visible limb, whose apparent edge lies at 90 - D/2.
bool ProjectAngles(double latitude, double dL, double D, double B0, double& rho, double& pa) {
    const double limit = 90.0 - D * 0.5;
    double cosRho = Cos(latitude) * Cos(dL) * Cos(B0) + Sin(latitude) * Sin(B0);
    if (cosRho > 1) cosRho = 1;
    if (Cos(limit) > cosRho) return false;
    rho = Acos(cosRho);
    if (rho == 0) {
        pa = 0;
        return true;
    }
    double s = Cos(latitude) * Sin(dL) / Sin(rho);
    const double c = (Sin(latitude) - Cos(rho) * Sin(B0)) / (Sin(rho) * Cos(B0));
    s = std::clamp(s, -1.0, 1.0);
    if (s >= 0 && c >= 0) {
        pa = Asin(s);
    } else if (s >= 0 || c <= 0) {
        pa = 180.0 - Asin(s);
    } else {
        pa = Asin(s) + 360.0;
    }
    return true;
}

DiskPosition ProjectGridPoint(double latitude, double dL, double D, double B0) {
    DiskPosition p;
    if (!ProjectAngles(latitude, dL, D, B0, p.rho, p.pa)) return {FarSide, 0, 0};
    p.r = SearchRadiusCoarse(p.rho, D);
    return p;
}

template <std::size_t N> std::array<double, N> Samples(double first, double step) {
    std::array<double, N> a{};
    for (std::size_t k = 0; k < N; ++k)
        a[k] = first + step * static_cast<double>(k);
    return a;
}

} // namespace

void ProjectPoint(double latitude, double dL, double D, double B0, DiskPosition& out) {
    double rho = 0;
    double pa = 0;
    if (!ProjectAngles(latitude, dL, D, B0, rho, pa)) {
        out.rho = FarSide;
        return;
    }
    out.rho = rho;
    out.pa = pa;
    out.r = SearchRadiusFine(rho, D);
}

const std::array<double, LatitudeCircleSamples>& ChartLongitudeSamples() {
    static const auto samples = Samples<LatitudeCircleSamples>(-110.0, 0.5);
    return samples;
}

const std::array<double, MeridianSamples>& ChartLatitudeSamples() {
    static const auto samples = Samples<MeridianSamples>(90.0, -0.5);
    return samples;
}

void ProjectLatitudeCircle(double latitude, std::span<const double> dL, double D, double B0,
                           std::span<DiskPosition> out) {
    const std::size_t n = std::min(dL.size(), out.size());
    for (std::size_t k = 0; k < n; ++k)
        out[k] = ProjectGridPoint(latitude, dL[k], D, B0);
}

void ProjectMeridian(std::span<const double> latitudes, double dL, double D, double B0,
                     std::span<DiskPosition> out) {
    const std::size_t n = std::min(latitudes.size(), out.size());
    for (std::size_t k = 0; k < n; ++k)
        out[k] = ProjectGridPoint(latitudes[k], dL, D, B0);
}

DiskPointLocation LocateDiskPoint(double x, double y, double chartDiameter, double D, double B0,
                                  double L0, int32_t rotation, double q, int32_t mirrorSign,
                                  int32_t flipSign) {
    constexpr double kFullCircle = 360.0;
    constexpr double kHalfCircle = 180.0;
    const double xs = mirrorSign == 1 ? x : -x;
    const double ys = flipSign == 1 ? y : -y;
    const double d = std::sqrt(xs * xs + ys * ys);
    const double rho1 = d * D / chartDiameter;
    const double r = rho1 * 2 / D;
    // Also refuses a NaN distance, which would otherwise run through as a point.
    if (!(r <= 1 && r >= -1)) return {NoValue, NoValue, NoValue, NoValue, NoRotation};

    DiskPointLocation loc;
    loc.rho = Asin(r) - rho1;
    loc.pa = (xs == 0 && ys == 0) ? 0.0 : Atan2(xs, ys);
    const double turn = q - loc.pa; // position angle from the solar north, sign reversed
    // Rounding can carry the sine a hair past 1 at the poles; asin would give NaN there.
    const double sinLat =
        std::clamp(Cos(loc.rho) * Sin(B0) + Sin(loc.rho) * Cos(B0) * Cos(turn), -1.0, 1.0);
    loc.latitude = Asin(sinLat);
    if (loc.latitude == 90.0 || loc.latitude == -90.0) {
        loc.longitude = L0;
    } else {
        // Both components of the longitude difference, so that a point seen beyond the
        // pole (more than 90 degrees from the central meridian) keeps its true longitude.
        const double east = Sin(loc.rho) * Sin(turn);
        const double front = Cos(loc.rho) * Cos(B0) - Sin(loc.rho) * Sin(B0) * Cos(turn);
        loc.longitude = Atan2(east, front) + L0;
        if (loc.longitude < 0) {
            loc.longitude += kFullCircle;
        } else if (loc.longitude > kFullCircle) {
            loc.longitude -= kFullCircle;
        }
    }
    // The rotation in which the point crosses the central meridian: a point far behind
    // the centre across the 0/360 seam belongs to the rotation before or after.
    const double behind = L0 - loc.longitude;
    if (L0 >= kHalfCircle) {
        loc.rotation = behind > kHalfCircle ? rotation - 1 : rotation;
    } else {
        loc.rotation = behind >= -kHalfCircle ? rotation : rotation + 1;
    }
    return loc;
}

double ChartRotation(Orientation mode, double P, double parallacticAngle) {
    switch (mode) {
    case Orientation::Equatorial:
        return P;
    case Orientation::RotationAxis:
        return 0.0;
    case Orientation::AltAzimuth:
        return P - parallacticAngle;
    }
    return P;
}

PixelPoint DiskToPixel(double r, double pa, double q, double cx, double cy, double rx, double ry,
                       int32_t mirrorSign, int32_t flipSign) {
    return {cx + Sin(pa + q) * mirrorSign * r * rx, cy - Cos(pa + q) * flipSign * r * ry};
}

} // namespace zorva
