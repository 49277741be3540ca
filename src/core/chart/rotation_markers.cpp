#include "core/chart/rotation_markers.h"

#include <cmath>

#include "core/common/angles.h"
#include "core/common/no_value.h"

namespace zorva {

namespace {

using namespace degrees;

// Differential rotation: sidereal rate 14.37 - 2.6 sin^2(lat) degrees a day, turned
// into a drift against the Carrington frame.
constexpr double kEquatorRate = 14.37;
constexpr double kRateFalloff = 2.6;
constexpr double kSiderealPeriod = 25.38;                     // days, the Carrington frame
constexpr double kPerSynodicPeriod = 0.03666320810403552;     // 1 / 27.2753 days
constexpr double kCarringtonSynodicRate = 13.198754917452787; // 360 / 27.2753, degrees a day

double MarkerDrift(double latitude) {
    const double s = Sin(latitude);
    const double w = kEquatorRate - kRateFalloff * s * s;
    return w * kSiderealPeriod * kPerSynodicPeriod - kCarringtonSynodicRate;
}

double FoldLongitude(double lon, int foldLimit) {
    for (int i = 0; i < foldLimit && lon >= kFullCircle; ++i)
        lon -= kFullCircle;
    for (int i = 0; i < foldLimit && lon < 0; ++i)
        lon += kFullCircle;
    // A typed date years away drifts further than the steps above can fold; finish the
    // fold so the longitude readout and the rotation rule stay within one circle.
    if (lon >= kFullCircle || lon < 0) {
        lon = std::fmod(lon, kFullCircle);
        if (lon < 0) lon += kFullCircle;
        if (lon >= kFullCircle) lon = 0; // fmod of a tiny negative can round up to 360
    }
    return lon;
}

} // namespace

void ProjectLimbPoint(double lat, double dlong, double /*D*/, double b0, DiskPosition& out) {
    double c = Sin(lat) * Sin(b0) + Cos(lat) * Cos(b0) * Cos(dlong);
    if (c > 1) c = 1;
    // cos(90 degrees) in floating point is about 6e-17, so a point exactly on the
    // geometric limb counts as beyond it.
    if (Cos(90.0) > c || c > 1) {
        out.rho = FarSide;
        return;
    }
    out.rho = Acos(c);
    out.r = 1;
    if (out.rho == 0) {
        out.pa = 0;
        return;
    }
    const double s = Cos(lat) * Sin(dlong) / Sin(out.rho);
    const double k = (Sin(lat) - c * Sin(b0)) / (Cos(b0) * Sin(out.rho));
    out.pa = QuadrantAngle(s, k);
}

void PlaceMarker(double lon, double lat, const Ephemeris& ephemeris, const DiskFrame& frame,
                 double& x, double& y, bool& farSide) {
    const double D = ApparentDiameter(ephemeris);
    const double B0 = ephemeris.B0;
    const double front = ephemeris.L0 - lon;
    // Seen through the disk: the far hemisphere mirrored, as from the other side.
    const double back = -(ephemeris.L0 + kHalfCircle - lon);
    DiskPosition p;
    farSide = false;
    ProjectPoint(lat, front, D, B0, p);
    if (p.rho == FarSide) {
        farSide = true;
        ProjectPoint(lat, back, D, -B0, p);
    }
    // The thin band between the apparent limb and the geometric one goes on the limb.
    if (p.rho == FarSide) ProjectLimbPoint(lat, front, D, B0, p);
    if (p.rho == FarSide) ProjectLimbPoint(lat, back, D, -B0, p);
    if (p.rho == FarSide) return;
    const DiskPoint at = PolarToDisk(frame, p.r, p.pa);
    x = at.x;
    y = at.y;
}

void CarryRotationMarkers(const Instant& previous, const Instant& current,
                          const Ephemeris& ephemeris, const DiskFrame& frame, SpotState& spot,
                          MarkerState& markers, int foldLimit) {
    if (markers.CarrMarkerShown && spot.At) {
        if (!markers.CarrRefSet) {
            markers.CarrRefLong = spot.At->longitude;
            markers.CarrRefSet = true;
        }
        PlaceMarker(markers.CarrRefLong, spot.At->latitude, ephemeris, frame, markers.CarrMarkerX,
                    markers.CarrMarkerY, markers.CarrMarkerFarSide);
        spot.At->rotation =
            RotationAtLongitude(spot.At->longitude, ephemeris.L0, ephemeris.Rotation);
    }
    if (markers.DiffMarkerShown && spot.At) {
        const double days = JulianDate(current) - JulianDate(previous);
        DiskPointLocation& at = *spot.At;
        at.longitude = FoldLongitude(at.longitude + days * MarkerDrift(at.latitude), foldLimit);
        PlaceMarker(at.longitude, at.latitude, ephemeris, frame, markers.DiffMarkerX,
                    markers.DiffMarkerY, markers.DiffMarkerFarSide);
        spot.At->rotation =
            RotationAtLongitude(spot.At->longitude, ephemeris.L0, ephemeris.Rotation);
    }
}

} // namespace zorva
