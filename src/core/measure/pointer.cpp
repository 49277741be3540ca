#include "core/measure/pointer.h"

#include <algorithm>
#include <cmath>

#include "core/chart/projection.h"
#include "core/common/angles.h"
#include "core/common/no_value.h"

namespace zorva {

namespace {

using namespace degrees;

// A click lands in the middle of its pixel. On the chart a pixel's middle lies half a pixel
// past its index, as the disk centre is half the side; on a picture the disk's centre and
// radius are fitted to (or given in) pixel indices, so a pixel's middle is its index.
constexpr double kChartPixelCentre = 0.5;
constexpr double kLimbStep = 0.125; // millimetres per step of the walk to the limb
constexpr double kStepsPerMm = 8;
// The limb point's latitude and longitude are taken just inside the limb, where the
// inverse projection is still defined.
constexpr double kLimbLocateFraction = 0.9999;

double Round(double v) {
    return std::floor(v + 0.5);
}

// Whole pixels stay within this far of the picture's origin: far beyond any picture, and
// far enough inside an int that sums of them cannot overflow.
constexpr double kFarthestPixel = 1 << 24;

int32_t WholePixel(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int32_t>(Round(std::clamp(v, -kFarthestPixel, kFarthestPixel)));
}

} // namespace

DiskClick PointToDisk(const DiskFrame& f, int32_t X, int32_t Y) {
    DiskClick c;
    c.x = (X - f.cx - f.pixelMiddle) * f.diameter / (2 * f.rx);
    c.y = -(Y - f.cy - f.pixelMiddle) * f.diameter / (2 * f.ry);
    c.d = 2 * std::sqrt(c.x * c.x + c.y * c.y);
    return c;
}

DiskClick PointToDisk(int32_t X, int32_t Y, int32_t width, int32_t height, double chartDiameter) {
    ChartGeometry g;
    g.ChartDiameter = chartDiameter;
    return PointToDisk(ChartDiskFrame(width, height, g, 0), X, Y);
}

DiskClick PointToDisk(int32_t X, int32_t Y, double cx, double cy, double radius,
                      double chartDiameter) {
    ChartGeometry g;
    g.ChartDiameter = chartDiameter;
    return PointToDisk(ImageFrame(cx, cy, radius, g, 0), X, Y);
}

DiskPoint PixelToDisk(const DiskFrame& f, double X, double Y) {
    return {(X - f.cx) * f.diameter / (2 * f.rx), -(Y - f.cy) * f.diameter / (2 * f.ry)};
}

Pixel DiskToWholePixel(const DiskFrame& f, double x, double y) {
    return {WholePixel(2 * f.rx * x / f.diameter + f.cx),
            WholePixel(f.cy - 2 * f.ry * y / f.diameter)};
}

Pixel PolarToWholePixel(const DiskFrame& f, double r, double pa) {
    const PixelPoint p = DiskToPixel(f, r, pa);
    return {WholePixel(p.x), WholePixel(p.y)};
}

double RoundToHundredthsAwayFromZero(double v) {
    constexpr double kPerUnit = 100;
    constexpr double kStep = 0.01;
    if (v >= 0) return std::floor(kPerUnit * v + 0.5) * kStep;
    return -(std::floor(-kPerUnit * v + 0.5) * kStep);
}

std::optional<LatLong> LocatePoint(double x, double y, const DiskFrame& frame,
                                   const Ephemeris& ephemeris) {
    const double xs = frame.mirror == 1 ? x : -x;
    const double ys = frame.flip == 1 ? y : -y;
    const double r = 2 * std::sqrt(xs * xs + ys * ys) / frame.diameter;
    if (!(r <= 1 && r >= -1)) return std::nullopt;
    // The inverse projection works the radius out in another order and can put a point
    // exactly on the limb an ulp outside; pull such a point in by an ulp or two rather
    // than lose a limb point that counts as on the disk.
    constexpr int kUlpRetries = 8;
    double scale = 1;
    for (int i = 0; i <= kUlpRetries; ++i) {
        const std::optional<DiskPointLocation> loc =
            LocateDiskPoint(x * scale, y * scale, frame, ApparentDiameter(ephemeris), ephemeris.B0,
                            ephemeris.L0, ephemeris.Rotation);
        if (loc) return LatLong{loc->latitude, loc->longitude};
        scale = std::nextafter(scale, 0.0);
    }
    return std::nullopt;
}

DiskPoint LimbCrossing(double x1, double y1, double x2, double y2, double chartDiameter) {
    // The first point is on the disk, so the walk always has it to fall back on.
    DiskPoint last{x1, y1};
    if (!std::isfinite(x2) || !std::isfinite(y2)) return last;
    double e = 0;
    if (x1 != x2) {
        e = std::atan((y2 - y1) / (x2 - x1)) * kRadToDeg;
    } else {
        e = y1 > y2 ? 90.0 : -90.0;
    }
    const double slope = std::tan(ToRad(e));
    const auto nx = static_cast<int64_t>(std::trunc(std::floor(std::fabs(x2 - x1)) + 1));
    const auto ny = static_cast<int64_t>(std::trunc(std::floor(std::fabs(y2 - y1)) + 1));
    const auto keepIfOnDisk = [&](double x, double y) {
        if (OnDisk(2 * std::sqrt(x * x + y * y), chartDiameter)) last = {x, y};
    };
    // A level line has no y to walk along (the slope is 0 and x would come out as 0/0),
    // so it is walked along x even when it is shorter than a millimetre.
    if (ny >= nx && y1 != y2) {
        for (int64_t i = 0; i <= kStepsPerMm * ny; ++i) {
            const double y = y2 < y1 ? y1 - kLimbStep * i : y1 + kLimbStep * i;
            keepIfOnDisk((y - y1) / slope + x1, y);
        }
    } else {
        for (int64_t i = 0; i <= kStepsPerMm * nx; ++i) {
            const double x = x2 < x1 ? x1 - kLimbStep * i : x1 + kLimbStep * i;
            keepIfOnDisk(x, slope * (x - x1) + y1);
        }
    }
    return last;
}

double LimbInsetFactor(double chartDiameter) {
    if (chartDiameter < 150) return 0.99;
    if (chartDiameter < 200) return 0.992;
    if (chartDiameter < 300) return 0.997;
    if (chartDiameter < 400) return 0.998;
    return 0.999;
}

LimbPoint OutsideLimbPoint(double x1, double y1, const DiskFrame& frame,
                           const Ephemeris& ephemeris) {
    const double k = LimbInsetFactor(frame.diameter);
    double a = 0;
    if (x1 == 0) {
        a = y1 > 0 ? 90.0 : 270.0;
    } else {
        a = Atan2(y1, x1);
    }
    LimbPoint p;
    p.x = Cos(a) * k * frame.diameter / 2;
    p.y = Sin(a) * k * frame.diameter / 2;
    // Just inside the limb the point is always on the disk.
    p.location =
        LocatePoint(p.x * kLimbLocateFraction / k, p.y * kLimbLocateFraction / k, frame, ephemeris)
            .value_or(LatLong{});
    return p;
}

} // namespace zorva
