#include "core/chart/projection.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "core/common/no_value.h"

namespace zorva {
namespace {

constexpr double kD = 0.5333; // a typical apparent diameter, degrees
constexpr double kRad = 3.141592653589793 / 180.0;

// The radial fraction whose heliocentric angle is rho, by bisection to full precision.
double BisectedRadius(double rho, double D) {
    double lo = 0, hi = 1;
    for (int i = 0; i < 80; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (std::asin(mid) / kRad - mid * D / 2 < rho) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

double AngleDiff(double a, double b) {
    return std::remainder(a - b, 360.0);
}

TEST(ProjectPoint, DiskCentreGivesZeros) {
    for (const double b0 : {0.0, 7.25, -4.0}) {
        DiskPosition p{5, 5, 5};
        ProjectPoint(b0, 0, kD, b0, p);
        // cos^2 + sin^2 need not round to 1, so rho may come out a hair above 0 (and
        // its angle is then noise); the radius, which places the point, is 0.
        EXPECT_NEAR(p.rho, 0, 1e-5) << b0;
        EXPECT_EQ(p.r, 0) << b0;
    }
    DiskPosition p{5, 5, 5};
    ProjectPoint(0, 0, kD, 0, p);
    EXPECT_EQ(p, (DiskPosition{0, 0, 0}));
}

TEST(ProjectPoint, PositionAngleQuadrants) {
    struct Case {
        double lat, dL, b0;
        double paLow, paHigh;
    };
    const Case cases[] = {
        {30, 0, 0, 0, 0},                                // north on the central meridian
        {30, 0, 7, 0, 0},        {-30, 0, 0, 180, 180},  // south on the central meridian
        {-30, 0, -7, 180, 180},  {10, 40, 3, 0.001, 90}, // north-east
        {-10, 40, 3, 90, 180},                           // south-east
        {-10, -40, 3, 180, 270},                         // south-west
        {10, -40, 3, 270, 360},                          // north-west
        {0, 60, 0, 90, 90},                              // on the equator seen edge-on: due east
    };
    for (const Case& c : cases) {
        DiskPosition p;
        ProjectPoint(c.lat, c.dL, kD, c.b0, p);
        EXPECT_GE(p.pa, c.paLow - 1e-9) << c.lat << " " << c.dL;
        EXPECT_LE(p.pa, c.paHigh + 1e-9) << c.lat << " " << c.dL;
        EXPECT_LT(p.pa, 360.0);
    }
}

TEST(ProjectPoint, FarSideLeavesRadiusAndAngleAlone) {
    DiskPosition p{1, 0.25, 42};
    ProjectPoint(0, 95, kD, 0, p);
    EXPECT_EQ(p.rho, FarSide);
    EXPECT_EQ(p.r, 0.25);
    EXPECT_EQ(p.pa, 42);

    // The array forms clear r and pa instead.
    const double dL[] = {95, 0};
    DiskPosition out[2] = {{1, 0.25, 42}, {1, 0.25, 42}};
    ProjectLatitudeCircle(0, dL, kD, 0, out);
    EXPECT_EQ(out[0], (DiskPosition{FarSide, 0, 0}));
    EXPECT_EQ(out[1].rho, 0);
    const double lats[] = {0};
    ProjectMeridian(lats, 95, kD, 0, std::span<DiskPosition>(out, 1));
    EXPECT_EQ(out[0], (DiskPosition{FarSide, 0, 0}));
}

TEST(ProjectPoint, ApparentLimbItselfIsVisible) {
    // The apparent limb lies at 90 - D/2, where the radial fraction is 1.
    const double edge = 90 - kD * 0.5;
    DiskPosition p;
    ProjectPoint(0, edge, kD, 0, p);
    ASSERT_NE(p.rho, FarSide);
    EXPECT_NEAR(p.rho, edge, 1e-9);
    EXPECT_EQ(p.r, 1);
    ProjectPoint(0, edge + 0.01, kD, 0, p);
    EXPECT_EQ(p.rho, FarSide);
}

TEST(ProjectPoint, RadialSearchesKeepTheirGrids) {
    // The single point ends on a 0.001 grid within a step of the exact radius; a grid
    // line's bisection ends on a 0.2/128 grid within its last step.
    constexpr double kFineStep = 0.001;
    constexpr double kCoarseStep = 0.2 / 128;
    for (double rho = 0.5; rho < 89.5; rho += 1.37) {
        const double exact = BisectedRadius(rho, kD);
        // dL alone moves a point along the equator with B0 = 0: rho = dL.
        DiskPosition fine;
        ProjectPoint(0, rho, kD, 0, fine);
        EXPECT_NEAR(fine.r, exact, kFineStep) << rho;
        EXPECT_NEAR(fine.r / kFineStep, std::round(fine.r / kFineStep), 1e-6) << rho;

        const double dL[] = {rho};
        DiskPosition coarse;
        ProjectLatitudeCircle(0, dL, kD, 0, std::span<DiskPosition>(&coarse, 1));
        EXPECT_EQ(coarse.rho, fine.rho);
        EXPECT_EQ(coarse.pa, fine.pa);
        EXPECT_NEAR(coarse.r, exact, kCoarseStep) << rho;
        EXPECT_NEAR(coarse.r / kCoarseStep, std::round(coarse.r / kCoarseStep), 1e-6) << rho;
        // A large picture's grid takes the root itself.
        DiskPosition root;
        ProjectLatitudeCircle(0, dL, kD, 0, std::span<DiskPosition>(&root, 1), RadialSearch::Exact);
        EXPECT_NEAR(root.r, exact, 1e-9) << rho;
    }
}

TEST(ProjectPoint, ArrayFormsMatchTheChartSampling) {
    const auto& dL = ChartLongitudeSamples();
    const auto& lat = ChartLatitudeSamples();
    EXPECT_EQ(dL.front(), -110);
    EXPECT_EQ(dL.back(), 110);
    EXPECT_EQ(lat.front(), 90);
    EXPECT_EQ(lat.back(), -90);
    std::vector<DiskPosition> circle(LatitudeCircleSamples);
    ProjectLatitudeCircle(20, dL, kD, 5, circle);
    std::vector<DiskPosition> meridian(MeridianSamples);
    ProjectMeridian(lat, -30, kD, 5, meridian);
    // Element by element the same angles as the single point; the radius within the
    // coarser search's last step.
    for (std::size_t k = 0; k < LatitudeCircleSamples; k += 20) {
        DiskPosition p;
        ProjectPoint(20, dL[k], kD, 5, p);
        EXPECT_EQ(circle[k].rho, p.rho) << k;
        if (p.rho == FarSide) continue;
        EXPECT_EQ(circle[k].pa, p.pa) << k;
        EXPECT_NEAR(circle[k].r, p.r, 0.0025) << k;
    }
    for (std::size_t k = 0; k < MeridianSamples; k += 20) {
        DiskPosition p;
        ProjectPoint(lat[k], -30, kD, 5, p);
        EXPECT_EQ(meridian[k].rho, p.rho) << k;
        if (p.rho == FarSide) continue;
        EXPECT_EQ(meridian[k].pa, p.pa) << k;
        EXPECT_NEAR(meridian[k].r, p.r, 0.0025) << k;
    }
}

TEST(LocateDiskPoint, CentreAndOutside) {
    const DiskPointLocation c =
        *LocateDiskPoint(0, 0, DiskFrame{150, 17, 1, 1}, kD, 6.5, 211.3, 2250);
    EXPECT_EQ(c, (DiskPointLocation{0, 0, 6.5, 211.3, 2250}));

    // 150 mm chart: 75 mm is on the limb and still located; 75.01 is off the disk.
    const DiskPointLocation limb =
        *LocateDiskPoint(75, 0, DiskFrame{150, 0, 1, 1}, kD, 0, 100, 2250);
    EXPECT_NEAR(limb.rho, 90 - kD / 2, 1e-9);
    const std::optional<DiskPointLocation> off =
        LocateDiskPoint(75.01, 0, DiskFrame{150, 0, 1, 1}, kD, 0, 100, 2250);
    EXPECT_FALSE(off);
    const std::optional<DiskPointLocation> nan =
        LocateDiskPoint(std::nan(""), 0, DiskFrame{150, 0, 1, 1}, kD, 0, 100, 2250);
    EXPECT_FALSE(nan);
}

TEST(LocateDiskPoint, MirrorAndFlipUndoTheDisplay) {
    const std::optional<DiskPointLocation> plain =
        LocateDiskPoint(-20, 31, DiskFrame{150, 12, 1, 1}, kD, 4, 90, 2250);
    EXPECT_EQ(LocateDiskPoint(20, 31, DiskFrame{150, 12, -1, 1}, kD, 4, 90, 2250), plain);
    EXPECT_EQ(LocateDiskPoint(-20, -31, DiskFrame{150, 12, 1, -1}, kD, 4, 90, 2250), plain);
    EXPECT_EQ(LocateDiskPoint(20, -31, DiskFrame{150, 12, -1, -1}, kD, 4, 90, 2250), plain);
}

TEST(LocateDiskPoint, RotationAcrossTheSeam) {
    struct Case {
        double L0, x;
        int rotation;
    };
    const Case cases[] = {
        {350, -30, 2249}, // west of centre across 360: crossed in the rotation before
        {10, 30, 2251},   // east of centre across 0: crosses in the next rotation
        {350, 30, 2250},  {10, -30, 2250}, {200, 0.5, 2250}, {180, -60, 2250},
    };
    for (const Case& c : cases) {
        const DiskPointLocation loc =
            *LocateDiskPoint(c.x, 0, DiskFrame{150, 0, 1, 1}, kD, 0, c.L0, 2250);
        EXPECT_EQ(loc.rotation, c.rotation) << c.L0 << " " << c.x;
        EXPECT_GE(loc.longitude, 0);
        EXPECT_LE(loc.longitude, 360);
    }
}

// Forward, onto the displayed chart in millimetres, and back, for every orientation,
// flip and mirror.
TEST(LocateDiskPoint, InvertsTheForwardProjection) {
    constexpr double kChart = 150;
    constexpr double kB0 = 7.1, kL0 = 123.4, kP = -21.5, kParallactic = 35.2;
    int checked = 0;
    for (const Orientation mode :
         {Orientation::Equatorial, Orientation::RotationAxis, Orientation::AltAzimuth}) {
        const double q = ChartRotation(mode, kP, kParallactic);
        for (const int sx : {1, -1}) {
            for (const int sy : {1, -1}) {
                for (double lat = -80; lat <= 88; lat += 8) {
                    for (double dL = -170; dL <= 170; dL += 10) {
                        DiskPosition p;
                        ProjectPoint(lat, dL, kD, kB0, p);
                        if (p.rho == FarSide || p.r > 0.95) continue;
                        const PixelPoint mm = DiskToPixel(
                            DiskFrame{0, q, sx, sy, 0, 0, kChart / 2, kChart / 2}, p.r, p.pa);
                        const DiskPointLocation loc = *LocateDiskPoint(
                            mm.x, -mm.y, DiskFrame{kChart, q, sx, sy}, kD, kB0, kL0, 2250);
                        EXPECT_NEAR(loc.latitude, lat, 0.1) << lat << " " << dL;
                        // Longitude loses sense towards the poles; weigh it by cos(lat).
                        EXPECT_NEAR(AngleDiff(loc.longitude, kL0 - dL) * std::cos(lat * kRad), 0,
                                    0.1)
                            << lat << " " << dL << " " << int(mode) << sx << sy;
                        ++checked;
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(LocateDiskPoint, PointBeyondThePoleKeepsItsLongitude) {
    // With the north pole tipped towards us, latitude 86 at 150 degrees from the central
    // meridian is visible just beyond the pole. Placed at the exact radius, since the
    // searched one is coarse this close to the limb.
    DiskPosition p;
    ProjectPoint(86, 150, kD, 7.2, p);
    ASSERT_NE(p.rho, FarSide);
    const PixelPoint mm =
        DiskToPixel(DiskFrame{0, 0, 1, 1, 0, 0, 75, 75}, BisectedRadius(p.rho, kD), p.pa);
    const DiskPointLocation loc =
        *LocateDiskPoint(mm.x, -mm.y, DiskFrame{150, 0, 1, 1}, kD, 7.2, 200, 2250);
    EXPECT_NEAR(loc.latitude, 86, 1e-6);
    EXPECT_NEAR(AngleDiff(loc.longitude, 50), 0, 1e-6);
}

// Equatorial turns the chart by P, Rotation Axis not at all, AltAzimuth by P less the
// parallactic angle.
TEST(ChartRotation, FollowsTheOrientation) {
    EXPECT_EQ(ChartRotation(Orientation::Equatorial, -20, 30), -20);
    EXPECT_EQ(ChartRotation(Orientation::RotationAxis, -20, 30), 0);
    EXPECT_EQ(ChartRotation(Orientation::AltAzimuth, -20, 30), -50);
}

TEST(DiskToPixel, SignsTurnTheScreen) {
    struct Case {
        double pa, q;
        int sx, sy;
        double x, y;
    };
    const Case cases[] = {
        {0, 0, 1, 1, 100, 50},   // north up
        {90, 0, 1, 1, 140, 100}, // east right
        {0, 0, 1, -1, 100, 150}, // flipped: north down
        {90, 0, -1, 1, 60, 100}, // mirrored: east left
        {0, 90, 1, 1, 140, 100}, // turned a quarter clockwise
    };
    for (const Case& c : cases) {
        const PixelPoint p = DiskToPixel(DiskFrame{0, c.q, c.sx, c.sy, 100, 100, 40, 50}, 1, c.pa);
        EXPECT_NEAR(p.x, c.x, 1e-9) << c.pa << " " << c.q;
        EXPECT_NEAR(p.y, c.y, 1e-9) << c.pa << " " << c.q;
    }
}

} // namespace
} // namespace zorva
