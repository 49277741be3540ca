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

DiskFrame ChartDiskFrame(int32_t width, int32_t height, const ChartGeometry& geometry, double q) {
    DiskFrame f;
    f.Chart = true;
    f.Cx = 0.5 * width;
    f.Cy = 0.5 * height;
    f.Rx = 0.5 * ChartDiskFraction * width;
    f.Ry = 0.5 * ChartDiskFraction * height;
    f.ScaleX = ChartDiskFraction * width;
    f.ScaleY = ChartDiskFraction * height;
    f.chart = FrameOf(geometry, q);
    return f;
}

DiskFrame ImageFrame(double cx, double cy, double radius, const ChartGeometry& geometry, double q) {
    DiskFrame f;
    f.Chart = false;
    f.Cx = cx;
    f.Cy = cy;
    f.Rx = radius;
    f.Ry = radius;
    f.ScaleX = 2 * radius;
    f.ScaleY = 2 * radius;
    f.chart = FrameOf(geometry, q);
    return f;
}

DiskClick PointToDisk(const DiskFrame& f, int32_t X, int32_t Y) {
    DiskClick c;
    const double centre = f.Chart ? kChartPixelCentre : 0;
    c.x = (X - f.Cx - centre) * f.chart.diameter / f.ScaleX;
    c.y = -(Y - f.Cy - centre) * f.chart.diameter / f.ScaleY;
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
    if (f.Chart)
        return {(X - f.Cx) * f.chart.diameter / f.ScaleX,
                -(Y - f.Cy) * f.chart.diameter / f.ScaleY};
    return {(X - f.Cx) * f.chart.diameter / f.ScaleX, -f.chart.diameter * (Y - f.Cy) / f.ScaleY};
}

Pixel DiskToWholePixel(const DiskFrame& f, double x, double y) {
    return {WholePixel(f.ScaleX * x / f.chart.diameter + f.Cx),
            WholePixel(f.Cy - f.ScaleY * y / f.chart.diameter)};
}

Pixel PolarToWholePixel(const DiskFrame& f, double r, double pa) {
    const PixelPoint p = DiskToPixel(r, pa, f.Cx, f.Cy, f.Rx, f.Ry, f.chart);
    return {WholePixel(p.x), WholePixel(p.y)};
}

double RoundToHundredthsAwayFromZero(double v) {
    constexpr double kPerUnit = 100;
    constexpr double kStep = 0.01;
    if (v >= 0) return std::floor(kPerUnit * v + 0.5) * kStep;
    return -(std::floor(-kPerUnit * v + 0.5) * kStep);
}

std::optional<LatLong> LocatePoint(double x, double y, const ChartGeometry& geometry,
                                   const Ephemeris& ephemeris, double q) {
    const double xs = geometry.MirrorSign == 1 ? x : -x;
    const double ys = geometry.FlipSign == 1 ? y : -y;
    const double r = 2 * std::sqrt(xs * xs + ys * ys) / geometry.ChartDiameter;
    if (!(r <= 1 && r >= -1)) return std::nullopt;
    // The inverse projection works the radius out in another order and can put a point
    // exactly on the limb an ulp outside; pull such a point in by an ulp or two rather
    // than lose a limb point that counts as on the disk.
    constexpr int kUlpRetries = 8;
    double scale = 1;
    for (int i = 0; i <= kUlpRetries; ++i) {
        const std::optional<DiskPointLocation> loc =
            LocateDiskPoint(x * scale, y * scale, FrameOf(geometry, q), ApparentDiameter(ephemeris),
                            ephemeris.B0, ephemeris.L0, ephemeris.Rotation);
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

LimbPoint OutsideLimbPoint(double x1, double y1, const ChartGeometry& geometry,
                           const Ephemeris& ephemeris, double q) {
    const double k = LimbInsetFactor(geometry.ChartDiameter);
    double a = 0;
    if (x1 == 0) {
        a = y1 > 0 ? 90.0 : 270.0;
    } else {
        a = Atan2(y1, x1);
    }
    LimbPoint p;
    p.x = Cos(a) * k * geometry.ChartDiameter / 2;
    p.y = Sin(a) * k * geometry.ChartDiameter / 2;
    // Just inside the limb the point is always on the disk.
    p.location = LocatePoint(p.x * kLimbLocateFraction / k, p.y * kLimbLocateFraction / k, geometry,
                             ephemeris, q)
                     .value_or(LatLong{});
    return p;
}

} // namespace zorva
