#include "core/chart/projection.h"

#include <algorithm>
#include <cmath>

#include "core/common/angles.h"
#include "core/common/no_value.h"

namespace zorva {

namespace {

using namespace degrees;

constexpr double kNoError = 1000.0; // starting error of every search stage

// Every candidate radius of both searches lies on a fixed grid: thousandths for the
// single point, 1/640 (0.2 halved seven times) for the grid lines. The arc sines of the
// grid are worked out once, so a search step costs a table look-up, not an asin call.
constexpr int kFineSteps = 1000;
constexpr int kCoarseSteps = 640;

template <int N> struct RadiusGrid {
    std::array<double, N + 1> t{};
    std::array<double, N + 1> asinDeg{};
    RadiusGrid() {
        for (int j = 0; j <= N; ++j) {
            t[j] = static_cast<double>(j) / N;
            asinDeg[j] = std::asin(t[j]) * kRadToDeg;
        }
    }
    // Distance between a heliocentric angle and the one the radial fraction t[j] stands
    // for, allowing for the finite distance of the observer (rho = asin t - t D/2).
    double Error(double rho, int j, double D) const {
        return std::fabs(rho - (asinDeg[j] - t[j] * D * 0.5));
    }
};

const RadiusGrid<kFineSteps>& FineGrid() {
    static const RadiusGrid<kFineSteps> grid;
    return grid;
}

const RadiusGrid<kCoarseSteps>& CoarseGrid() {
    static const RadiusGrid<kCoarseSteps> grid;
    return grid;
}

// One stage of the single-point search: `count` candidates from `start` in steps of
// `step` (grid units), a candidate past 1 taken as 1; an equal error keeps the earlier
// (smaller) candidate.
int SearchStage(const RadiusGrid<kFineSteps>& grid, double rho, double D, int start, int step,
                int count) {
    int best = start;
    double bestError = kNoError;
    for (int k = 0; k < count; ++k) {
        const int j = std::min(start + step * k, kFineSteps);
        const double e = grid.Error(rho, j, D);
        if (e < bestError) {
            bestError = e;
            best = j;
        }
    }
    return best;
}

// Three stages of 11, 21 and 21 evaluations, steps of 0.1, 0.01 and 0.001, each
// starting one step of the stage before below its best.
double SearchRadiusFine(double rho, double D) {
    constexpr int kTenth = kFineSteps / 10;
    constexpr int kHundredth = kFineSteps / 100;
    constexpr int kStage2Top = 8 * kTenth;                  // 0.8
    constexpr int kStage3Top = kFineSteps - 2 * kHundredth; // 0.98
    const RadiusGrid<kFineSteps>& grid = FineGrid();
    const int coarse = SearchStage(grid, rho, D, 0, kTenth, 11);
    const int medium =
        SearchStage(grid, rho, D, std::clamp(coarse - kTenth, 0, kStage2Top), kHundredth, 21);
    const int fine =
        SearchStage(grid, rho, D, std::clamp(medium - kHundredth, 0, kStage3Top), 1, 21);
    return grid.t[fine];
}

// Six coarse candidates 0.2 apart, then seven bisecting refinements of two candidates
// each (below first, then above the best so far): 20 evaluations, enough for a grid line.
double SearchRadiusCoarse(double rho, double D) {
    constexpr int kCoarseCount = 6;
    constexpr int kFifth = kCoarseSteps / 5;
    constexpr int kRefinements = 7;
    const RadiusGrid<kCoarseSteps>& grid = CoarseGrid();
    int best = 0;
    double bestError = kNoError;
    for (int k = 0; k < kCoarseCount; ++k) {
        const int j = std::min(kFifth * k, kCoarseSteps);
        const double e = grid.Error(rho, j, D);
        if (e < bestError) {
            bestError = e;
            best = j;
        }
    }
    int h = kFifth;
    for (int i = 0; i < kRefinements; ++i) {
        h /= 2;
        const int below = std::max(best - h, 0);
        const double eBelow = grid.Error(rho, below, D);
        if (eBelow < bestError) {
            bestError = eBelow;
            best = below;
        }
        const int above = std::min(best + h, kCoarseSteps);
        const double eAbove = grid.Error(rho, above, D);
        if (eAbove < bestError) {
            bestError = eAbove;
            best = above;
        }
    }
    return grid.t[best];
}

// Sine and cosine of one angle, worked out once where a whole grid line shares it.
struct SinCos {
    double sin;
    double cos;
};
SinCos SinCosOf(double deg) {
    return {Sin(deg), Cos(deg)};
}

// The inputs of one projection that a grid line holds fixed.
struct ProjectionFrame {
    SinCos b0;
    double cosLimit; // cosine of the apparent limb's angle 90 - D/2
};
ProjectionFrame FrameOf(double D, double B0) {
    return {SinCosOf(B0), Cos(90.0 - D * 0.5)};
}

// Heliocentric angle and position angle (steps shared by every forward form). False for
// a point beyond the visible limb.
bool ProjectAngles(SinCos lat, SinCos dL, const ProjectionFrame& f, double& rho, double& pa) {
    double cosRho = lat.cos * dL.cos * f.b0.cos + lat.sin * f.b0.sin;
    if (cosRho > 1) cosRho = 1;
    if (f.cosLimit > cosRho) return false;
    rho = Acos(cosRho);
    if (rho == 0) {
        pa = 0;
        return true;
    }
    const SinCos r = SinCosOf(rho);
    const double s = lat.cos * dL.sin / r.sin;
    const double c = (lat.sin - r.cos * f.b0.sin) / (r.sin * f.b0.cos);
    pa = QuadrantAngle(s, c);
    return true;
}

DiskPosition ProjectGridPoint(SinCos lat, SinCos dL, const ProjectionFrame& f, double D,
                              RadialSearch search) {
    DiskPosition p;
    if (!ProjectAngles(lat, dL, f, p.rho, p.pa)) return {FarSide, 0, 0};
    p.r = search == RadialSearch::Exact ? ExactRadius(p.rho, D) : SearchRadiusCoarse(p.rho, D);
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
    if (!ProjectAngles(SinCosOf(latitude), SinCosOf(dL), FrameOf(D, B0), rho, pa)) {
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

double ExactRadius(double rho, double D) {
    // r = sin(rho + r D / 2): each turn multiplies the error by at most D / 2 in radians
    // (under 0.005 for the Sun seen from the Earth), so four turns leave it below 1e-9.
    constexpr int kTurns = 4;
    double r = Sin(std::clamp(rho, 0.0, 90.0));
    for (int i = 0; i < kTurns; ++i)
        r = Sin(std::min(rho + r * D * 0.5, 90.0));
    return r;
}

void ProjectLatitudeCircle(double latitude, std::span<const double> dL, double D, double B0,
                           std::span<DiskPosition> out, RadialSearch search) {
    const std::size_t n = std::min(dL.size(), out.size());
    const ProjectionFrame frame = FrameOf(D, B0);
    const SinCos lat = SinCosOf(latitude);
    for (std::size_t k = 0; k < n; ++k)
        out[k] = ProjectGridPoint(lat, SinCosOf(dL[k]), frame, D, search);
}

void ProjectMeridian(std::span<const double> latitudes, double dL, double D, double B0,
                     std::span<DiskPosition> out, RadialSearch search) {
    const std::size_t n = std::min(latitudes.size(), out.size());
    const ProjectionFrame frame = FrameOf(D, B0);
    const SinCos longitude = SinCosOf(dL);
    for (std::size_t k = 0; k < n; ++k) {
        out[k] = ProjectGridPoint(SinCosOf(latitudes[k]), longitude, frame, D, search);
    }
}

int32_t RotationAtLongitude(double lon, double L0, int32_t rotation) {
    constexpr double kHalfCircle = 180.0;
    if (L0 >= kHalfCircle) return L0 - lon > kHalfCircle ? rotation - 1 : rotation;
    return L0 - lon >= -kHalfCircle ? rotation : rotation + 1;
}

DiskFrame FrameOf(const ChartGeometry& geometry, double q) {
    DiskFrame f;
    f.diameter = geometry.ChartDiameter;
    f.q = q;
    f.mirror = geometry.MirrorSign;
    f.flip = geometry.FlipSign;
    return f;
}

DiskFrame ChartDiskFrame(int32_t width, int32_t height, const ChartGeometry& geometry, double q) {
    // A click lands in the middle of its pixel, which on the chart lies half a pixel past its
    // index, as the disk centre is half the side.
    constexpr double kChartPixelMiddle = 0.5;
    DiskFrame f = FrameOf(geometry, q);
    f.cx = 0.5 * width;
    f.cy = 0.5 * height;
    f.rx = 0.5 * ChartDiskFraction * width;
    f.ry = 0.5 * ChartDiskFraction * height;
    f.pixelMiddle = kChartPixelMiddle;
    return f;
}

DiskFrame ImageFrame(double cx, double cy, double radius, const ChartGeometry& geometry, double q) {
    DiskFrame f = FrameOf(geometry, q);
    f.cx = cx;
    f.cy = cy;
    f.rx = radius;
    f.ry = radius;
    return f;
}

std::optional<DiskPointLocation> LocateDiskPoint(double x, double y, const DiskFrame& frame,
                                                 double D, double B0, double L0, int32_t rotation) {
    constexpr double kFullCircle = 360.0;
    const double q = frame.q;
    const double xs = frame.mirror == 1 ? x : -x;
    const double ys = frame.flip == 1 ? y : -y;
    const double d = std::sqrt(xs * xs + ys * ys);
    const double rho1 = d * D / frame.diameter;
    const double r = rho1 * 2 / D;
    // Also refuses a NaN distance, which would otherwise run through as a point.
    if (!(r <= 1 && r >= -1)) return std::nullopt;

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
    loc.rotation = RotationAtLongitude(loc.longitude, L0, rotation);
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
    case Orientation::FromHeader:
        return 0.0; // the header's own turn is the geometry's, not the mode's
    }
    return P;
}

double ChartRotation(const ChartGeometry& geometry, double P, double parallacticAngle) {
    const double q = geometry.Mode == Orientation::FromHeader
                         ? geometry.HeaderRotation
                         : ChartRotation(geometry.Mode, P, parallacticAngle);
    if (geometry.Turn == 0) return q;
    // Drawn at pa + q clockwise from up when both signs are +1, at -(pa + q) when one is -1:
    // a turn counter-clockwise takes the product of the signs times the turn from q.
    return q - geometry.FlipSign * geometry.MirrorSign * geometry.Turn;
}

DiskFrame FrameAt(const ChartGeometry& geometry, const Ephemeris& ephemeris) {
    return FrameOf(geometry, ChartRotation(geometry, ephemeris.P, ephemeris.ParallacticAngle));
}

PixelPoint DiskToPixel(const DiskFrame& f, double r, double pa) {
    return {f.cx + Sin(pa + f.q) * f.mirror * r * f.rx, f.cy - Cos(pa + f.q) * f.flip * r * f.ry};
}

DiskPoint PolarToDisk(const DiskFrame& f, double r, double pa) {
    const double half = 0.5 * f.diameter;
    return {Sin(pa + f.q) * f.mirror * r * half, Cos(pa + f.q) * f.flip * r * half};
}

} // namespace zorva
