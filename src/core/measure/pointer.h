#pragma once

#include <cstdint>
#include <optional>

#include "core/chart/chart_geometry.h"
#include "core/chart/projection.h"
#include "core/ephemeris/daily_table.h"

namespace zorva {

// A click turned into a disk position: x to the right and y upwards in millimetres from
// the disk centre at the chart's scale, as displayed (flip and mirror not undone), and
// d = 2 sqrt(x^2 + y^2), the diameter of the circle through the point.
struct DiskClick {
    double x = 0;
    double y = 0;
    double d = 0;

    bool operator==(const DiskClick&) const = default;
};

// The limb itself counts as on the disk.
inline bool OnDisk(double d, double chartDiameter) {
    return d <= chartDiameter;
}

// Pixel (X, Y) of a click to the disk. A pixel's position is taken at its centre.
DiskClick PointToDisk(int32_t X, int32_t Y, int32_t width, int32_t height, double chartDiameter);
DiskClick PointToDisk(int32_t X, int32_t Y, double cx, double cy, double radius,
                      double chartDiameter);
DiskClick PointToDisk(const DiskFrame& frame, int32_t X, int32_t Y);

// An unrounded pixel position (the middle of a separation figure) back to millimetres;
// unlike a click it is not shifted to a pixel's centre.
DiskPoint PixelToDisk(const DiskFrame& frame, double X, double Y);

// Whole pixel of a disk point in millimetres, the rule of the separation drawings; kept
// within 2^24 pixels of the origin whatever the numbers.
struct Pixel {
    int32_t X = 0;
    int32_t Y = 0;

    bool operator==(const Pixel&) const = default;
};
Pixel DiskToWholePixel(const DiskFrame& frame, double x, double y);
// Whole pixel of a polar disk position (r, pa), turned by the frame's rotation.
Pixel PolarToWholePixel(const DiskFrame& frame, double r, double pa);

// Two decimals, halves away from zero (0.125 -> 0.13, -0.125 -> -0.13), as the
// coordinate boxes receive a clicked or derived position.
double RoundToHundredthsAwayFromZero(double v);

// Heliographic latitude and Carrington longitude of a disk point; nothing off the disk.
struct LatLong {
    double lat = 0;
    double lon = 0;

    bool operator==(const LatLong&) const = default;
};
std::optional<LatLong> LocatePoint(double x, double y, const DiskFrame& frame,
                                   const Ephemeris& ephemeris);

// The second point of a separation that starts on the disk (x1, y1) and ends off it
// (x2, y2), moved back along the line to the farthest on-disk point of a 0.125 mm walk.
DiskPoint LimbCrossing(double x1, double y1, double x2, double y2, double chartDiameter);

// How far inside the limb the end of an outside-disk separation is placed, as a
// fraction of the radius: closer to 1 on larger charts, where a pixel is less of the
// radius.
double LimbInsetFactor(double chartDiameter);

// The end of an outside-disk separation whose second click fell on the disk: the limb
// point below the first point (x1, y1), at LimbInsetFactor of the radius, and the
// latitude and longitude of that direction at 0.9999 of the radius.
struct LimbPoint {
    double x = 0;
    double y = 0;
    LatLong location;
};
LimbPoint OutsideLimbPoint(double x1, double y1, const DiskFrame& frame,
                           const Ephemeris& ephemeris);

} // namespace zorva
