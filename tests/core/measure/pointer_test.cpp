#include "core/measure/pointer.h"

#include <cmath>
#include <gtest/gtest.h>

#include "core/chart/projection.h"
#include "core/common/no_value.h"

namespace zorva {
namespace {

constexpr double kPi = 3.141592653589793;

Ephemeris SampleEphemeris() {
    Ephemeris e;
    e.B0 = 4.2;
    e.L0 = 131.7;
    e.P = -18.3;
    e.DiamMinutes = 31;
    e.DiamSeconds = 52.4;
    e.Rotation = 2290;
    e.ParallacticAngle = 25;
    return e;
}

TEST(PointToDisk, ChartPixelBesideTheCentreOf150mmChart) {
    // 553 pixels square: the disk is 442.4 pixels across and its centre lies between
    // pixels 276 and 277, so pixel 276 sits one pixel up and left of it.
    const DiskClick c = PointToDisk(276, 276, 553, 553, 150.0);
    EXPECT_NEAR(c.x, -0.33906, 5e-6);
    EXPECT_NEAR(c.y, 0.33906, 5e-6);
    EXPECT_DOUBLE_EQ(c.d, 2 * std::sqrt(c.x * c.x + c.y * c.y));
    EXPECT_DOUBLE_EQ(RoundToHundredthsAwayFromZero(c.x), -0.34);
    EXPECT_DOUBLE_EQ(RoundToHundredthsAwayFromZero(c.y), 0.34);
}

TEST(PointToDisk, ImagePixelUsesTheFittedCircle) {
    // Radius 100 pixels standing for a 150 mm disk: 0.75 mm per pixel. The fitted centre
    // is in pixel indices, so the middle of pixel 250 lies 50 pixels right of centre 200.
    const DiskClick c = PointToDisk(250, 100, 200.0, 150.0, 100.0, 150.0);
    EXPECT_DOUBLE_EQ(c.x, 50 * 0.75);
    EXPECT_DOUBLE_EQ(c.y, 50 * 0.75);
    // The frame form gives the same as the plain one.
    ChartGeometry g;
    EXPECT_EQ(PointToDisk(ImageFrame(200, 150, 100, g, 0), 250, 100), c);
    EXPECT_EQ(PointToDisk(ChartDiskFrame(553, 553, g, 0), 276, 276),
              PointToDisk(276, 276, 553, 553, 150.0));
}

TEST(PointToDisk, ClickOnTheLimbCountsAsOnTheDisk) {
    // On a 505-pixel chart the disk is 404 pixels across centred at 252.5; pixel 455 of
    // row 253 lies exactly on the limb.
    const DiskClick limb = PointToDisk(455, 253, 505, 505, 150.0);
    EXPECT_EQ(limb.y, 0);
    EXPECT_EQ(limb.d, 150.0);
    EXPECT_TRUE(OnDisk(limb.d, 150.0));
    EXPECT_FALSE(OnDisk(PointToDisk(456, 253, 505, 505, 150.0).d, 150.0));
}

TEST(RoundToHundredths, HalvesGoAwayFromZero) {
    const struct {
        double in, out;
    } cases[] = {{0.125, 0.13}, {-0.125, -0.13},  {0.124, 0.12},    {-0.124, -0.12},
                 {0, 0},        {12.3449, 12.34}, {-73.996, -74.0}, {74.995, 75.0}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(RoundToHundredthsAwayFromZero(c.in), c.out) << c.in;
}

// Worked by hand: 553 pixels for 150 mm make a disk of 442.4 pixels, 2.9493 a millimetre.
TEST(PixelRules, WholePixelsOfMillimetresAndPolarPositions) {
    ChartGeometry g;
    const DiskFrame chart = ChartDiskFrame(553, 553, g, 0);
    // Disk centre: 276.5 rounds up to 277.
    EXPECT_EQ(DiskToWholePixel(chart, 0, 0), (Pixel{277, 277}));
    // 50 mm right is 147.47 pixels right of the centre; y up is pixels up.
    EXPECT_EQ(DiskToWholePixel(chart, 50, 50), (Pixel{424, 129}));
    EXPECT_EQ(PolarToWholePixel(chart, 1, 90), (Pixel{498, 277}));
    // Mirrored and flipped, and turned by 90 degrees: north goes to the screen's left.
    g.MirrorSign = -1;
    g.FlipSign = -1;
    const DiskFrame turned = ChartDiskFrame(553, 553, g, 90);
    EXPECT_EQ(PolarToWholePixel(turned, 1, 0), (Pixel{55, 277}));
    EXPECT_EQ(PolarToWholePixel(turned, 0.5, 90), (Pixel{277, 166}));

    const DiskFrame image = ImageFrame(300.2, 200.7, 150, ChartGeometry{}, 0);
    EXPECT_EQ(DiskToWholePixel(image, 75, 0), (Pixel{450, 201}));
    EXPECT_EQ(PolarToWholePixel(image, 1, 180), (Pixel{300, 351}));
}

// Worked by hand: 461 pixels for 125 mm are 2.9504 a millimetre (so 36.88 for 12.5 mm);
// a radius of 100 pixels for 125 mm is 0.625 mm a pixel.
TEST(PixelRules, MiddlePixelBackToMillimetres) {
    ChartGeometry g;
    g.ChartDiameter = 125;
    const DiskFrame chart = ChartDiskFrame(461, 461, g, 0);
    const DiskPoint p = PixelToDisk(chart, 230.5 + 36.88, 230.5 - 73.76);
    EXPECT_NEAR(p.x, 12.5, 1e-9);
    EXPECT_NEAR(p.y, 25.0, 1e-9);
    const DiskFrame image = ImageFrame(300, 200, 100, g, 0);
    const DiskPoint q = PixelToDisk(image, 340, 260);
    EXPECT_NEAR(q.x, 25.0, 1e-12);
    EXPECT_NEAR(q.y, -37.5, 1e-12);
}

TEST(LocatePoint, AgreesWithTheInverseProjectionOnTheDisk) {
    const Ephemeris e = SampleEphemeris();
    ChartGeometry g;
    g.MirrorSign = -1;
    const double q = ChartRotation(g.Mode, e.P, e.ParallacticAngle);
    const LatLong centre = *LocatePoint(0, 0, FrameOf(g, q), e);
    EXPECT_DOUBLE_EQ(centre.lat, e.B0);
    EXPECT_DOUBLE_EQ(centre.lon, e.L0);
    for (const auto& [x, y] : {std::pair{20.0, -31.5}, {-60.0, 40.0}, {0.0, 74.0}}) {
        const DiskPointLocation loc =
            *LocateDiskPoint(x, y, DiskFrame{g.ChartDiameter, q, g.MirrorSign, g.FlipSign},
                             ApparentDiameter(e), e.B0, e.L0, e.Rotation);
        const LatLong p = *LocatePoint(x, y, FrameOf(g, q), e);
        EXPECT_EQ(p.lat, loc.latitude) << x << "," << y;
        EXPECT_EQ(p.lon, loc.longitude) << x << "," << y;
    }
    EXPECT_FALSE(LocatePoint(60, 50, FrameOf(g, q), e)); // off the disk
}

TEST(LocatePoint, EveryLimbPointIsLocated) {
    // Points worked out to lie on or just inside the limb must never be refused, though
    // the inverse projection computes the radius in another order.
    const Ephemeris e = SampleEphemeris();
    int onLimb = 0;
    for (const double D : {100.0, 101.6, 125.0, 127.0, 150.0, 152.4, 173.3}) {
        ChartGeometry g;
        g.ChartDiameter = D;
        for (int a = 0; a < 3600; ++a) {
            const double x = D / 2 * std::cos(a * kPi / 1800);
            const double y = D / 2 * std::sin(a * kPi / 1800);
            if (!OnDisk(2 * std::sqrt(x * x + y * y), D)) continue;
            ++onLimb;
            const std::optional<LatLong> p = LocatePoint(x, y, FrameOf(g, 0), e);
            ASSERT_TRUE(p) << D << " " << a;
            EXPECT_LE(std::fabs(p->lat), 90.0);
        }
    }
    EXPECT_GT(onLimb, 10000);
}

// Whether (x, y) lies on the line through (x1, y1) and (x2, y2).
double DistanceFromLine(double x, double y, double x1, double y1, double x2, double y2) {
    return std::fabs((x2 - x1) * (y1 - y) - (x1 - x) * (y2 - y1)) / std::hypot(x2 - x1, y2 - y1);
}

TEST(LimbCrossing, LastOnDiskPointOfTheWalk) {
    constexpr double D = 150;
    const struct {
        double x1, y1, x2, y2;
        bool steep;
    } cases[] = {
        {0, 0, 10, 80, true},        // steep, up and right
        {10, -20, -3.3, -90, true},  // steep, down and left
        {0, 0, 90, 10, false},       // shallow, right
        {-30, 5, -95.5, -12, false}, // shallow, left and down
        {40, 10, 40, 90, true},      // straight up
    };
    for (const auto& c : cases) {
        const DiskPoint p = LimbCrossing(c.x1, c.y1, c.x2, c.y2, D);
        EXPECT_TRUE(OnDisk(2 * std::hypot(p.x, p.y), D)) << c.x2;
        EXPECT_LT(DistanceFromLine(p.x, p.y, c.x1, c.y1, c.x2, c.y2), 1e-9) << c.x2;
        // The walk moves 0.125 mm along y (steep) or x (shallow): one step further is off.
        const double along = c.steep ? std::fabs(p.y - c.y1) : std::fabs(p.x - c.x1);
        EXPECT_NEAR(std::fmod(along, 0.125), 0, 1e-9) << c.x2;
        const double sx = c.x2 > c.x1 ? 1 : -1;
        const double sy = c.y2 > c.y1 ? 1 : -1;
        double nx = p.x, ny = p.y;
        if (c.steep) {
            ny += sy * 0.125;
            nx = c.x1 + (ny - c.y1) * (c.x2 - c.x1) / (c.y2 - c.y1);
        } else {
            nx += sx * 0.125;
            ny = c.y1 + (nx - c.x1) * (c.y2 - c.y1) / (c.x2 - c.x1);
        }
        EXPECT_FALSE(OnDisk(2 * std::hypot(nx, ny), D)) << c.x2;
        EXPECT_GT(std::hypot(p.x, p.y), 75 - 0.2) << c.x2;
    }
}

TEST(LimbCrossing, ShortLevelLineStaysOnTheLine) {
    // Less than a millimetre along a level line: walking along y would divide by a zero
    // slope. The point must still land on the line at the last step inside: 0.125 mm
    // steps from 74.6 end at 74.975; from -74.9 the first step is already off.
    const DiskPoint p = LimbCrossing(74.6, 0, 75.3, 0, 150);
    EXPECT_DOUBLE_EQ(p.x, 74.975);
    EXPECT_EQ(p.y, 0);
    const DiskPoint q = LimbCrossing(-74.9, 0, -75.2, 0, 150);
    EXPECT_DOUBLE_EQ(q.x, -74.9);
    EXPECT_EQ(q.y, 0);
}

// The inset's rule: below 150 mm 0.99, below 200 0.992, below 300 0.997, below 400 0.998,
// and 0.999 from there.
TEST(LimbInsetFactor, StepsWithTheChartDiameter) {
    const struct {
        double D, k;
    } cases[] = {{100, 0.99},  {149.9, 0.99},  {150, 0.992}, {199, 0.992}, {200, 0.997},
                 {300, 0.998}, {399.9, 0.998}, {400, 0.999}, {1000, 0.999}};
    for (const auto& c : cases)
        EXPECT_EQ(LimbInsetFactor(c.D), c.k) << c.D;
}

TEST(OutsideLimbPoint, LimbBelowTheFirstPoint) {
    const Ephemeris e = SampleEphemeris();
    ChartGeometry g; // 150 mm: k = 0.992, the point lies 74.4 mm out
    const double q = ChartRotation(g.Mode, e.P, e.ParallacticAngle);
    const struct {
        double x1, y1, x, y;
    } cases[] = {
        {0, 80, 0, 74.4},   // straight above: angle 90
        {0, -80, 0, -74.4}, // straight below: angle 270
        {-60, -60, -74.4 / std::sqrt(2.0), -74.4 / std::sqrt(2.0)},
        {85, 10, 74.4 * 85 / std::hypot(85, 10), 74.4 * 10 / std::hypot(85, 10)},
    };
    for (const auto& c : cases) {
        const LimbPoint p = OutsideLimbPoint(c.x1, c.y1, FrameOf(g, q), e);
        EXPECT_NEAR(p.x, c.x, 1e-9) << c.x1 << "," << c.y1;
        EXPECT_NEAR(p.y, c.y, 1e-9) << c.x1 << "," << c.y1;
        // Located at 0.9999 of the radius in the same direction.
        const std::optional<LatLong> at =
            LocatePoint(p.x * 0.9999 / 0.992, p.y * 0.9999 / 0.992, FrameOf(g, q), e);
        ASSERT_TRUE(at);
        EXPECT_EQ(p.location, *at);
    }
}

} // namespace
} // namespace zorva
