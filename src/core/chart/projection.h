#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/daily_table.h"

namespace zorva {

// Heliocentric angle given by the forward projection to a point beyond the visible limb.
inline constexpr double FarSide = 999.0;

// A point on the projected disk: heliocentric angle rho (degrees), distance from the
// centre as a fraction r of the disk radius, and position angle pa (degrees, from the
// solar north pole through east, 0 <= pa < 360).
struct DiskPosition {
    double rho = 0;
    double r = 0;
    double pa = 0;

    bool operator==(const DiskPosition&) const = default;
};

// Heliographic latitude and longitude difference dL = L0 - L (positive towards the east
// limb) to the disk, for an apparent diameter D and centre latitude B0 (all degrees).
// Beyond the visible limb only rho is written (FarSide): r and pa keep what they held.
void ProjectPoint(double latitude, double dL, double D, double B0, DiskPosition& out);

// Sample counts of one chart grid line and the chart's sampling of them.
inline constexpr std::size_t LatitudeCircleSamples = 441; // dL = -110 + 0.5 k
inline constexpr std::size_t MeridianSamples = 361;       // latitude = 90 - 0.5 k
const std::array<double, LatitudeCircleSamples>& ChartLongitudeSamples();
const std::array<double, MeridianSamples>& ChartLatitudeSamples();

// How a grid line's radial fraction is found: the chart's search over a grid of 1/640,
// whose steps are too coarse for a disk thousands of pixels across, or the exact root.
enum class RadialSearch { Chart, Exact };

// The radial fraction r of a heliocentric angle rho, exactly: the root of
// rho = asin r - r D / 2 (degrees).
double ExactRadius(double rho, double D);

// A whole latitude circle or meridian in one call, with a coarser radial search than
// ProjectPoint, or the exact one. Points beyond the limb get rho = FarSide, r = 0, pa = 0.
// The first min(input, output) elements are processed.
void ProjectLatitudeCircle(double latitude, std::span<const double> dL, double D, double B0,
                           std::span<DiskPosition> out, RadialSearch search = RadialSearch::Chart);
void ProjectMeridian(std::span<const double> latitudes, double dL, double D, double B0,
                     std::span<DiskPosition> out, RadialSearch search = RadialSearch::Chart);

// How the disk lies on the chart or on a picture, for projecting onto it, placing on it
// and picking from it: the diameter in millimetres the disk stands for (the chart's, or the
// chart a picture's disk is taken to stand for), the angle q by which it is turned
// (ChartRotation, degrees), its mirror and flip signs, and where its pixels lie. A frame of
// millimetres alone (FrameOf) leaves the pixels at zero.
struct DiskFrame {
    double diameter = 150;
    double q = 0;
    int32_t mirror = 1; // +1 or -1, along the screen's horizontal
    int32_t flip = 1;   // +1 or -1, along its vertical
    double cx = 0;      // disk centre, pixels
    double cy = 0;
    double rx = 0; // disk radius along x and y, pixels
    double ry = 0;
    // Where a pixel's middle lies past its index: half a pixel on the chart, whose disk
    // centre is half its side; none on a picture, whose disk was fitted to pixel indices.
    double pixelMiddle = 0;

    bool operator==(const DiskFrame&) const = default;
};
// The frame of a chart geometry turned by q, in millimetres alone.
DiskFrame FrameOf(const ChartGeometry& geometry, double q);
// The chart image of width x height pixels: the disk centred, spanning 0.8 of the side.
DiskFrame ChartDiskFrame(int32_t width, int32_t height, const ChartGeometry& geometry, double q);
// A loaded picture: the fitted circle, taken to stand for the chart's diameter.
DiskFrame ImageFrame(double cx, double cy, double radius, const ChartGeometry& geometry, double q);

// The inverse: a point measured on the chart in millimetres from the disk centre (x to
// the right, y upwards as displayed) to the Sun; nothing outside the disk. pa is the angle
// in the chart frame after undoing flip and mirror, before removing the chart rotation q.
struct DiskPointLocation {
    double rho = 0;
    double pa = 0;
    double latitude = 0;
    double longitude = 0; // Carrington, 0..360
    int32_t rotation = 0; // Carrington rotation in which the point crosses the central meridian

    bool operator==(const DiskPointLocation&) const = default;
};
std::optional<DiskPointLocation> LocateDiskPoint(double x, double y, const DiskFrame& frame,
                                                 double D, double B0, double L0, int32_t rotation);

// The Carrington rotation in which a point at longitude `lon` crosses the central
// meridian, for the central meridian's longitude L0 and rotation: a point far behind the
// centre across the 0/360 seam belongs to the rotation before or after.
int32_t RotationAtLongitude(double lon, double L0, int32_t rotation);

// The angle by which the chart is turned: P in the Equatorial mode, 0 with the rotation
// axis up, P less the parallactic angle with the zenith up.
double ChartRotation(Orientation mode, double P, double parallacticAngle);
// The same for a chart geometry, whose header's turn stands when it is in force, with a
// picture's own Turn on top.
double ChartRotation(const ChartGeometry& geometry, double P, double parallacticAngle);
// The millimetre frame of a chart geometry for an ephemeris: turned by its ChartRotation.
DiskFrame FrameAt(const ChartGeometry& geometry, const Ephemeris& ephemeris);

// Pixel of a polar position (r, pa) drawn at angle pa + q, clockwise from up when both
// signs are +1, on the frame's disk.
struct PixelPoint {
    double x = 0;
    double y = 0;
};
PixelPoint DiskToPixel(const DiskFrame& frame, double r, double pa);

// Millimetres from the disk centre (x to the right, y upwards) of a polar position (r, pa)
// on the frame's disk: where a marker or a region stands on the chart.
struct DiskPoint {
    double x = 0;
    double y = 0;

    bool operator==(const DiskPoint&) const = default;
};
DiskPoint PolarToDisk(const DiskFrame& frame, double r, double pa);

} // namespace zorva
